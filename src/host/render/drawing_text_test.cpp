#include "host/render/drawing_text.h"

#include <gtest/gtest.h>

#include "host/render/colour_index.h"
#include "host/render/tessellate.h"

namespace host::render {
namespace {

TEST(ShownText, ResolvesEscapesAndControlCodes) {
  EXPECT_EQ(ShownText("45%%d %%p0.1 %%C8 100%%% %%u\xFC%%Unten"),
            "45\xC2\xB0 \xC2\xB1"
            "0.1 \xC3\x98"
            "8 100% \xC3\xBCnten");
  EXPECT_EQ(ShownText("\\U+20AC \x80 %%065"), "\xE2\x82\xAC \xE2\x82\xAC A");
  // Broken escapes stay as written; control characters go.
  EXPECT_EQ(ShownText("\\U+12 %%"), "\\U+12 %%");
  EXPECT_EQ(ShownText(std::string("a\x01\x81"
                                  "b",
                                  4)),
            "ab");
}

TEST(MTextLines, TakesOutFormattingAndSplitsParagraphs) {
  std::vector<std::string> lines =
      MTextLines("{\\fArial|b1|i0;\\H2.5x;Ma\\Lß\\l}\\P\\S1^2; \\{x\\}\\~y\\\\z\\Pletzte");
  ASSERT_EQ(lines.size(), 3u);
  EXPECT_EQ(lines[0], "Maß");
  EXPECT_EQ(lines[1], "1/2 {x}\xA0y\\z");
  EXPECT_EQ(lines[2], "letzte");
  // A code without its semicolon ends the text rather than running past it.
  EXPECT_EQ(MTextLines("ab\\H2.5").front(), "ab");
}

TEST(XmlEscape, EscapesMarkupCharacters) {
  EXPECT_EQ(XmlEscape("<a href=\"x\">&'"), "&lt;a href=&quot;x&quot;&gt;&amp;&#39;");
}

TEST(IndexColour, BasicColoursHuesAndGreys) {
  EXPECT_EQ(IndexColour(1), 0xFF0000u);
  EXPECT_EQ(IndexColour(5), 0x0000FFu);
  EXPECT_EQ(IndexColour(7), 0xFFFFFFu);
  EXPECT_EQ(IndexColour(10), 0xFF0000u);   // the first hue, full
  EXPECT_EQ(IndexColour(11), 0xFF8080u);   // half saturated
  EXPECT_EQ(IndexColour(130), 0x00FFFFu);  // cyan, 180 degrees on
  EXPECT_EQ(IndexColour(250), 0x333333u);
  EXPECT_EQ(IndexColour(0), IndexColour(7));
  EXPECT_EQ(IndexColour(300), IndexColour(7));
  EXPECT_EQ(OnWhite(IndexColour(7)), 0x000000u);
  EXPECT_EQ(OnWhite(0x123456), 0x123456u);
  EXPECT_EQ(OnWhite(0x00FFFF), 0x00FFFFu);        // cyan is dark enough
  EXPECT_EQ(OnWhite(IndexColour(2)), 0xB0B000u);  // yellow, darkened
}

TEST(EvaluateSpline, FollowsItsControlPointsAndRefusesBrokenData) {
  // Degree 1: the control polygon itself.
  std::vector<Vec3> line =
      EvaluateSpline(1, {0, 0, 1, 2, 2}, {{0, 0, 0}, {1, 1, 0}, {2, 0, 0}}, {});
  ASSERT_FALSE(line.empty());
  EXPECT_DOUBLE_EQ(line.front().x, 0);
  EXPECT_DOUBLE_EQ(line.back().x, 2);
  EXPECT_DOUBLE_EQ(line[line.size() / 2].y, 1);
  // A quadratic Bezier: its middle at (1, 0.5).
  std::vector<Vec3> arc =
      EvaluateSpline(2, {0, 0, 0, 1, 1, 1}, {{0, 0, 0}, {1, 1, 0}, {2, 0, 0}}, {});
  ASSERT_FALSE(arc.empty());
  EXPECT_NEAR(arc[arc.size() / 2].y, 0.5, 1e-12);
  EXPECT_TRUE(EvaluateSpline(3, {0, 1}, {{0, 0, 0}, {1, 1, 0}}, {}).empty());
  EXPECT_TRUE(EvaluateSpline(1, {0, 1, 0.5, 2}, {{0, 0, 0}, {1, 1, 0}}, {}).empty());
  EXPECT_TRUE(EvaluateSpline(1, {0, 0, 1, 1}, {{0, 0, 0}, {1, 1, 0}}, {1, -1}).empty());
}

TEST(AppendBulgeSegment, BulgeOneIsAHalfCircle) {
  std::vector<Point2> points;
  AppendBulgeSegment(Affine(), {0, 0, 0}, {2, 0, 0}, 1, &points);
  ASSERT_GE(points.size(), 3u);
  EXPECT_DOUBLE_EQ(points.back().x, 2);
  // Counter-clockwise from (0,0) to (2,0) about (1,0): through (1,-1).
  EXPECT_NEAR(points[points.size() / 2 - 1].y, -1, 1e-9);
}

}  // namespace
}  // namespace host::render
