#include "cli/report/report.h"

#include <gtest/gtest.h>
#include <unistd.h>

#include <fstream>
#include <sstream>

#include "cli/report/changes.h"
#include "cli/report/drawing_facts.h"
#include "cli/report/json_writer.h"
#include "cli/report/pictures.h"
#include "support/drawing_test_support.h"

namespace cli::report {
namespace {

using host::testing::LoadDrawing;
using host::testing::TagLines;

// A layout drawing: a line on "Kontur" with its own linetype, a dimension
// with an "N/A" text and a DIMLFAC override, a circle that the conversion
// below erases.
std::string Exported() {
  return TagLines(R"(
0 SECTION
2 HEADER
9 $ACADVER
1 AC1015
9 $HANDSEED
5 200
9 $TILEMODE
70 0
0 ENDSEC
0 SECTION
2 TABLES
0 TABLE
2 LAYER
5 2
70 2
0 LAYER
5 10
2 0
70 0
62 7
6 CONTINUOUS
0 LAYER
5 11
2 Kontur
70 0
62 1
6 CONTINUOUS
0 ENDTAB
0 ENDSEC
0 SECTION
2 ENTITIES
0 LINE
5 40
67 1
8 Kontur
6 CENTER
370 50
10 0
20 0
30 0
11 10
21 0
31 0
0 DIMENSION
5 41
67 1
8 0
2 *D1
10 0
20 0
30 0
70 32
1 <>/N/A
42 10
1001 ACAD
1000 DSTYLE
1002 {
1070 144
1040 2.0
1002 }
0 CIRCLE
5 42
67 1
8 Kontur
10 5
20 5
30 0
40 2
0 ENDSEC
0 EOF
)");
}

// What the conversion does to it, in short: the line goes onto a new
// layer with ByLayer properties, the dimension loses "N/A" and halves its
// factor, the circle goes.
void Convert(host::Drawing* d) {
  auto by_handle = [&](const char* handle) { return d->FindEntityByHandle(handle); };
  d->AddTableRecord("LAYER", {{0, "LAYER"}, {5, "50"}, {2, "AM_0"}, {70, "0"}, {62, "7"}});
  d->SetEntityTags(by_handle("40"), {{0, "LINE"},
                                     {5, "40"},
                                     {67, "1"},
                                     {8, "AM_0"},
                                     {10, "0"},
                                     {20, "0"},
                                     {30, "0"},
                                     {11, "20"},
                                     {21, "0"},
                                     {31, "0"}});
  d->SetEntityTags(by_handle("41"), {{0, "DIMENSION"},
                                     {5, "41"},
                                     {67, "1"},
                                     {8, "0"},
                                     {2, "*D1"},
                                     {10, "0"},
                                     {20, "0"},
                                     {30, "0"},
                                     {70, "32"},
                                     {1, "<>"},
                                     {42, "20"},
                                     {1001, "ACAD"},
                                     {1000, "DSTYLE"},
                                     {1002, "{"},
                                     {1070, "144"},
                                     {1040, "1.0"},
                                     {1002, "}"}});
  d->EraseEntity(by_handle("42"));
}

std::string ReadAll(const std::string& path) {
  std::ifstream in(path, std::ios::binary);
  std::stringstream text;
  text << in.rdbuf();
  return text.str();
}

TEST(ReportChanges, ComparedByHandleBeforeAndAfter) {
  auto d = LoadDrawing(Exported());
  ASSERT_TRUE(d);
  DrawingFacts before = GatherFacts(*d);
  Convert(d.get());
  Changes changes = CompareFacts(before, GatherFacts(*d));
  ASSERT_TRUE(changes.by_handle);
  EXPECT_EQ(changes.layers_created, std::vector<std::string>{"AM_0"});
  ASSERT_EQ(changes.rewritten.size(), 3u);
  EXPECT_EQ(changes.rewritten[0].property, "layer");
  EXPECT_EQ(changes.rewritten[0].from, "Kontur");
  EXPECT_EQ(changes.rewritten[0].to, "AM_0");
  EXPECT_EQ(changes.rewritten[1].property, "linetype");
  EXPECT_EQ(changes.rewritten[1].from, "CENTER");
  EXPECT_EQ(changes.rewritten[1].to, "BYLAYER");
  EXPECT_EQ(changes.rewritten[2].from, "0.5 mm");
  ASSERT_EQ(changes.texts_cleaned.size(), 1u);
  EXPECT_EQ(changes.texts_cleaned[0].before, "<>/N/A");
  EXPECT_EQ(changes.texts_cleaned[0].after, "<>");
  ASSERT_EQ(changes.rescaled.size(), 1u);
  EXPECT_EQ(changes.rescaled[0].before, 2.0);
  EXPECT_EQ(changes.rescaled[0].after, 1.0);
  EXPECT_EQ(changes.deleted_total, 1u);
  ASSERT_EQ(changes.deleted.size(), 1u);
  EXPECT_EQ(changes.deleted[0].type, "CIRCLE");
  EXPECT_EQ(changes.added_total, 0u);
  // Kontur: line and circle before, nothing after.
  bool seen = false;
  for (const CountRow& row : changes.layers) {
    if (row.name != "Kontur") continue;
    seen = true;
    EXPECT_EQ(row.before, 2u);
    EXPECT_EQ(row.after, 0u);
  }
  EXPECT_TRUE(seen);
}

TEST(ReportChanges, DrawingsWithoutHandlesCompareCountsOnly) {
  auto d = LoadDrawing(
      TagLines("0 SECTION\n2 HEADER\n9 $ACADVER\n1 AC1009\n0 ENDSEC\n0 SECTION\n2 ENTITIES\n"
               "0 LINE\n8 0\n10 0\n20 0\n30 0\n11 1\n21 1\n31 0\n0 ENDSEC\n0 EOF\n"));
  ASSERT_TRUE(d);
  DrawingFacts facts = GatherFacts(*d);
  Changes changes = CompareFacts(facts, facts);
  EXPECT_FALSE(changes.by_handle);
  EXPECT_TRUE(changes.rewritten.empty());
  ASSERT_FALSE(changes.spaces.empty());
  EXPECT_EQ(changes.spaces[0].after, 1u);
}

TEST(JsonWriter, EscapesAndKeepsNumbersReadable) {
  JsonWriter json;
  json.BeginObject();
  json.Key("text");
  json.String("a\"b\\c\n\x01");
  json.Key("list");
  json.BeginArray();
  json.Number(2.5);
  json.Number(1.0 / 0.0);
  json.Integer(-3);
  json.Bool(false);
  json.Null();
  json.EndArray();
  json.EndObject();
  EXPECT_EQ(json.text(), R"({"text":"a\"b\\c\n\u0001","list":[2.5,null,-3,false,null]})");
  // Bytes that are no UTF-8 (a path in code page 1252) still give valid JSON.
  EXPECT_EQ(JsonString("Ma\xDF"), "\"Ma\xC3\x9F\"");
}

TEST(PictureCaption, SaysWhereAPictureWasCutShort) {
  SpacePicture picture;
  picture.space = "Layout1";
  picture.current = true;
  EXPECT_EQ(PictureCaption(picture, 200000), "Layout \"Layout1\" (current)");
  picture.space = "Model";
  picture.current = false;
  picture.picture.truncated = true;
  picture.picture.primitives = 200000;
  EXPECT_EQ(PictureCaption(picture, 200000),
            "Model space \xE2\x80\x94 cut short: only the first 200000 primitives are shown");
}

class ReportFiles : public ::testing::Test {
 protected:
  void SetUp() override {
    char pattern[] = "/tmp/dravolin-report-XXXXXX";
    ASSERT_NE(mkdtemp(pattern), nullptr);
    dir_ = pattern;
  }
  void TearDown() override {
    for (const char* name : {"r.json", "r.HTML", "r.txt"}) unlink((dir_ + "/" + name).c_str());
    rmdir(dir_.c_str());
  }

