// SOLIDSKONVERT and SOLIDSINBLOCKSKONVERT.
#include <string>

#include "host/api/entity_change_hooks.h"
#include "support/module_test_fixture.h"

namespace dravolin_test {
namespace {

Items Solid(const std::string& x4, const std::string& y4, const std::string& z4 = "0.0") {
  return {{0, "SOLID"}, {8, "0"},     {100, "AcDbTrace"}, {10, "0.0"}, {20, "0.0"},
          {30, "0.0"},  {11, "10.0"}, {21, "0.0"},        {31, "0.0"}, {12, "0.0"},
          {22, "10.0"}, {32, "0.0"},  {13, x4},           {23, y4},    {33, z4}};
}

class KonvertSolidTest : public ModuleTest {};

TEST_F(KonvertSolidTest, AFourthCornerOnTheFirstMovesOntoTheThird) {
  TestDrawing drawing;
  std::string first = drawing.Model(Solid("0.0", "0.0", "7.0"));
  std::string three = drawing.Paper(Solid("0.0", "10.0"));
  std::string four = drawing.Paper(Solid("10.0", "10.0"));
  std::string near = drawing.Paper(Solid("0.0", "0.000000001"));
  std::string last = drawing.Paper(Solid("0.0", "0.0"));
  Open(drawing);
  std::string shown = Run("SOLIDSKONVERT");
  EXPECT_NE(shown.find("Konvertiere Solids im Modelspace ....\n"), std::string::npos) << shown;
  EXPECT_EQ(Real(Value(first, 13)), 0.0);
  EXPECT_EQ(Real(Value(first, 23)), 10.0);
  EXPECT_EQ(Real(Value(first, 33)), 7.0) << "Z stays";
  EXPECT_EQ(Value(three, 23), "10.0");
  EXPECT_EQ(Value(four, 13), "10.0");
  EXPECT_EQ(Value(near, 23), "0.000000001");
  EXPECT_EQ(Real(Value(last, 23)), 10.0) << "the last entity is treated too";
}

TEST_F(KonvertSolidTest, SolidsInBlocksAreConvertedAndEndblkIsLeftAlone) {
  TestDrawing drawing;
  std::vector<std::string> block = drawing.Block("S", {Solid("0.0", "0.0"), Solid("5.0", "5.0")});
  std::string outside = drawing.Paper(Solid("0.0", "0.0"));
  Open(drawing);
  std::string shown = Run("SOLIDSINBLOCKSKONVERT");
  EXPECT_NE(shown.find("Konvertiere Solids in Bl\xF6"
                       "cken ....\n"),
            std::string::npos)
      << shown;
  EXPECT_EQ(Real(Value(block[0], 23)), 10.0);
  EXPECT_EQ(Value(block[1], 13), "5.0");
  EXPECT_EQ(Value(outside, 23), "0.0");
}

TEST_F(KonvertSolidTest, RefusedWriteBacksAreReportedInBothCommands) {
  TestDrawing drawing;
  std::vector<std::string> block = drawing.Block("S", {Solid("0.0", "0.0"), Solid("0.0", "0.0")});
  std::string first = drawing.Paper(Solid("0.0", "0.0"));
  std::string second = drawing.Paper(Solid("0.0", "0.0"));
  Open(drawing);
  host::RefuseEntMod({first, block[0]});
  for (const char* command : {"SOLIDSKONVERT", "SOLIDSINBLOCKSKONVERT"}) {
    std::string shown = Run(command);
    EXPECT_NE(shown.find("\nFehler entmod"), std::string::npos) << command << shown;
    EXPECT_EQ(Messages(), (std::vector<std::string>{"Gleich knallts", "SOLID"})) << command;
  }
  EXPECT_EQ(Value(first, 23), "0.0");
  EXPECT_EQ(Value(block[0], 23), "0.0");
  EXPECT_EQ(Real(Value(second, 23)), 10.0) << "the walk goes on";
  EXPECT_EQ(Real(Value(block[1], 23)), 10.0);
}

}  // namespace
}  // namespace dravolin_test
