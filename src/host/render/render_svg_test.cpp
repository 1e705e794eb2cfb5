#include "host/render/render_svg.h"

#include <gtest/gtest.h>

#include <string>

#include "support/render_test_support.h"

namespace host::render {
namespace {

using testing::DrawingOf;

size_t Occurrences(const std::string& text, std::string_view what) {
  size_t n = 0;
  for (size_t pos = text.find(what); pos != std::string::npos; pos = text.find(what, pos + 1)) ++n;
  return n;
}

SvgPicture Model(const Drawing& drawing, SvgOptions options = {}) {
  return RenderSvg(drawing, drawing.model_space(), options);
}

constexpr char kLine[] = "0 LINE\n8 0\n10 0\n20 0\n30 0\n11 10\n21 0\n31 0\n";

TEST(RenderSvg, EachEntityKindBecomesStrokesOrTextWithFlippedY) {
  auto d =
      DrawingOf("0 LAYER\n2 Rot\n70 0\n62 1\n6 CONTINUOUS", "",
                std::string(kLine) +
                    "0 CIRCLE\n8 Rot\n10 5\n20 5\n30 0\n40 2\n"
                    "0 ARC\n8 0\n62 3\n10 0\n20 0\n30 0\n40 4\n50 0\n51 90\n"
                    "0 ELLIPSE\n8 0\n10 0\n20 0\n30 0\n11 6\n21 0\n31 0\n40 0.5\n41 0\n"
                    "42 6.283185307179586\n"
                    "0 LWPOLYLINE\n8 0\n90 3\n70 1\n10 20\n20 0\n42 1\n10 22\n20 0\n10 22\n20 3\n"
                    "0 POLYLINE\n8 0\n66 1\n70 0\n10 0\n20 0\n30 0\n"
                    "0 VERTEX\n8 0\n10 30\n20 1\n30 0\n0 VERTEX\n8 0\n10 31\n20 2\n30 0\n"
                    "0 SEQEND\n8 0\n"
                    "0 SPLINE\n8 0\n70 8\n71 1\n72 4\n73 2\n40 0\n40 0\n40 1\n40 1\n"
                    "10 40\n20 0\n30 0\n10 41\n20 1\n30 0\n"
                    "0 SOLID\n8 0\n10 50\n20 0\n30 0\n11 51\n21 0\n31 0\n12 50\n22 1\n32 0\n"
                    "13 51\n23 1\n33 0\n"
                    "0 3DFACE\n8 0\n10 60\n20 0\n30 0\n11 61\n21 0\n31 0\n12 61\n22 1\n32 0\n"
                    "13 60\n23 1\n33 0\n"
                    "0 HATCH\n8 0\n100 AcDbHatch\n10 0\n20 0\n30 0\n2 SOLID\n70 1\n71 0\n91 1\n"
                    "92 2\n72 0\n73 1\n93 3\n10 70\n20 0\n10 71\n20 0\n10 71\n20 1\n97 0\n"
                    "75 0\n76 1\n98 0\n"
                    "0 TEXT\n8 0\n10 1\n20 2\n30 0\n40 2.5\n1 Hallo\n"
                    "0 MTEXT\n8 0\n10 0\n20 -10\n30 0\n40 2\n71 1\n1 {\\fArial;Zeile1}\\PZeile2\n"
                    "0 POINT\n8 0\n10 80\n20 8\n30 0\n");
  ASSERT_TRUE(d);
  std::string svg = Model(*d).svg;
  EXPECT_NE(svg.find("M0 0L10 0"), std::string::npos) << "LINE";
  EXPECT_NE(svg.find("stroke=\"#ff0000\""), std::string::npos) << "the layer's colour";
  EXPECT_NE(svg.find("stroke=\"#00ff00\""), std::string::npos) << "the entity's colour";
  EXPECT_NE(svg.find("M7 -5L"), std::string::npos) << "CIRCLE starts at angle 0";
  EXPECT_NE(svg.find("M4 0L"), std::string::npos) << "ARC from 0 degrees";
  EXPECT_NE(svg.find("0 -4\""), std::string::npos) << "ARC to 90 degrees";
  EXPECT_NE(svg.find("M6 0L"), std::string::npos) << "ELLIPSE";
  EXPECT_NE(svg.find("M20 0L"), std::string::npos) << "LWPOLYLINE";
  EXPECT_NE(svg.find(" 21 1 "), std::string::npos) << "the bulge's half circle passes (21,-1)";
  EXPECT_NE(svg.find("M30 -1L31 -2"), std::string::npos) << "POLYLINE with its vertices";
  EXPECT_NE(svg.find("M40 0L"), std::string::npos) << "SPLINE";
  EXPECT_NE(svg.find("M50 0L51 0 51 -1 50 -1Z"), std::string::npos) << "SOLID outline 10,11,13,12";
  EXPECT_NE(svg.find("M60 0L61 0 61 -1 60 -1Z"), std::string::npos) << "3DFACE";
  EXPECT_NE(svg.find("M70 0L71 0 71 -1Z"), std::string::npos) << "HATCH boundary";
  EXPECT_NE(svg.find("M80 -8h0"), std::string::npos) << "POINT as a dot";
  EXPECT_NE(svg.find("matrix(1 0 0 1 1 -2)\">Hallo</text>"), std::string::npos) << svg;
  EXPECT_NE(svg.find(">Zeile1</text>"), std::string::npos) << "MTEXT without formatting";
  EXPECT_NE(svg.find(">Zeile2</text>"), std::string::npos) << "MTEXT second line";
}

TEST(RenderSvg, InsertPlacesItsBlockByBaseScaleRotationAndAttributes) {
  auto d = DrawingOf("",
                     "0 BLOCK\n8 0\n2 B\n70 2\n10 1\n20 0\n30 0\n3 B\n" + std::string(kLine) +
                         "0 ATTDEF\n8 0\n10 0\n20 0\n30 0\n40 1\n1 x\n2 TAG\n3 ?\n70 0\n"
                         "0 ENDBLK\n8 0\n",
                     "0 INSERT\n8 0\n66 1\n2 B\n10 100\n20 100\n30 0\n41 2\n42 2\n43 2\n50 90\n"
                     "0 ATTRIB\n8 0\n10 5\n20 6\n30 0\n40 1\n1 Wert\n2 TAG\n70 0\n"
                     "0 SEQEND\n8 0\n");
  ASSERT_TRUE(d);
  std::string svg = Model(*d).svg;
  // The block's (0,0)-(10,0) less its base (1,0), doubled and turned: from
  // (100,98) to (100,118).
  EXPECT_NE(svg.find("M100 -98L100 -118"), std::string::npos) << svg;
  EXPECT_NE(svg.find(">Wert</text>"), std::string::npos) << "the attribute";
  EXPECT_EQ(svg.find(">TAG</text>"), std::string::npos) << "no attribute definition";
}

TEST(RenderSvg, BlockContentTakesTheReferencesLayerAndByBlockColour) {
  auto d = DrawingOf("0 LAYER\n2 Blau\n70 0\n62 5\n6 CONTINUOUS",
                     "0 BLOCK\n8 0\n2 B\n70 0\n10 0\n20 0\n30 0\n3 B\n" + std::string(kLine) +
                         "0 CIRCLE\n8 0\n62 0\n10 0\n20 0\n30 0\n40 1\n0 ENDBLK\n8 0\n",
                     "0 INSERT\n8 Blau\n62 6\n2 B\n10 0\n20 0\n30 0\n"
                     "0 INSERT\n8 Blau\n2 B\n10 50\n20 0\n30 0\n");
  ASSERT_TRUE(d);
  std::string svg = Model(*d).svg;
  // Layer 0 in the block: the reference's layer colour (blue), BYBLOCK:
  // the reference's colour (magenta, then blue by layer).
  EXPECT_NE(svg.find("stroke=\"#0000ff\""), std::string::npos);
  EXPECT_NE(svg.find("stroke=\"#ff00ff\""), std::string::npos);
  EXPECT_EQ(svg.find("stroke=\"#000000\""), std::string::npos) << svg;
}

TEST(RenderSvg, BlocksThatReferenceThemselvesEnd) {
  auto d = DrawingOf("",
                     "0 BLOCK\n8 0\n2 A\n70 0\n10 0\n20 0\n30 0\n3 A\n" + std::string(kLine) +
                         "0 INSERT\n8 0\n2 A\n10 1\n20 1\n30 0\n"
                         "0 INSERT\n8 0\n2 C\n10 0\n20 0\n30 0\n0 ENDBLK\n8 0\n"
                         "0 BLOCK\n8 0\n2 C\n70 0\n10 0\n20 0\n30 0\n3 C\n"
                         "0 INSERT\n8 0\n2 A\n10 0\n20 5\n30 0\n0 ENDBLK\n8 0\n",
                     "0 INSERT\n8 0\n2 A\n10 0\n20 0\n30 0\n");
  ASSERT_TRUE(d);
  SvgPicture picture = Model(*d);
  EXPECT_EQ(picture.primitives, 1u) << "the line, drawn once";
  EXPECT_FALSE(picture.truncated);
}

TEST(RenderSvg, DeepFanOutOfBlocksIsCutShortByTheRecordBudget) {
  // Each level inserts the one below four times: 4^12 lines if followed.
  std::string blocks =
      "0 BLOCK\n8 0\n2 L0\n70 0\n10 0\n20 0\n30 0\n3 L0\n" + std::string(kLine) + "0 ENDBLK\n8 0\n";
  for (int level = 1; level <= 12; ++level) {
    std::string name = "L" + std::to_string(level), below = "L" + std::to_string(level - 1);
    blocks += "0 BLOCK\n8 0\n2 " + name + "\n70 0\n10 0\n20 0\n30 0\n3 " + name + "\n";
    for (int k = 0; k < 4; ++k) {
      blocks += "0 INSERT\n8 0\n2 " + below + "\n10 " + std::to_string(k) + "\n20 0\n30 0\n";
    }
    blocks += "0 ENDBLK\n8 0\n";
  }
  auto d = DrawingOf("", blocks, "0 INSERT\n8 0\n2 L12\n10 0\n20 0\n30 0\n");
  ASSERT_TRUE(d);
  SvgOptions options;
  options.max_records = 5000;
  SvgPicture picture = Model(*d, options);
  EXPECT_TRUE(picture.truncated);
  EXPECT_GT(picture.primitives, 0u);
  EXPECT_LT(picture.primitives, 5000u);
}

TEST(RenderSvg, PrimitiveCapKeepsTheFirstOnes) {
  std::string lines;
  for (int k = 0; k < 10; ++k) lines += kLine;
  auto d = DrawingOf("", "", lines);
  ASSERT_TRUE(d);
  SvgOptions options;
  options.max_primitives = 4;
  SvgPicture picture = Model(*d, options);
  EXPECT_EQ(picture.primitives, 4u);
  EXPECT_TRUE(picture.truncated);
  EXPECT_FALSE(picture.svg.empty());
}

TEST(RenderSvg, HiddenLayersAndInvisibleEntitiesAreLeftOutWithTheirAttributes) {
  auto d = DrawingOf(
      "0 LAYER\n2 Aus\n70 0\n62 -1\n6 CONTINUOUS\n"
      "0 LAYER\n2 Frost\n70 1\n62 2\n6 CONTINUOUS",
      "",
      "0 LINE\n8 Aus\n10 0\n20 0\n30 0\n11 1\n21 0\n31 0\n"
      "0 LINE\n8 FROST\n10 0\n20 0\n30 0\n11 2\n21 0\n31 0\n"
      "0 LINE\n8 0\n60 1\n10 0\n20 0\n30 0\n11 3\n21 0\n31 0\n"
      "0 INSERT\n8 Frost\n66 1\n2 Missing\n10 0\n20 0\n30 0\n"
      "0 ATTRIB\n8 0\n10 5\n20 6\n30 0\n40 1\n1 Wert\n2 TAG\n70 0\n"
      "0 SEQEND\n8 0\n");
  ASSERT_TRUE(d);
  SvgPicture picture = Model(*d);
  EXPECT_EQ(picture.primitives, 0u);
  EXPECT_EQ(picture.svg, "") << "nothing to show";
}

TEST(RenderSvg, DimensionsAreDrawnThroughTheirBlocks) {
  auto d = DrawingOf("",
                     "0 BLOCK\n8 0\n2 *D1\n70 1\n10 0\n20 0\n30 0\n3 *D1\n" + std::string(kLine) +
                         "0 MTEXT\n8 0\n10 5\n20 1\n30 0\n40 2.5\n71 8\n1 10\n0 ENDBLK\n8 0\n",
                     "0 DIMENSION\n8 0\n2 *D1\n10 0\n20 0\n30 0\n70 32\n"
                     "0 DIMENSION\n8 0\n2 *Missing\n10 0\n20 0\n30 0\n70 32\n");
  ASSERT_TRUE(d);
  std::string svg = Model(*d).svg;
  EXPECT_NE(svg.find("M0 0L10 0"), std::string::npos);
  EXPECT_NE(svg.find("text-anchor=\"middle\">10</text>"), std::string::npos) << svg;
}

TEST(RenderSvg, SpacesAreDrawnApart) {
  auto d = DrawingOf("", "",
                     std::string(kLine) +
                         "0 CIRCLE\n67 1\n8 0\n10 5\n20 5\n30 0\n40 2\n"
                         "0 VIEWPORT\n67 1\n8 0\n10 0\n20 0\n30 0\n40 100\n41 50\n69 2\n"
                         "0 VIEWPORT\n67 1\n8 0\n10 0\n20 0\n30 0\n40 10\n41 6\n69 3\n");
  ASSERT_TRUE(d);
  ContainerId layout = d->Layouts().empty() ? kNoContainer : d->Layouts().front();
  ASSERT_NE(layout, kNoContainer);
  SvgPicture paper = RenderSvg(*d, layout, {});
  // The circle and the second viewport's frame: the first is the sheet.
  EXPECT_EQ(paper.primitives, 2u);
  EXPECT_NE(paper.svg.find("M-5 3L5 3 5 -3 -5 -3Z"), std::string::npos) << paper.svg;
  EXPECT_EQ(Model(*d).primitives, 1u);
}

TEST(RenderSvg, TextsAreUtf8AndEscaped) {
  auto d = DrawingOf("", "", "0 TEXT\n8 0\n10 0\n20 0\n30 0\n40 1\n1 \xC4 %%c10 <a&b> \\U+03A9\n");
  ASSERT_TRUE(d);
  std::string svg = Model(*d).svg;
  EXPECT_NE(svg.find(">\xC3\x84 \xC3\x98"
                     "10 &lt;a&amp;b&gt; \xCE\xA9</text>"),
            std::string::npos)
      << svg;
}

TEST(RenderSvg, CoordinatesAreRoundedToThePicturesSize) {
  auto d =
      DrawingOf("", "", "0 LINE\n8 0\n10 0.123456789\n20 0\n30 0\n11 1000.987654321\n21 0\n31 0\n");
  ASSERT_TRUE(d);
  std::string svg = Model(*d).svg;
  // 1000 wide at five digits: steps of 0.01.
  EXPECT_NE(svg.find("M0.12 0L1000.99 0"), std::string::npos) << svg;
  EXPECT_EQ(Occurrences(svg, "<path"), 1u);
}

}  // namespace
}  // namespace host::render
