#include "host/dimension_regen.h"

#include <gtest/gtest.h>

#include <string>

#include "host/commands/tag_edit.h"
#include "support/drawing_test_support.h"

namespace host {
namespace {

using commands::CopyEntityTags;
using commands::TagValue;

// One dimension (handle 30) drawn by the block *D1: two extension lines from
// 13 and 14, the dimension line, an arrow, the text and a definition point.
struct DimensionSetup {
  std::string type = "DIMENSION";
  int kind = 32;  // rotated, with its own block
  std::string override_text = "<>";
  std::string measurement = "80";
  std::string points = "10 70\n20 163\n30 0\n13 70\n23 170\n33 0\n14 150\n24 170\n34 0\n";
  std::string xdata = "1001 ACAD\n1000 DSTYLE\n1002 {\n1070 144\n1040 2.0\n1002 }\n";
  std::string style;  // the DIMSTYLE record's variables
  std::string text = "1 160";
  bool block = true;
};

std::unique_ptr<Drawing> Make(const DimensionSetup& s) {
  std::string text = "0 SECTION\n2 HEADER\n9 $ACADVER\n1 AC1015\n9 $HANDSEED\n5 FFF\n0 ENDSEC\n";
  text +=
      "0 SECTION\n2 TABLES\n0 TABLE\n2 STYLE\n5 3\n70 2\n"
      "0 STYLE\n5 11\n2 Standard\n70 0\n3 txt\n"
      "0 STYLE\n5 12\n2 ISO\n70 0\n3 isocpeur\n0 ENDTAB\n"
      "0 TABLE\n2 DIMSTYLE\n5 A\n70 1\n0 DIMSTYLE\n105 1A\n2 Standard\n70 0\n" +
      s.style + "0 ENDTAB\n0 ENDSEC\n";
  text += "0 SECTION\n2 BLOCKS\n";
  if (s.block) {
    text +=
        "0 BLOCK\n5 20\n8 0\n2 *D1\n70 1\n10 0\n20 0\n30 0\n3 *D1\n"
        "0 LINE\n5 21\n8 0\n10 70\n20 169\n30 0\n11 70\n21 161.5\n31 0\n"
        "0 LINE\n5 22\n8 0\n10 150\n20 169\n30 0\n11 150\n21 161.5\n31 0\n"
        "0 LINE\n5 23\n8 0\n10 73\n20 163\n30 0\n11 147\n21 163\n31 0\n"
        "0 SOLID\n5 24\n8 0\n10 70\n20 163\n11 73\n21 164\n12 73\n22 162\n13 73\n23 162\n";
    if (!s.text.empty()) text += "0 MTEXT\n5 25\n8 0\n10 110\n20 165\n40 2.5\n" + s.text + "\n";
    text += "0 POINT\n5 26\n8 DEFPOINTS\n10 70\n20 170\n0 ENDBLK\n5 27\n8 0\n";
  }
  text += "0 ENDSEC\n0 SECTION\n2 ENTITIES\n0 " + s.type + "\n5 30\n8 0\n2 *D1\n" + s.points +
          "70 " + std::to_string(s.kind) + "\n1 " + s.override_text + "\n3 Standard\n42 " +
          s.measurement + "\n" + s.xdata + "0 ENDSEC\n0 EOF\n";
  return testing::LoadDrawing(testing::TagLines(text));
}

EntityId Id(const Drawing& d, const char* handle) { return d.FindEntityByHandle(handle); }

// Sets a group of the dimension (or, with code 0, nothing) and regenerates.
RegenerationCount Change(Drawing& d, int code, const std::string& value) {
  EntityId id = Id(d, "30");
  dxf::Tags tags = CopyEntityTags(d, id);
  if (code != 0) commands::SetOrAppendTag(&tags, code, value);
  d.SetEntityTags(id, tags);
  return RegenerateDimension(d, id);
}

std::string Shown(const Drawing& d) { return InspectDimension(d, Id(d, "30")).text; }
std::string Group(const Drawing& d, const char* handle, int code) {
  return TagValue(CopyEntityTags(d, Id(d, handle)), code, "none");
}

TEST(DimensionRegeneration, OverrideFormsKeepTheModellersValue) {
  DimensionSetup s;
  s.override_text = "<>/N/A";
  s.measurement = "60";
  s.text = "1 {\\H0.7x;%%c120}/N/A";
  auto d = Make(s);
  ASSERT_TRUE(d);
  EXPECT_EQ(InspectDimension(*d, Id(*d, "30")).value, "{\\H0.7x;%%c120}");
  const std::pair<std::string, std::string> forms[] = {
      {"<>", "{\\H0.7x;%%c120}"},
      {"", "{\\H0.7x;%%c120}"},
      {" ", ""},
      {"ca. <> mm", "ca. {\\H0.7x;%%c120} mm"},
      {"fest", "fest"},
  };
  for (const auto& [override_text, shown] : forms) {
    EXPECT_EQ(Change(*d, 1, override_text).regenerated, 1u);
    EXPECT_EQ(Shown(*d), shown) << override_text;
    EXPECT_EQ(InspectDimension(*d, Id(*d, "30")).regenerated, shown);
  }
}

TEST(DimensionRegeneration, AChangedValueIsFormattedAndTheDrawnOneComesBack) {
  DimensionSetup s;
  s.override_text = "N/A/<>";
  s.text = "1 N/A/\\A1;160";
  s.style = "271 3\n78 8\n278 44\n3 <> mm\n";
  auto d = Make(s);
  ASSERT_TRUE(d);
  Change(*d, 1, "<>");
  EXPECT_EQ(Shown(*d), "\\A1;160");
  // The factor pass divides DIMLFAC, the scale restores the product.
  Change(*d, 42, "40.25");
  EXPECT_EQ(Shown(*d), "80,5 mm");
  Change(*d, 42, "80");
  EXPECT_EQ(Shown(*d), "\\A1;160");
  // A text that does not fit its override is formatted whatever the value.
  s.text = "1 160 typ.";
  s.override_text = "<>/N/A";
  s.style = "271 2\n78 4\n45 0.25\n";
  s.measurement = "0.2";
  d = Make(s);
  Change(*d, 1, "<>");
  EXPECT_EQ(Shown(*d), ".50");
}

TEST(DimensionRegeneration, ColoursAndTextStyleFromStyleAndOverrides) {
  DimensionSetup s;
  s.style = "176 256\n177 1\n178 2\n340 12\n";
  auto d = Make(s);
  ASSERT_TRUE(d);
  Change(*d, 0, "");
  EXPECT_EQ(Group(*d, "25", 62), "2");
  EXPECT_EQ(Group(*d, "25", 7), "ISO");
  EXPECT_EQ(Group(*d, "21", 62), "1");  // extension lines
  EXPECT_EQ(Group(*d, "22", 62), "1");
  EXPECT_EQ(Group(*d, "23", 62), "none");  // dimension line and arrow: ByLayer
  EXPECT_EQ(Group(*d, "24", 62), "none");
  EXPECT_EQ(Group(*d, "26", 62), "none");  // definition point untouched
  EXPECT_EQ(Shown(*d), "160");

  s.style = "340 11\n";
  s.xdata =
      "1001 ACAD\n1000 DSTYLE\n1002 {\n1070 178\n1070 3\n1070 176\n1070 256\n1070 177\n"
      "1070 0\n1070 340\n1005 12\n1002 }\n";
  d = Make(s);
  Change(*d, 0, "");
  EXPECT_EQ(Group(*d, "25", 62), "3");
  EXPECT_EQ(Group(*d, "25", 7), "ISO");
  EXPECT_EQ(Group(*d, "21", 62), "0");  // ByBlock
  EXPECT_EQ(Group(*d, "24", 62), "none");
  // Up to date, a dimension is left byte for byte as it is.
  std::string before = d->WriteToString();
  Change(*d, 0, "");
  EXPECT_EQ(d->WriteToString(), before);
  // A part changed since (as a pass setting block entities ByLayer does) is
  // put right again, and so is the text.
  for (const char* part : {"21", "25"}) {
    dxf::Tags tags = CopyEntityTags(*d, Id(*d, part));
    commands::SetOrAppendTag(&tags, 62, "256");
    d->SetEntityTags(Id(*d, part), tags);
  }
  Change(*d, 0, "");
  EXPECT_EQ(Group(*d, "21", 62), "0");
  EXPECT_EQ(Group(*d, "25", 62), "3");
}

TEST(DimensionRegeneration, EveryTypeFormatsItsValueAndFindsItsExtensionLines) {
  struct Case {
    std::string type;
    int kind;
    std::string points, measurement, shown;
    bool line21_is_extension;
  };
  const std::string linear = "10 70\n20 163\n13 70\n23 170\n14 150\n24 170\n";
  const Case cases[] = {
      {"DIMENSION", 33, linear, "40", "80", true},
      {"DIMENSION", 35, "10 100\n20 100\n15 90\n25 90\n", "20", "%%c40", false},
      {"DIMENSION", 36, "10 100\n20 100\n15 90\n25 90\n", "5", "R10", false},
      {"DIMENSION", 34, "13 70\n23 180\n14 70\n24 170\n15 80\n25 170\n10 90\n20 170\n",
       "1.5707963267948966", "90%%d", true},
      {"DIMENSION", 37, "13 70\n23 170\n14 80\n24 180\n15 70\n25 100\n", "0.7853981633974483",
       "45%%d", true},
      {"DIMENSION", 38, "10 0\n20 0\n13 70\n23 170\n14 70\n24 150\n", "-35", "70", true},
      {"ARC_DIMENSION", 40, "13 70\n23 170\n14 150\n24 170\n15 110\n25 100\n", "50", "100", true},
  };
  for (const Case& c : cases) {
    DimensionSetup s;
    s.type = c.type;
    s.kind = c.kind;
    s.points = c.points;
    s.measurement = c.measurement;
    s.override_text = "<>/x";
    s.text = "1 drawn";  // does not fit its override: formatted
    s.style = "271 0\n177 5\n";
    auto d = Make(s);
    ASSERT_TRUE(d);
    Change(*d, 1, "<>");
    EXPECT_EQ(Shown(*d), c.shown) << c.kind;
    EXPECT_EQ(Group(*d, "21", 62), c.line21_is_extension ? "5" : "0") << c.kind;
    EXPECT_EQ(Group(*d, "23", 62), "0") << c.kind;
  }
}

TEST(DimensionRegeneration, WithoutBlockOrTextLeftAsItIsAndCounted) {
  DimensionSetup s;
  s.block = false;
  auto d = Make(s);
  ASSERT_TRUE(d);
  RegenerationCount count = Change(*d, 1, "x");
  EXPECT_EQ(count.left_as_is, 1u);
  EXPECT_EQ(count.regenerated, 0u);
  s.block = true;
  s.text.clear();
  d = Make(s);
  std::string before = d->WriteToString();
  EXPECT_EQ(RegenerateDimension(*d, Id(*d, "30")).left_as_is, 1u);
  EXPECT_EQ(d->WriteToString(), before);
  EXPECT_FALSE(InspectDimension(*d, Id(*d, "30")).has_text);
  // Other entities are passed over.
  EntityId line = Id(*d, "21");
  EXPECT_EQ(RegenerateDimensions(*d, std::span<const EntityId>(&line, 1)).left_as_is, 0u);
}

TEST(DimensionRegeneration, InspectionSeesTheBlockAsItIsAfterTheRegeneration) {
  auto d = Make(DimensionSetup{});
  ASSERT_TRUE(d);
  Change(*d, 1, "<> mm");
  EXPECT_EQ(Shown(*d), "160 mm");
  // The text erased after the regeneration: the block has none to show.
  d->EraseEntity(Id(*d, "25"));
  EXPECT_FALSE(InspectDimension(*d, Id(*d, "30")).has_text);
  d->EraseEntity(Id(*d, "25"), false);
  EXPECT_EQ(Shown(*d), "160 mm");
}

}  // namespace
}  // namespace host
