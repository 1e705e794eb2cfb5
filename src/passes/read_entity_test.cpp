// The entity rewriting pass: target layers by line weight and kind, ByLayer
// linetypes and line weights, the "N/A" cleaning, the layout stop rule and
// the report of a refused write-back.
#include "passes/read_entity.h"

#include <string>

#include "host/api/entity_change_hooks.h"
#include "module/module_state.h"
#include "support/module_test_fixture.h"

namespace dravolin_test {
namespace {

class ReadEntityTest : public ModuleTest {
 protected:
  void RunPass(const TestDrawing& drawing, const char* am0, const char* am3, const char* am4) {
    Open(drawing);
    csStrichAM0 = am0;
    csStrichAM3 = am3;
    csStrichAM4 = am4;
    Direct(ReadEntity);
  }
};

Items Insert(const std::string& block, const std::string& layer, const char* type = "INSERT") {
  return {{0, type},   {8, layer}, {100, "AcDbBlockReference"}, {2, block}, {10, "0.0"},
          {20, "0.0"}, {30, "0.0"}};
}

TEST_F(ReadEntityTest, LinesGoToTheLayerOfTheirLineWeight) {
  TestDrawing drawing;
  drawing.Linetype("DASHED");
  std::string thick = drawing.Paper(Line("Kontur", {{6, "DASHED"}, {370, "50"}}));
  std::string thin = drawing.Paper(Line("Kontur", {{370, "25"}}));
  std::string hidden = drawing.Paper(Line("Kontur", {{370, "35"}}));
  std::string both = drawing.Paper(Line("Kontur", {{370, "70"}}));
  std::string unlisted = drawing.Paper(Line("Kontur", {{370, "-3"}}));
  RunPass(drawing, "0.50", "0.35", "0.25");
  EXPECT_EQ(Value(thick, 8), "AM_0");
  EXPECT_TRUE(IsByLayer(thick, 370));
  EXPECT_TRUE(IsByLayer(thick, 6));
  EXPECT_EQ(Value(thin, 8), "AM_4");
  EXPECT_EQ(Value(hidden, 8), "AM_3");
  EXPECT_EQ(Value(both, 8), "Kontur");
  EXPECT_TRUE(IsByLayer(both, 370)) << "written back";
  EXPECT_EQ(Value(unlisted, 8), "Kontur");
  RunPass(drawing, "0.70", "0.35", "0.70");
  EXPECT_EQ(Value(both, 8), "AM_0") << "AM_0 is tested after AM_4";
}

TEST_F(ReadEntityTest, EmptyChoicesMatchEntitiesWithoutAListedLineWeight) {
  TestDrawing drawing;
  std::string plain = drawing.Paper(Line("Kontur"));
  std::string weighted = drawing.Paper(Line("Kontur", {{370, "50"}}));
  RunPass(drawing, "", "", "");
  EXPECT_EQ(Value(plain, 8), "AM_0");
  EXPECT_EQ(Value(weighted, 8), "Kontur");
}

TEST_F(ReadEntityTest, KindsDecideForDimensionsHatchesAndSymbolBlocks) {
  TestDrawing drawing;
  drawing.Block("2dCenter1", {Line("0")});
  drawing.Block("2dTransSymbol2", {Line("0")});
  drawing.Block("2DMittellinie3", {Line("0")});
  drawing.Block("2DMittelPunkt4", {Line("0")});
  drawing.Block("X2dCenter", {Line("0")});
  std::string dimension = drawing.Paper(Dimension("Kontur", {}));
  std::string hatch = drawing.Paper({{0, "HATCH"},
                                     {8, "Kontur"},
                                     {370, "50"},
                                     {100, "AcDbHatch"},
                                     {10, "0.0"},
                                     {20, "0.0"},
                                     {30, "0.0"},
                                     {2, "SOLID"},
                                     {70, "1"},
                                     {71, "0"},
                                     {91, "0"},
                                     {75, "0"},
                                     {76, "1"},
                                     {98, "0"}});
  std::string center = drawing.Paper(Insert("2dCenter1", "Kontur"));
  std::string symbol = drawing.Paper(Insert("2dTransSymbol2", "Kontur"));
  std::string axis = drawing.Paper(Insert("2DMittellinie3", "Kontur"));
  std::string point = drawing.Paper(Insert("2DMittelPunkt4", "Kontur"));
  std::string minsert = drawing.Paper(Insert("2dCenter1", "Kontur", "MINSERT"));
  std::string other = drawing.Paper(Insert("X2dCenter", "Kontur"));
  std::string text = drawing.Paper({{0, "TEXT"},
                                    {8, "Kontur"},
                                    {370, "50"},
                                    {100, "AcDbText"},
                                    {10, "0.0"},
                                    {20, "0.0"},
                                    {30, "0.0"},
                                    {40, "2.5"},
                                    {1, "Text"},
                                    {100, "AcDbText"}});
  std::string lwpolyline = drawing.Paper({{0, "LWPOLYLINE"},
                                          {8, "Kontur"},
                                          {100, "AcDbPolyline"},
                                          {90, "2"},
                                          {70, "0"},
                                          {10, "0.0"},
                                          {20, "0.0"},
                                          {10, "1.0"},
                                          {20, "1.0"}});
  RunPass(drawing, "0.50", "0.35", "0.25");
  EXPECT_EQ(Value(dimension, 8), "AM_5");
  EXPECT_EQ(Value(hatch, 8), "AM_8");
  EXPECT_EQ(Value(center, 8), "AM_7");
  EXPECT_EQ(Value(symbol, 8), "AM_6");
  EXPECT_EQ(Value(axis, 8), "AM_7");
  EXPECT_EQ(Value(point, 8), "AM_7");
  EXPECT_EQ(Value(minsert, 8), "AM_7");
  EXPECT_EQ(Value(other, 8), "Kontur");
  EXPECT_EQ(Value(text, 8), "Kontur");
  EXPECT_EQ(Value(text, 370), "50");
  EXPECT_EQ(Value(lwpolyline, 8), "Kontur");
  RunPass(drawing, "", "0.35", "0.25");
  EXPECT_EQ(Value(lwpolyline, 8), "AM_0") << "LWPOLYLINE contains LINE";
}

TEST_F(ReadEntityTest, TheFirstModelSpaceEntityAfterALayoutEndsThePass) {
  TestDrawing drawing;
  std::string m1 = drawing.Model(Line("Kontur", {{370, "50"}}));
  std::string m2 = drawing.Model(Line("Kontur", {{370, "50"}}));
  std::string p1 = drawing.Paper(Line("Kontur", {{370, "50"}}));
  std::string p2 = drawing.Paper(Line("Kontur", {{370, "50"}}));
  std::string m3 = drawing.Model(Line("Kontur", {{370, "50"}}));
  std::string p3 = drawing.Paper(Line("Kontur", {{370, "50"}}));
  RunPass(drawing, "0.50", "0.35", "0.25");
  EXPECT_EQ(Value(m1, 8), "AM_0");
  EXPECT_EQ(Value(m2, 8), "AM_0");
  EXPECT_EQ(Value(p1, 8), "AM_0");
  EXPECT_EQ(Value(p2, 8), "AM_0");
  EXPECT_EQ(Value(m3, 8), "Kontur");
  EXPECT_EQ(Value(p3, 8), "Kontur");
}

TEST_F(ReadEntityTest, DimensionTextsLoseTheirPlaceholders) {
  TestDrawing drawing;
  std::string end = drawing.Paper(Dimension("0", {}, "<>/N/A"));
  std::string start = drawing.Paper(Dimension("0", {}, "N/A/<>"));
  std::string percent = drawing.Paper(Dimension("0", {}, "50%d%s/N/A"));
  std::string both = drawing.Paper(Dimension("0", {}, "N/A/<>/N/A"));
  std::string clean = drawing.Paper(Dimension("0", {}, "<> mm"));
  RunPass(drawing, "0.50", "0.35", "0.25");
  EXPECT_EQ(Value(end, 1), "<>");
  EXPECT_EQ(Value(start, 1), "<>");
  EXPECT_EQ(Value(percent, 1), "50%d%s");
  EXPECT_EQ(Value(both, 1), "<>");
  EXPECT_EQ(Value(clean, 1), "<> mm");
  EXPECT_EQ(Shown(),
            "\nErsetze <>/N/A durch <>"
            "\nErsetze N/A/<> durch <>"
            "\nErsetze 50%d%s/N/A durch 50%d%s"
            "\nErsetze N/A/<>/N/A durch N/A/<>"
            "\nErsetze N/A/<> durch <>");
}

TEST_F(ReadEntityTest, RefusedWriteBacksAreReportedAndThePassGoesOn) {
  TestDrawing drawing;
  std::string first = drawing.Paper(Line("Kontur", {{370, "50"}}));
  std::string refused = drawing.Paper(Dimension("Kontur", {}));
  std::string last = drawing.Paper(Line("Kontur", {{370, "50"}}));
  host::RefuseEntMod({first, refused});
  RunPass(drawing, "0.50", "0.35", "0.25");
  // The first entity: one box. A later one: a line and its type in a box.
  EXPECT_EQ(Messages(), (std::vector<std::string>{"Fehler entmod", "DIMENSION"}));
  // In this order: the box of the first, the line and the type box of the later one.
  EXPECT_EQ(Shown(), "[Meldung] Fehler entmod\n\nFehler entmod\n[Meldung] DIMENSION\n");
  EXPECT_EQ(Value(first, 8), "Kontur");
  EXPECT_EQ(Value(refused, 8), "Kontur");
  EXPECT_EQ(Value(last, 8), "AM_0");
}

}  // namespace
}  // namespace dravolin_test
