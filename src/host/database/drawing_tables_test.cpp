// Tables, header variables, handles and objects of the drawing.

#include <gtest/gtest.h>

#include "dxf/tag.h"
#include "host/database/drawing.h"
#include "support/drawing_test_support.h"

namespace host {
namespace {

using testing::LoadDrawing;
using testing::R2000Drawing;
using testing::TagLines;

std::string Name(const Drawing& d, TableRecordId id) {
  std::vector<dxf::TagView> tags;
  d.TableRecordTags(id, &tags);
  for (const dxf::TagView& tag : tags) {
    if (tag.code == 2) return std::string(tag.value);
  }
  return "";
}

TEST(DrawingTables, RecordsAreFoundWithoutRegardToCase) {
  auto d = LoadDrawing(R2000Drawing());
  ASSERT_TRUE(d);
  TableRecordId layer = d->FindTableRecord("layer", "MITTELLINIE");
  ASSERT_NE(layer, kNoRecord);
  EXPECT_EQ(Name(*d, layer), "Mittellinie");
  EXPECT_EQ(d->FindTableRecord("LAYER", "mittellinie"), layer);
  EXPECT_EQ(d->FindTableRecord("LAYER", "Mittel"), kNoRecord);
  EXPECT_EQ(d->FindTableRecord("NOSUCHTABLE", "0"), kNoRecord);
  EXPECT_EQ(Name(*d, d->FindTableRecord("DimStyle", "iso-25")), "ISO-25");
  ASSERT_NE(d->FindTable("layer"), nullptr);
  EXPECT_EQ(d->FindTable("layer")->handle, "2");
  EXPECT_EQ(d->FindTable("LAYER")->records.size(), 2u);

  d->table_record(layer).erased = true;
  EXPECT_EQ(d->FindTableRecord("LAYER", "Mittellinie"), kNoRecord);
}

TEST(DrawingTables, NamesOfUtf8FilesAreComparedIn1252) {
  auto d =
      LoadDrawing(TagLines("0 SECTION\n2 HEADER\n9 $ACADVER\n1 AC1027\n0 ENDSEC\n"
                           "0 SECTION\n2 TABLES\n0 TABLE\n2 LAYER\n70 1\n"
                           "0 LAYER\n2 Tsch\xC3\xBCss\n70 0\n0 ENDTAB\n0 ENDSEC\n0 EOF\n"));
  ASSERT_TRUE(d);
  EXPECT_NE(d->FindTableRecord("LAYER", "TSCH\xDCSS"), kNoRecord);  // TSCHÜSS in 1252
}

TEST(DrawingTables, AddedRecordsKeepTheCountRight) {
  auto d = LoadDrawing(R2000Drawing());
  ASSERT_TRUE(d);
  EXPECT_NE(d->FindTableRecord("LAYER", "0"), kNoRecord);  // builds the index first
  TableRecordId added = d->AddTableRecord("LAYER", {{0, "LAYER"},
                                                    {5, "201"},
                                                    {330, "2"},
                                                    {100, "AcDbSymbolTableRecord"},
                                                    {100, "AcDbLayerTableRecord"},
                                                    {2, "AM_0"},
                                                    {70, "0"},
                                                    {62, "7"},
                                                    {6, "CONTINUOUS"}});
  ASSERT_NE(added, kNoRecord);
  EXPECT_EQ(d->FindTableRecord("LAYER", "am_0"), added);
  std::string written = d->WriteToString();
  EXPECT_NE(written.find("2\nLAYER\n5\n2\n330\n0\n100\nAcDbSymbolTable\n70\n3\n"),
            std::string::npos);
  EXPECT_NE(written.find("2\nAM_0\n70\n0\n62\n7\n6\nCONTINUOUS\n0\nENDTAB\n"), std::string::npos);
  EXPECT_EQ(d->AddTableRecord("NOSUCHTABLE", {{0, "X"}}), kNoRecord);
}

TEST(DrawingTables, RenamedRecordIsFoundUnderItsNewName) {
  auto d = LoadDrawing(R2000Drawing());
  ASSERT_TRUE(d);
  TableRecordId layer = d->FindTableRecord("LAYER", "Mittellinie");
  dxf::Tags tags = dxf::ToTags(d->table_record(layer).text.text());
  for (dxf::Tag& tag : tags) {
    if (tag.code == 2) tag.value = "AM_7";
  }
  d->SetTableRecordTags(layer, tags);
  EXPECT_EQ(d->FindTableRecord("LAYER", "Mittellinie"), kNoRecord);
  EXPECT_EQ(d->FindTableRecord("LAYER", "AM_7"), layer);
}

TEST(DrawingHeader, ReadsAndRewritesOneVariable) {
  auto d = LoadDrawing(R2000Drawing());
  ASSERT_TRUE(d);
  EXPECT_EQ(d->HeaderVar("$ACADVER"), (dxf::Tags{{1, "AC1015"}}));
  EXPECT_EQ(d->HeaderVar("tilemode"), (dxf::Tags{{70, "1"}}));
  EXPECT_EQ(d->HeaderValue("$TILEMODE"), "1");
  EXPECT_EQ(d->HeaderVar("$EXTMIN"), std::nullopt);

  d->SetHeaderVar("$TILEMODE", {{70, "0"}});
  d->SetHeaderVar("$EXTMIN", {{10, "1.0"}, {20, "2.0"}, {30, "0.0"}});
  EXPECT_EQ(d->HeaderValue("TILEMODE"), "0");
  EXPECT_EQ(d->HeaderVar("$EXTMIN"), (dxf::Tags{{10, "1.0"}, {20, "2.0"}, {30, "0.0"}}));
  std::string written = d->WriteToString();
  std::string expected =
      "0\nSECTION\n2\nHEADER\n9\n$ACADVER\n1\nAC1015\n9\n$HANDSEED\n5\n200\n"
      "9\n$TILEMODE\n70\n0\n9\n$EXTMIN\n10\n1.0\n20\n2.0\n30\n0.0\n0\nENDSEC\n";
  EXPECT_EQ(written.substr(0, expected.size()), expected);
}

TEST(DrawingHandles, NewHandlesStartAtTheSeedAndRaiseIt) {
  auto d = LoadDrawing(R2000Drawing());
  ASSERT_TRUE(d);
  EXPECT_TRUE(d->has_handles());
  // The highest handle in use is the DIMSTYLE's 105 (2F0), above $HANDSEED 200.
  EXPECT_EQ(d->NewHandle(), "2F1");
  EXPECT_EQ(d->NewHandle(), "2F2");
  EXPECT_EQ(d->HeaderValue("$HANDSEED"), "2F3");
  EXPECT_NE(d->WriteToString().find("9\n$HANDSEED\n5\n2F3\n"), std::string::npos);
}

TEST(DrawingHandles, SeedAboveEveryHandleIsUsedFirst) {
  std::string text = R2000Drawing();
  text.replace(text.find("$HANDSEED\n5\n200\n"), 16, "$HANDSEED\n5\n4000\n");
  auto d = LoadDrawing(text);
  ASSERT_TRUE(d);
  EXPECT_EQ(d->NewHandle(), "4000");
  EXPECT_EQ(d->HeaderValue("$HANDSEED"), "4001");
  d->SetHeaderVar("$HANDSEED", {{5, "5000"}});
  EXPECT_EQ(d->NewHandle(), "5000");
}

// Drawings of thousands of entities are searched in two halves at once:
// the highest handle counts wherever it stands.
TEST(DrawingHandles, TheHighestHandleOfAnyHalfCounts) {
  for (int top_at : {10, 4000}) {
    std::string lines;
    for (int i = 0; i < 5000; ++i) {
      std::string handle = i == top_at ? "7000" : std::to_string(3000 + i % 900);
      lines += "0\nPOINT\n5\n" + handle + "\n8\n0\n10\n0.0\n20\n0.0\n";
    }
    std::string text = R2000Drawing();
    text.insert(text.find("0\nENDSEC\n", text.find("2\nENTITIES\n")), lines);
    auto d = LoadDrawing(text);
    ASSERT_TRUE(d);
    ASSERT_GE(d->entity_count(), 5000u);
    EXPECT_EQ(d->NewHandle(), "7001") << top_at;
  }
}

TEST(DrawingHandles, R12WithoutHandlingHasNone) {
  const char* r12 =
      "0 SECTION\n2 HEADER\n9 $ACADVER\n1 AC1009\n%s0 ENDSEC\n"
      "0 SECTION\n2 ENTITIES\n0 LINE\n%s8 0\n0 ENDSEC\n0 EOF\n";
  char text[256];
  std::snprintf(text, sizeof text, r12, "", "");
  auto without = LoadDrawing(TagLines(text));
  ASSERT_TRUE(without);
  EXPECT_FALSE(without->has_handles());
  EXPECT_EQ(without->NewHandle(), "");
  EXPECT_EQ(without->HeaderVar("$HANDSEED"), std::nullopt);

  std::snprintf(text, sizeof text, r12, "9 $HANDLING\n70 1\n9 $HANDSEED\n5 30\n", "5 2A\n");
  auto with = LoadDrawing(TagLines(text));
  ASSERT_TRUE(with);
  EXPECT_TRUE(with->has_handles());
  EXPECT_EQ(with->NewHandle(), "30");
}

TEST(DrawingObjects, FoundByHandleAndAddedBeforeEndsec) {
  auto d = LoadDrawing(R2000Drawing());
  ASSERT_TRUE(d);
  RecordText* root = d->FindObject("c");
  ASSERT_NE(root, nullptr);
  EXPECT_EQ(dxf::RecordType(root->text()), "DICTIONARY");
  EXPECT_EQ(d->FindObject("999"), nullptr);
  EXPECT_TRUE(d->AddObject({{0, "XRECORD"}, {5, "300"}, {330, "C"}}));
  std::string written = d->WriteToString();
  EXPECT_NE(written.find("0\nXRECORD\n5\n300\n330\nC\n0\nENDSEC\n0\nEOF\n"), std::string::npos);
}

TEST(DrawingObjects, R12HasNoObjects) {
  auto d = LoadDrawing(TagLines("0 SECTION\n2 ENTITIES\n0 ENDSEC\n0 EOF\n"));
  ASSERT_TRUE(d);
  EXPECT_EQ(d->objects(), nullptr);
  EXPECT_FALSE(d->AddObject({{0, "XRECORD"}}));
  EXPECT_EQ(d->WriteToString(), TagLines("0 SECTION\n2 ENTITIES\n0 ENDSEC\n0 EOF\n"));
}

TEST(DrawingLoad, RefusesStructureItCannotWorkWith) {
  auto error_for = [](const std::string& pairs) {
    dxf::Error err;
    dxf::RawFile file;
    if (!dxf::ParseBuffer(TagLines(pairs), "in.dxf", &file, &err)) return "read: " + err.ToString();
    if (Drawing::Load(std::move(file), &err)) return std::string();
    return err.ToString();
  };
  EXPECT_EQ(error_for("0 SECTION\n2 BLOCKS\n0 BLOCK\n2 B\n0 LINE\n0 ENDSEC\n0 EOF\n"),
            "in.dxf:11: group code 0: expected ENDBLK before ENDSEC, found ENDSEC (block B)");
  EXPECT_EQ(error_for("0 SECTION\n2 BLOCKS\n0 ENDBLK\n0 ENDSEC\n0 EOF\n"),
            "in.dxf:5: group code 0: expected BLOCK, found \"ENDBLK\"");
  EXPECT_EQ(
      error_for("0 SECTION\n2 BLOCKS\n0 BLOCK\n2 A\n0 BLOCK\n2 B\n0 ENDBLK\n0 ENDSEC\n0 EOF\n"),
      "in.dxf:9: group code 0: expected ENDBLK before BLOCK, found BLOCK (block A)");
  EXPECT_EQ(error_for("0 SECTION\n2 TABLES\n0 TABLE\n2 LAYER\n0 LAYER\n2 0\n0 ENDSEC\n0 EOF\n"),
            "in.dxf:13: group code 0: expected ENDTAB before ENDSEC, found ENDSEC (table LAYER)");
  EXPECT_EQ(error_for("0 SECTION\n2 TABLES\n0 LAYER\n2 0\n0 ENDSEC\n0 EOF\n"),
            "in.dxf:5: group code 0: expected TABLE, found \"LAYER\"");
  EXPECT_EQ(error_for("0 SECTION\n2 ENTITIES\n0 ENDSEC\n0 SECTION\n2 ENTITIES\n0 ENDSEC\n0 EOF\n"),
            "in.dxf:9: group code 2: expected one ENTITIES section, found a second one");
  EXPECT_EQ(error_for("0 SECTION\n2 HEADER\n9 $ACADVER\n1 AC1009\n0 LINE\n0 ENDSEC\n0 EOF\n"),
            "in.dxf:9: group code 0: expected header variables (group code 9), found \"LINE\"");
  // Unknown sections are kept as they are.
  EXPECT_EQ(error_for("0 SECTION\n2 ACDSDATA\n0 ACDSSCHEMA\n90 0\n0 ENDSEC\n0 EOF\n"), "");
}

TEST(DrawingLoad, PolylineWithoutSeqendEndsAtTheNextMainEntity) {
  auto d = LoadDrawing(
      TagLines("0 SECTION\n2 ENTITIES\n0 POLYLINE\n66 1\n0 VERTEX\n10 0\n0 LINE\n8 0\n0 SEQEND\n"
               "0 ENDSEC\n0 EOF\n"));
  ASSERT_TRUE(d);
  EntityId polyline = d->FirstEntity();
  EntityId vertex = d->NextEntity(polyline);
  EntityId line = d->NextEntity(vertex);
  EntityId seqend = d->NextEntity(line);
  EXPECT_EQ(d->entity(vertex).parent, polyline);
  EXPECT_EQ(d->entity(line).parent, kNoEntity);
  EXPECT_EQ(d->entity(seqend).parent, kNoEntity);
}

}  // namespace
}  // namespace host
