// The Mechanical-to-Genius layer map: both fillings, the substring rule with
// the last match winning, and the map before its first filling.
#include "genius/layer_array.h"

#include <gtest/gtest.h>

#include <string>

namespace {

std::string Lookup(const char* name) {
  CString target;
  return GeniusLayerFor(name, &target) ? std::string(target) : std::string("(unchanged)");
}

TEST(LayerArrayTest, CoarseAndFineFillings) {
  InitLayerArray();
  EXPECT_EQ(Lookup("AM_2"), "2");
  EXPECT_EQ(Lookup("AM_3"), "3");
  EXPECT_EQ(Lookup("AM_7"), "7");
  InitLayerArrayA();
  EXPECT_EQ(Lookup("AM_2"), "2A");
  EXPECT_EQ(Lookup("AM_3"), "3A");
  EXPECT_EQ(Lookup("AM_7"), "7A");
  InitLayerArray();
  EXPECT_EQ(Lookup("AM_7"), "7") << "a second fill replaces the first";
  EXPECT_EQ(LayerArray[0], "0");
  EXPECT_EQ(LayerArray[1], "AM_0");
  EXPECT_EQ(LayerArray[33], "Schnittansichtslinien");
}

TEST(LayerArrayTest, SubstringsMatchAndTheLastMatchWins) {
  for (void (*fill)() : {InitLayerArray, InitLayerArrayA}) {
    fill();
    EXPECT_EQ(Lookup("AM_10"), "2A");
    EXPECT_EQ(Lookup("AM_11"), "11");
    EXPECT_EQ(Lookup("AM_12"), "12");
    EXPECT_EQ(Lookup("Detailkreislinien"), "2A");
    EXPECT_EQ(Lookup("Schnittansichtslinien"), "2A");
    EXPECT_EQ(Lookup("Mittellinie"), "7");
    EXPECT_EQ(Lookup("Mittelpunktmarkierung"), "7");
    EXPECT_EQ(Lookup("2DMittellinie"), "7");
    EXPECT_EQ(Lookup("AM_3 Mittellinie"), "7");
    EXPECT_EQ(Lookup("am_3"), "(unchanged)");
    EXPECT_EQ(Lookup("0"), "(unchanged)");
  }
}

TEST(LayerArrayTest, AnUnfilledMapLeavesEveryNameAlone) {
  ClearLayerArray();
  EXPECT_EQ(Lookup("AM_2"), "(unchanged)");
  EXPECT_EQ(Lookup(""), "(unchanged)");
  EXPECT_EQ(Lookup("Mittellinie"), "(unchanged)");
}

}  // namespace
