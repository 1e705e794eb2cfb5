// CREATEGENLAYER, AMENTTOGENENT and AMBLOCKTOGENBLOCK on real drawings.
#include <strings.h>

#include <string>

#include "genius/create_gen_layer.h"
#include "genius/layer_array.h"
#include "host/api/database_objects.h"
#include "host/session.h"
#include "support/module_test_fixture.h"

namespace dravolin_test {
namespace {

TestDrawing WithGeniusLinetypes() {
  TestDrawing drawing;
  for (const char* linetype : {"Gen3", "Gen3a", "Gen4a", "Gen7", "Gen7a"})
    drawing.Linetype(linetype);
  return drawing;
}

class CreateGenLayerTest : public ModuleTest {};

TEST_F(CreateGenLayerTest, CreatesTheTwelveLayers) {
  Open(WithGeniusLinetypes());
  std::string shown = Run("CREATEGENLAYER");
  EXPECT_NE(shown.find("Erzeuge Genius-Layer ....\n"), std::string::npos) << shown;
  struct Row {
    const char* name;
    const char* linetype;
    const char* color;
  };
  const Row kRows[] = {
      {"1", "CONTINUOUS", "14"}, {"2", "CONTINUOUS", "5"}, {"2a", "Gen7", "120"},
      {"3", "Gen3", "6"},        {"3a", "Gen3a", "6"},     {"4", "CONTINUOUS", "3"},
      {"4a", "Gen4a", "3"},      {"5", "CONTINUOUS", "3"}, {"6", "CONTINUOUS", "2"},
      {"7", "Gen7", "4"},        {"7a", "Gen7a", "4"},     {"8", "CONTINUOUS", "1"},
  };
  for (const Row& row : kRows) {
    EXPECT_EQ(TableValue("LAYER", row.name, 62), row.color) << row.name;
    EXPECT_EQ(strcasecmp(TableValue("LAYER", row.name, 6).c_str(), row.linetype), 0) << row.name;
    EXPECT_EQ(TableValue("LAYER", row.name, 2), row.name);
  }
  // Added in table order, and nothing else.
  std::vector<std::string> names;
  std::vector<dxf::TagView> tags;
  for (host::TableRecordId id : drawing().FindTable("LAYER")->records) {
    drawing().TableRecordTags(id, &tags);
    for (const dxf::TagView& tag : tags)
      if (tag.code == 2) names.emplace_back(tag.value);
  }
  EXPECT_EQ(names, (std::vector<std::string>{"0", "1", "2", "2a", "3", "3a", "4", "4a", "5", "6",
                                             "7", "7a", "8"}));
  EXPECT_TRUE(Messages().empty());
}

TEST_F(CreateGenLayerTest, ExistingLayersAndMissingLinetypesAreSkippedSilently) {
  TestDrawing drawing;
  drawing.Linetype("Gen3a").Layer("7", 1, "Continuous");
  Open(drawing);
  std::string shown = Run("CREATEGENLAYER");
  EXPECT_EQ(TableValue("LAYER", "7", 62), "1") << "an existing layer keeps its colour";
  EXPECT_EQ(TableValue("LAYER", "3", 2), "(none)");
  EXPECT_EQ(TableValue("LAYER", "3a", 6), "Gen3a");
  for (const char* made : {"1", "2", "4", "5", "6", "8"})
    EXPECT_EQ(strcasecmp(TableValue("LAYER", made, 6).c_str(), "CONTINUOUS"), 0) << made;
  for (const char* missing : {"2a", "4a", "7a"})
    EXPECT_EQ(TableValue("LAYER", missing, 2), "(none)") << missing;
  EXPECT_TRUE(Messages().empty());
  // A second run changes nothing and leaves the tables closed.
  Run("CREATEGENLAYER");
  EXPECT_EQ(createNewLayer("9", "CONTINUOUS", 7), Acad::eOk);
  EXPECT_EQ(createNewLayer("9", "CONTINUOUS", 7), Acad::eDuplicateRecordName);
}

TEST_F(CreateGenLayerTest, OnlyTheLowSixteenBitsOfTheColourReachTheHost) {
  Open(TestDrawing());
  EXPECT_EQ(createNewLayer("X", "CONTINUOUS", 0x10000 + 3), Acad::eOk);
  EXPECT_EQ(TableValue("LAYER", "X", 62), "3");
}

TEST_F(CreateGenLayerTest, ATableThatCannotBeClosedEndsTheHost) {
  const std::string status = acadErrorStatusText(Acad::eCloseFailed);
  Open(TestDrawing());
  host::FailNextClose(host::DbObjectKind::kLayerTable);
  try {
    Run("CREATEGENLAYER");
    ADD_FAILURE() << "no abort";
  } catch (const host::HostAbort& abort) {
    EXPECT_NE(abort.message.find("App X failed to close Layer Table. Error: " + status),
              std::string::npos)
        << abort.message;
  }
  // The same on the way out of a row that is skipped: layer "1" exists.
  TestDrawing existing;
  existing.Layer("1");
  Open(existing);
  host::FailNextClose(host::DbObjectKind::kLayerTable);
  EXPECT_THROW(Run("CREATEGENLAYER"), host::HostAbort);
  Open(TestDrawing());
  host::FailNextClose(host::DbObjectKind::kLayerRecord);
  try {
    Run("CREATEGENLAYER");
    ADD_FAILURE() << "no abort";
  } catch (const host::HostAbort& abort) {
    EXPECT_NE(abort.message.find("App X failed to close Layer Table Record. Error: " + status),
              std::string::npos)
        << abort.message;
  }
}

class AmToGenTest : public ModuleTest {};

TEST_F(AmToGenTest, EntitiesMoveToTheirGeniusLayers) {
  TestDrawing drawing;
  std::string am2 = drawing.Paper(Line("AM_2"));
  std::string am10 = drawing.Model(Line("AM_10"));
  std::string axis = drawing.Paper(Line("2DMittellinie"));
  std::string zero = drawing.Paper(Line("0"));
  std::string dimension = drawing.Paper(Dimension("AM_5", Dimlfac("2.0")));
  Open(drawing);
  InitLayerArray();
  std::string shown = Run("AMENTTOGENENT");
  EXPECT_NE(shown.find("Lege AM-Layerelemente auf Genius-Layer ....\n"), std::string::npos);
  EXPECT_EQ(Value(am2, 8), "2");
  EXPECT_EQ(Value(am10, 8), "2A");
  EXPECT_EQ(Value(axis, 8), "7");
  EXPECT_EQ(Value(zero, 8), "0");
  EXPECT_EQ(Value(dimension, 8), "5");
  EXPECT_EQ(Value(dimension, 1040), "2.0") << "the ACAD extended data survives";
  EXPECT_EQ(Value(dimension, 1000), "DSTYLE");

  Open(drawing);
  InitLayerArrayA();
  Run("AMENTTOGENENT");
  EXPECT_EQ(Value(am2, 8), "2A");
}

TEST_F(AmToGenTest, AnUnfilledMapChangesNoLayer) {
  TestDrawing drawing;
  std::string am2 = drawing.Paper(Line("AM_2"));
  std::vector<std::string> block = drawing.Block("B", {Line("AM_3")});
  Open(drawing);
  Run("AMENTTOGENENT");
  Run("AMBLOCKTOGENBLOCK");
  EXPECT_EQ(Value(am2, 8), "AM_2");
  EXPECT_EQ(Value(block[0], 8), "AM_3");
  EXPECT_TRUE(Messages().empty());
}

TEST_F(AmToGenTest, BlockContentsMoveAndSeqendKeepsItsLayer) {
  TestDrawing drawing;
  std::vector<std::string> block = drawing.Block(
      "P",
      {{{0, "POLYLINE"},
        {8, "AM_7"},
        {100, "AcDb2dPolyline"},
        {66, "1"},
        {10, "0.0"},
        {20, "0.0"},
        {30, "0.0"},
        {70, "0"}},
       {{0, "VERTEX"}, {8, "AM_7"}, {100, "AcDbVertex"}, {10, "0.0"}, {20, "0.0"}, {30, "0.0"}},
       {{0, "SEQEND"}, {8, "AM_7"}},
       Line("AM_3")});
  Open(drawing);
  InitLayerArrayA();
  std::string shown = Run("AMBLOCKTOGENBLOCK");
  EXPECT_NE(shown.find("Lege AM-Layerelemente in Bl\xF6"
                       "cken auf Genius-Layer ....\n"),
            std::string::npos);
  EXPECT_EQ(Value(block[0], 8), "7A");
  EXPECT_EQ(Value(block[1], 8), "7A");
  EXPECT_EQ(Value(block[2], 8), "AM_7");
  EXPECT_EQ(Value(block[3], 8), "3A");
}

TEST_F(AmToGenTest, ARefusedBlockWriteBackIsReported) {
  TestDrawing drawing;
  // The host refuses every write-back of a viewport.
  std::vector<std::string> block = drawing.Block("B", {{{0, "VIEWPORT"},
                                                        {8, "AM_3"},
                                                        {100, "AcDbViewport"},
                                                        {10, "0.0"},
                                                        {20, "0.0"},
                                                        {30, "0.0"},
                                                        {40, "1.0"},
                                                        {41, "1.0"},
                                                        {69, "2"}},
                                                       Line("AM_3")});
  Open(drawing);
  InitLayerArray();
  std::string shown = Run("AMBLOCKTOGENBLOCK");
  EXPECT_NE(shown.find("\nFehler entmod"), std::string::npos) << shown;
  EXPECT_EQ(Messages(), (std::vector<std::string>{"Gleich knallts", "VIEWPORT"}));
  EXPECT_EQ(Value(block[0], 8), "AM_3");
  EXPECT_EQ(Value(block[1], 8), "3") << "the pass goes on";
}

}  // namespace
}  // namespace dravolin_test
