#include "cli/drawing_survey.h"

#include <gtest/gtest.h>

#include <string_view>

#include "dxf/document.h"

namespace cli {
namespace {

// A DXF text written compactly: one "CODE VALUE" pair a line.
std::string ToDxf(std::string_view compact) {
  std::string text;
  while (!compact.empty()) {
    size_t end = compact.find('\n');
    std::string_view line = compact.substr(0, end);
    compact.remove_prefix(end == std::string_view::npos ? compact.size() : end + 1);
    if (line.empty()) continue;
    size_t blank = line.find(' ');
    text += std::string(line.substr(0, blank)) + "\n";
    text += std::string(blank == std::string_view::npos ? "" : line.substr(blank + 1)) + "\n";
  }
  return text;
}

// A drawing as an export leaves it: the layout is current and holds a
// viewport, a line and dimensions whose DSTYLE overrides carry DIMLFAC.
// Dimension 42 has DIMLFAC 2 by override (the last of two pairs wins); 43
// none, so its style's 3 (the style named in other case), and no 42: it
// measures 10 between its points 13 and 14 along 90 degrees; 44 a 144 without
// a 1040 and a 144 in another application's data; 45 is angular; 46 is a
// leader. Model space holds an insert of a modeller block and a line.
constexpr char kExportedDrawing[] = R"(
0 SECTION
2 HEADER
9 $ACADVER
1 AC1015
9 $DWGCODEPAGE
3 ANSI_1252
9 $TILEMODE
70 0
9 $HANDSEED
5 100
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
2 Mittellinie
70 0
62 1
6 CONTINUOUS
370 35
0 ENDTAB
0 TABLE
2 DIMSTYLE
5 A
70 2
0 DIMSTYLE
105 1A
2 Standard
70 0
0 DIMSTYLE
105 1B
2 ISO
70 0
144 3.0
0 ENDTAB
0 TABLE
2 BLOCK_RECORD
5 1
70 3
0 BLOCK_RECORD
5 1F
2 *Model_Space
0 BLOCK_RECORD
5 1E
2 *Paper_Space
0 BLOCK_RECORD
5 20
2 2dCenter1
0 ENDTAB
0 ENDSEC
0 SECTION
2 BLOCKS
0 BLOCK
5 21
8 0
2 *Model_Space
70 0
10 0.0
20 0.0
30 0.0
3 *Model_Space
0 ENDBLK
5 22
8 0
0 BLOCK
5 23
67 1
8 0
2 *Paper_Space
70 0
10 0.0
20 0.0
30 0.0
3 *Paper_Space
0 ENDBLK
5 24
67 1
8 0
0 BLOCK
5 25
8 0
2 2dCenter1
70 0
10 0.0
20 0.0
30 0.0
3 2dCenter1
0 LINE
5 26
8 0
10 0
20 0
11 1
21 0
0 ENDBLK
5 27
8 0
0 ENDSEC
0 SECTION
2 ENTITIES
0 VIEWPORT
5 40
67 1
8 0
10 100
20 100
69 1
0 LINE
5 41
67 1
8 mittellinie
370 50
10 0
20 0
11 5
21 0
0 DIMENSION
5 42
67 1
8 0
2 *D1
3 Standard
70 32
42 25.0
1 <>/N/A
1001 ACAD
1000 DSTYLE
1002 {
1070 144
1040 5.0
1070 40
1040 1.0
1070 144
1040 2.0
1002 }
0 DIMENSION
5 43
67 1
8 0
2 *D2
3 iso
70 32
13 0.0
23 0.0
14 3.0
24 10.0
50 90.0
0 DIMENSION
5 44
67 1
8 Unlisted
2 *D3
70 32
42 7.0
1001 ACAD
1000 DSTYLE
1002 {
1070 144
1070 40
1040 1.0
1002 }
1001 OTHER
1000 DSTYLE
1002 {
1070 144
1040 9.0
1002 }
0 DIMENSION
5 45
67 1
8 0
2 *D4
70 34
42 1.5
1001 ACAD
1000 DSTYLE
1002 {
1070 144
1040 0.5
1002 }
0 LEADER
5 46
67 1
8 0
3 Standard
10 0
20 0
1001 ACAD
1000 DSTYLE
1002 {
1070 144
1040 0.5
1002 }
0 INSERT
5 47
8 0
2 2dCenter1
10 0
20 0
0 LINE
5 48
8 0
370 25
10 0
20 0
11 5
21 0
0 ENDSEC
0 EOF
)";

// The drawing with $TILEMODE set as given.
std::string ExportedDrawing(const std::string& tilemode) {
  std::string text = ToDxf(kExportedDrawing);
  const std::string current = "$TILEMODE\n70\n0\n";
  text.replace(text.find(current), current.size(), "$TILEMODE\n70\n" + tilemode + "\n");
  return text;
}

std::unique_ptr<host::Drawing> Load(const std::string& text) {
  dxf::RawFile file;
  dxf::Error error;
  EXPECT_TRUE(dxf::ParseBuffer(text, "input", &file, &error)) << error.ToString();
  std::unique_ptr<host::Drawing> drawing = host::Drawing::Load(std::move(file), &error);
  EXPECT_NE(drawing, nullptr) << error.ToString();
  return drawing;
}

TEST(DrawingSurveyTest, SpacesLayersAndStyles) {
  auto drawing = Load(ExportedDrawing("0"));
  ASSERT_TRUE(drawing);
  DrawingSurvey survey = SurveyDrawing(*drawing);
  EXPECT_EQ(survey.version, "AC1015");
  EXPECT_EQ(survey.codepage, "ANSI_1252");
  EXPECT_FALSE(survey.tilemode);
  ASSERT_EQ(survey.spaces.size(), 2u);
  EXPECT_TRUE(survey.spaces[0].model);
  EXPECT_EQ(survey.spaces[0].entities, 2u);
  EXPECT_FALSE(survey.spaces[1].model);
  EXPECT_TRUE(survey.spaces[1].current);
  EXPECT_EQ(survey.spaces[1].entities, 7u);
  EXPECT_EQ(survey.spaces[1].viewports, 1u);
  EXPECT_TRUE(survey.views_on_current_layout());
  EXPECT_EQ(survey.main_entities, 9u);
  EXPECT_EQ(survey.handles.size(), 9u);

  // Layer names meet without regard to case; a layer missing from the table
  // is listed after the table's.
  ASSERT_EQ(survey.layers.size(), 3u);
  EXPECT_EQ(survey.layers[0].name, "0");
  EXPECT_EQ(survey.layers[0].entities, 7u);
  EXPECT_EQ(survey.layers[1].name, "Mittellinie");
  EXPECT_EQ(survey.layers[1].entities, 1u);
  EXPECT_EQ(survey.layers[2].name, "Unlisted");
  EXPECT_FALSE(survey.layers[2].in_table);
  EXPECT_EQ(survey.layers[0].lineweight, std::nullopt);
  EXPECT_EQ(survey.layers[1].lineweight, 35);
  // Explicit line weights of the entities; those without one are ByLayer.
  EXPECT_EQ(survey.entity_lineweights,
            (std::map<int, size_t>{{kLineWeightByLayer, 7}, {25, 1}, {50, 1}}));

  ASSERT_EQ(survey.dimension_styles.size(), 2u);
  EXPECT_EQ(survey.dimension_styles[1].name, "ISO");
  EXPECT_EQ(survey.dimension_styles[1].dimlfac, 3.0);
  EXPECT_EQ(survey.dimension_styles[1].dimensions, 1u);
}

// A large drawing is read in chunks, each in two halves at once: what
// stands after 70 000 other entities is found as in a small drawing.
TEST(DrawingSurveyTest, LargeDrawingsGiveWhatSmallOnesGive) {
  std::string lines;
  for (int i = 0; i < 70000; ++i)
    lines += "0\nLINE\n5\n" + std::to_string(100000 + i) + "\n67\n1\n8\nExtra\n10\n0\n20\n0\n";
  std::string text = ExportedDrawing("0");
  text.insert(text.find("0\nVIEWPORT\n"), lines);
  auto drawing = Load(text);
  ASSERT_TRUE(drawing);
  DrawingSurvey survey = SurveyDrawing(*drawing);
  EXPECT_EQ(survey.main_entities, 70009u);
  EXPECT_EQ(survey.handles.size(), 70009u);
  EXPECT_EQ(survey.spaces[1].entities, 70007u);
  EXPECT_EQ(survey.layers[0].entities, 7u);
  ASSERT_EQ(survey.layers.size(), 4u);
  EXPECT_EQ(survey.layers[2].name, "Extra");
  EXPECT_EQ(survey.layers[2].entities, 70000u);
  ASSERT_EQ(survey.dimensions.size(), 5u);
  EXPECT_EQ(survey.dimensions[0].handle, "42");
  EXPECT_EQ(survey.dimensions[0].displayed(), 50.0);
  EXPECT_EQ(survey.dimensions[1].displayed(), 30.0);
  EXPECT_EQ(survey.entity_lineweights.at(kLineWeightByLayer), 70007u);
}

TEST(DrawingSurveyTest, DimensionsAndTheirFactors) {
  auto drawing = Load(ExportedDrawing("0"));
  ASSERT_TRUE(drawing);
  DrawingSurvey survey = SurveyDrawing(*drawing);
  ASSERT_EQ(survey.dimensions.size(), 5u);
  const DimensionFacts& by_override = survey.dimensions[0];
  EXPECT_EQ(by_override.handle, "42");
  EXPECT_EQ(by_override.override_dimlfac, 2.0);
  EXPECT_EQ(by_override.displayed(), 50.0);
  EXPECT_TRUE(by_override.text_has_na);
  EXPECT_EQ(survey.dimensions[1].override_dimlfac, std::nullopt);
  EXPECT_EQ(survey.dimensions[1].displayed(), 30.0);
  EXPECT_EQ(survey.dimensions[2].override_dimlfac, std::nullopt);
  EXPECT_EQ(survey.dimensions[2].style, "STANDARD");
  EXPECT_EQ(survey.dimensions[2].displayed(), 7.0);
  EXPECT_EQ(survey.dimensions[3].displayed(), 1.5);
  EXPECT_EQ(survey.dimensions[4].type, "LEADER");
  EXPECT_EQ(survey.dimensions[4].displayed(), std::nullopt);

  // 2.0 once, 0.5 twice (the angular dimension and the leader).
  const DimensionFacts* pick = AutoReference(survey);
  ASSERT_NE(pick, nullptr);
  EXPECT_EQ(pick->handle, "45");
}

TEST(DrawingSurveyTest, MeasuresDimensionsFromTheirPoints) {
  std::string text = ToDxf(R"(
0 DIMENSION
10 1.0
20 2.0
13 0.0
23 0.0
14 3.0
24 4.0
15 4.0
25 6.0
50 0.0
1001 ACAD
10 99.0
)");
  std::vector<dxf::TagView> tags;
  dxf::SplitTags(text, &tags);
  EXPECT_EQ(MeasureDimension(tags, 32 + 0), 3.0);      // linear, horizontal
  EXPECT_EQ(MeasureDimension(tags, 32 + 1), 5.0);      // aligned
  EXPECT_EQ(MeasureDimension(tags, 32 + 3), 5.0);      // diameter: 10 to 15
  EXPECT_EQ(MeasureDimension(tags, 32 + 4), 5.0);      // radius
  EXPECT_EQ(MeasureDimension(tags, 64 + 6), 1.0);      // ordinate, x offset of 13 from 10
  EXPECT_EQ(MeasureDimension(tags, 6), 2.0);           // ordinate, y offset
  EXPECT_EQ(MeasureDimension(tags, 2), std::nullopt);  // angular
  tags.erase(tags.begin() + 4);                        // no 23: no y of point 13
  EXPECT_EQ(MeasureDimension(tags, 1), std::nullopt);
}

TEST(DrawingSurveyTest, SignsOfAnExport) {
  auto drawing = Load(ExportedDrawing("0"));
  ASSERT_TRUE(drawing);
  DrawingSurvey survey = SurveyDrawing(*drawing);
  EXPECT_EQ(survey.modeller_blocks, std::vector<std::string>{"2dCenter1"});
  EXPECT_EQ(survey.modeller_layers, std::vector<std::string>{"mittellinie"});
  EXPECT_EQ(survey.na_texts, 1u);
  EXPECT_TRUE(survey.looks_like_modeller_export());

  // The same drawing with model space current is no export to convert.
  auto model = Load(ExportedDrawing("1"));
  ASSERT_TRUE(model);
  DrawingSurvey model_survey = SurveyDrawing(*model);
  ASSERT_NE(model_survey.current_space(), nullptr);
  EXPECT_TRUE(model_survey.current_space()->model);
  EXPECT_FALSE(model_survey.views_on_current_layout());
  EXPECT_FALSE(model_survey.looks_like_modeller_export());
}

}  // namespace
}  // namespace cli