  std::vector<DrawingReport> Entries() {
    auto d = LoadDrawing(Exported());
    SnapshotPtr before = TakeSnapshot(*d);
    Convert(d.get());
    ConversionCheck check;
    check.dimensions_compared = 1;
    std::vector<DrawingReport> entries;
    entries.push_back(MakeDrawingReport(*before, *d, check, "Befehl: DRAVOLIN1\n", "in <1>.dxf",
                                        "out.dxf", "mech6"));
    entries.push_back(FailedDrawingReport("bad.dxf", "mech6", 1, "bad.dxf:7: group code 10: x"));
    entries.push_back(MakeDrawingReport(*before, *d, check, "", "warned.dxf", "w.dxf", "mech6",
                                        {"3 entities stay <here>"}));
    return entries;
  }

  std::string dir_;
};

TEST_F(ReportFiles, JsonDocumentHoldsEveryDrawing) {
  std::string err;
  ASSERT_TRUE(WriteReport(dir_ + "/r.json", Entries(), &err)) << err;
  std::string text = ReadAll(dir_ + "/r.json");
  EXPECT_EQ(
      text.rfind("{\"report\":\"dravolin conversion report\",\"format\":1,\"drawings\":[{", 0), 0u);
  EXPECT_NE(text.find("\"input\":\"in <1>.dxf\""), std::string::npos);
  EXPECT_NE(text.find("\"dimension_texts_cleaned\":{\"count\":1"), std::string::npos);
  EXPECT_NE(text.find("\"dimlfac_before\":2.0,\"dimlfac_after\":1.0"), std::string::npos);
  EXPECT_NE(text.find("\"deleted\":{\"count\":1,\"by_type\":{\"CIRCLE\":1}}"), std::string::npos);
  EXPECT_NE(text.find("\"space\":\"Layout1\",\"current\":true"), std::string::npos) << text;
  EXPECT_NE(text.find("{\"input\":\"bad.dxf\",\"output\":null,\"target\":\"mech6\",\"exit_code\":1,"
                      "\"error\":\"bad.dxf:7: group code 10: x\",\"status\":\"failed\"}"),
            std::string::npos);
  EXPECT_NE(text.find("\"status\":\"converted\",\"warnings\":[]"), std::string::npos);
  EXPECT_NE(text.find("\"status\":\"converted with warnings\",\"warnings\":[\"3 entities stay "
                      "<here>\"]"),
            std::string::npos);
}

TEST_F(ReportFiles, HtmlDocumentIsOnePageWithSummaryAndPictures) {
  std::string err;
  std::vector<DrawingReport> entries = Entries();
  // The row shows any status word: one not known here is neither ok nor bad.
  entries.push_back(entries[0]);
  entries.back().status = "converted with warnings";
  // A drawing refused after it was read is drawn as it was.
  SnapshotPtr refused = TakeSnapshot(*LoadDrawing(Exported()));
  entries.push_back(FailedDrawingReport("refused.dxf", "mech6", 1, "no views", refused.get()));
  ASSERT_TRUE(WriteReport(dir_ + "/r.HTML", entries, &err)) << err;
  std::string page = ReadAll(dir_ + "/r.HTML");
  EXPECT_EQ(page.rfind("<!DOCTYPE html>", 0), 0u);
  EXPECT_NE(page.find("<a href=\"#drawing-1\">in &lt;1&gt;.dxf</a>"), std::string::npos);
  EXPECT_NE(page.find("<td><span class=\"ok\">converted</span></td><td class=\"n\">"),
            std::string::npos);
  EXPECT_NE(page.find("<span class=\"bad\">failed</span> (exit code 1): bad.dxf:7: group code "
                      "10: x</td>"),
            std::string::npos);
  EXPECT_NE(page.find("<td><span class=\"warn\">converted with warnings</span></td>"),
            std::string::npos);
  size_t refused_at = page.find("<h2>refused.dxf</h2>");
  ASSERT_NE(refused_at, std::string::npos);
  EXPECT_NE(page.find("<h3>Before</h3>\n<figure>\n<svg", refused_at), std::string::npos);
  // Pictures fitted to their boxes carry a scale bar and their extents.
  EXPECT_NE(page.find(" drawing units</text></g>\n</svg>"), std::string::npos);
  EXPECT_NE(page.find(" drawing units</figcaption>"), std::string::npos);
  EXPECT_NE(page.find("<li class=\"warn\">3 entities stay &lt;here&gt;</li>"), std::string::npos);
  EXPECT_NE(page.find("<div id=\"drawing-2\">"), std::string::npos);
  EXPECT_NE(page.find("<svg xmlns="), std::string::npos);
  EXPECT_NE(page.find("<td>&lt;&gt;/N/A</td><td>&lt;&gt;</td>"), std::string::npos);
  EXPECT_NE(page.find("<pre>Befehl: DRAVOLIN1\n</pre>"), std::string::npos);
  EXPECT_EQ(page.find("<script"), std::string::npos);
}

TEST_F(ReportFiles, RefusesOtherEndingsAndUnwritablePlaces) {
  std::string err;
  EXPECT_FALSE(WriteReport(dir_ + "/r.txt", {}, &err));
  EXPECT_EQ(err, dir_ + "/r.txt: a report is written as .json or .html");
  EXPECT_NE(access((dir_ + "/r.txt").c_str(), F_OK), 0);
  err.clear();
  EXPECT_FALSE(WriteReport(dir_ + "/no/such/folder/r.json", {}, &err));
  EXPECT_FALSE(err.empty());
}

}  // namespace
}  // namespace cli::report
