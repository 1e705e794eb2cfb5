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

TEST(LayerArrayTest, BothFillingsPairByPair) {
  struct Pair {
    const char* source;
    const char* coarse;
    const char* fine;
  };
  const Pair kPairs[] = {
      {"AM_0", "0", "0"},
      {"AM_1", "1", "1"},
      {"AM_2", "2", "2A"},
      {"AM_3", "3", "3A"},
      {"AM_4", "4", "4"},
      {"AM_5", "5", "5"},
      {"AM_6", "6", "6"},
      {"AM_7", "7", "7A"},
      {"AM_8", "8", "8"},
      {"AM_9", "9", "9"},
      {"AM_10", "2A", "2A"},
      {"AM_11", "11", "11"},
      {"AM_12", "12", "12"},
      {"Mittellinie", "7", "7"},
      {"Detailkreislinien", "2A", "2A"},
      {"Mittelpunktmarkierung", "7", "7"},
      {"Schnittansichtslinien", "2A", "2A"},
  };
  static_assert(sizeof kPairs / sizeof kPairs[0] == 17);
  InitLayerArray();
  for (int i = 0; i < 17; ++i) {
    EXPECT_EQ(LayerArray[2 * i + 1], kPairs[i].source) << "pair " << i;
    EXPECT_EQ(LayerArray[2 * i], kPairs[i].coarse) << kPairs[i].source;
  }
  InitLayerArrayA();
  for (int i = 0; i < 17; ++i) {
    EXPECT_EQ(LayerArray[2 * i + 1], kPairs[i].source) << "pair " << i;
    EXPECT_EQ(LayerArray[2 * i], kPairs[i].fine) << kPairs[i].source;
  }
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
