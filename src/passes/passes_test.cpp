// The dimension-style colour pass, the model-space clearing pass, the block
// pass, the solids conversion and ERASELAYER.
#include <string>

#include "host/api/entity_change_hooks.h"
#include "passes/delete_m_bereich.h"
#include "passes/iterate_blocks.h"
#include "passes/read_dimstyle.h"
#include "support/module_test_fixture.h"

namespace dravolin_test {
namespace {

class PassesTest : public ModuleTest {};

TEST_F(PassesTest, EveryDimensionStyleGetsByLayerLinesAndTextColourTwo) {
  TestDrawing drawing;
  drawing.DimStyle("ISO-25", 1, 3, 5).DimStyle("GEN-ISO", 256, 256, 2).DimStyle("Third", 0, 0, 0);
  Open(drawing);
  Direct(ReadDimstyle);
  for (const char* style : {"Standard", "ISO-25", "GEN-ISO", "Third"}) {
    EXPECT_EQ(TableValue("DIMSTYLE", style, 176), "256") << style;
    EXPECT_EQ(TableValue("DIMSTYLE", style, 177), "256") << style;
    EXPECT_EQ(TableValue("DIMSTYLE", style, 178), "2") << style;
  }
  EXPECT_EQ(Shown(), "");
}

TEST_F(PassesTest, MoreDimensionStylesThanTheOldArrayHeldAreAllRewritten) {
  TestDrawing drawing;
  for (int i = 0; i < 205; ++i) drawing.DimStyle("S" + std::to_string(i), 1, 1, 1);
  Open(drawing);
  Direct(ReadDimstyle);
  EXPECT_EQ(TableValue("DIMSTYLE", "S0", 178), "2");
  EXPECT_EQ(TableValue("DIMSTYLE", "S204", 176), "256");
}

TEST_F(PassesTest, ModelSpaceIsClearedUpToTheLayoutStopRule) {
  TestDrawing drawing;
  std::string m1 = drawing.Model(Line("0"));
  std::string m2 = drawing.Model(Line("0"));
  std::string p1 = drawing.Paper(Line("0"));
  std::string m3 = drawing.Model(Line("0"));
  Open(drawing);
  Direct(DeleteMBereich);
  EXPECT_TRUE(Erased(m1));
  EXPECT_TRUE(Erased(m2));
  EXPECT_FALSE(Erased(p1));
  EXPECT_FALSE(Erased(m3));
  EXPECT_EQ(Shown(), "");
}

TEST_F(PassesTest, NothingIsClearedAfterTheLayoutsEntities) {
  TestDrawing drawing;
  std::string p1 = drawing.Paper(Line("0"));
  std::string p2 = drawing.Paper(Line("0"));
  std::string m1 = drawing.Model(Line("0"));
  std::string m2 = drawing.Model(Line("0"));
  Open(drawing);
  Direct(DeleteMBereich);
  EXPECT_FALSE(Erased(p1));
  EXPECT_FALSE(Erased(p2));
  EXPECT_FALSE(Erased(m1));
  EXPECT_FALSE(Erased(m2));
}

TEST_F(PassesTest, LayoutNamesWithBothOrNeitherWord) {
  // "Model" and "Layout" in one name: its first entity ends the pass, though
  // no other layout entity was met before.
  {
    TestDrawing drawing;
    drawing.LayoutName("ModelLayout");
    std::string model = drawing.Model(Line("0"));
    std::string both = drawing.Paper(Line("0"));
    std::string later = drawing.Model(Line("0"));
    Open(drawing);
    Direct(DeleteMBereich);
    EXPECT_TRUE(Erased(model));
    EXPECT_FALSE(Erased(both));
    EXPECT_FALSE(Erased(later));
  }
  // Neither word: the layout's entities stay and do not stop the pass.
  TestDrawing drawing;
  drawing.LayoutName("Blatt 1");
  std::string sheet = drawing.Paper(Line("0"));
  std::string model = drawing.Model(Line("0"));
  Open(drawing);
  Direct(DeleteMBereich);
  EXPECT_FALSE(Erased(sheet));
  EXPECT_TRUE(Erased(model));
}

TEST_F(PassesTest, BlockContentsBecomeByLayerAndLeaveAm2) {
  TestDrawing drawing;
  drawing.Linetype("DASHED");
  std::vector<std::string> first = drawing.Block(
      "B1", {Line("AM_2", {{6, "DASHED"}, {62, "1"}, {370, "35"}}), Line("X", {{62, "3"}})});
  std::vector<std::string> second = drawing.Block("B2", {Line("xAM_2y", {{62, "4"}})});
  std::vector<std::string> untouched = drawing.Block("B3", {Line("X", {{62, "5"}})});
  Open(drawing);
  Run("ITERATEBLOCKS");
  EXPECT_EQ(Value(first[0], 8), "AM_7");
  EXPECT_TRUE(IsByLayer(first[0], 6));
  EXPECT_TRUE(IsByLayer(first[0], 62));
  EXPECT_TRUE(IsByLayer(first[0], 370));
  // The flag set by the first entity carries over to the next one.
  EXPECT_TRUE(IsByLayer(first[1], 62));
  EXPECT_EQ(Value(second[0], 8), "AM_7");
  // B1's ENDBLK cleared the flag; B3's line has only a colour.
  EXPECT_EQ(Value(untouched[0], 62), "5");
}

TEST_F(PassesTest, ASeqendClearsTheBlockFlag) {
  TestDrawing drawing;
  std::vector<std::string> block = drawing.Block("P", {{{0, "POLYLINE"},
                                                        {8, "AM_2"},
                                                        {62, "1"},
                                                        {100, "AcDb2dPolyline"},
                                                        {66, "1"},
                                                        {10, "0.0"},
                                                        {20, "0.0"},
                                                        {30, "0.0"},
                                                        {70, "0"}},
                                                       {{0, "VERTEX"},
                                                        {8, "AM_2"},
                                                        {62, "1"},
                                                        {100, "AcDbVertex"},
                                                        {10, "0.0"},
                                                        {20, "0.0"},
                                                        {30, "0.0"}},
                                                       {{0, "SEQEND"}, {8, "AM_2"}, {62, "1"}},
                                                       Line("X", {{62, "2"}})});
  Open(drawing);
  Run("ITERATEBLOCKS");
  EXPECT_EQ(Value(block[0], 8), "AM_7");
  EXPECT_EQ(Value(block[1], 8), "AM_7");
  EXPECT_EQ(Value(block[2], 8), "AM_2") << "SEQEND is never written back";
  EXPECT_EQ(Value(block[3], 62), "2") << "the flag is NO after SEQEND";
}

TEST_F(PassesTest, ARefusedBlockWriteBackIsReported) {
  TestDrawing drawing;
  // The host refuses every write-back of a viewport.
  std::vector<std::string> block = drawing.Block("V", {{{0, "VIEWPORT"},
                                                        {8, "0"},
                                                        {6, "DASHED"},
                                                        {100, "AcDbViewport"},
                                                        {10, "0.0"},
                                                        {20, "0.0"},
                                                        {30, "0.0"},
                                                        {40, "1.0"},
                                                        {41, "1.0"},
                                                        {69, "2"}},
                                                       Line("AM_2")});
  drawing.Linetype("DASHED");
  Open(drawing);
  std::string shown = Run("ITERATEBLOCKS");
  EXPECT_NE(shown.find("\nFehler entmod"), std::string::npos) << shown;
  EXPECT_EQ(Messages(), (std::vector<std::string>{"Gleich knallts", "VIEWPORT"}));
  EXPECT_EQ(Value(block[0], 6), "DASHED");
  EXPECT_EQ(Value(block[1], 8), "AM_7") << "the pass goes on";
}

TEST_F(PassesTest, RefusedDeletionsAreReportedAndThePassGoesOn) {
  TestDrawing drawing;
  std::string first = drawing.Model(Line("0"));
  std::string refused = drawing.Model(Dimension("0", {}));
  std::string last = drawing.Model(Line("0"));
  Open(drawing);
  host::RefuseEntDel({first, refused});
  Direct(DeleteMBereich);
  EXPECT_EQ(Messages(), (std::vector<std::string>{"Fehler entdel", "DIMENSION"}));
  // In this order: the box of the first, the line and the type box of the later one.
  EXPECT_EQ(Shown(), "[Meldung] Fehler entdel\n\nFehler entdel\n[Meldung] DIMENSION\n");
  EXPECT_FALSE(Erased(first));
  EXPECT_FALSE(Erased(refused));
  EXPECT_TRUE(Erased(last));
}

}  // namespace
}  // namespace dravolin_test
