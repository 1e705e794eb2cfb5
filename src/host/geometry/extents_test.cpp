#include "host/geometry/extents.h"

#include <gtest/gtest.h>

#include <cmath>
#include <map>
#include <string>

#include "host/geometry/geometry_test_support.h"

namespace host::geometry {
namespace {

using testing::Views;

constexpr double kEps = 1e-9;

// Block definitions held in memory, visited as the database does.
class Blocks {
 public:
  void Define(const std::string& name, std::vector<dxf::Tags> records) {
    blocks_[name] = std::move(records);
  }
  BlockVisitor visitor() {
    return [this](std::string_view name,
                  const std::function<void(const std::vector<dxf::TagView>&)>& visit) {
      auto it = blocks_.find(std::string(name));
      if (it == blocks_.end()) return false;
      for (const dxf::Tags& record : it->second) visit(Views(record));
      return true;
    };
  }

 private:
  std::map<std::string, std::vector<dxf::Tags>> blocks_;
};

Extents Of(const std::vector<dxf::Tags>& records, BlockVisitor blocks = nullptr) {
  ExtentsCollector collector(std::move(blocks));
  for (const dxf::Tags& record : records) collector.Add(Views(record));
  return collector.extents();
}

void ExpectBox(const Extents& e, double x0, double y0, double x1, double y1) {
  ASSERT_FALSE(e.empty());
  EXPECT_NEAR(e.min.x, x0, kEps);
  EXPECT_NEAR(e.min.y, y0, kEps);
  EXPECT_NEAR(e.max.x, x1, kEps);
  EXPECT_NEAR(e.max.y, y1, kEps);
}

dxf::Tags Line(double x0, double y0, double x1, double y1) {
  return {{0, "LINE"},
          {10, std::to_string(x0)},
          {20, std::to_string(y0)},
          {11, std::to_string(x1)},
          {21, std::to_string(y1)}};
}

dxf::Tags Insert(const std::string& block, double x, double y, double angle = 0, double scale = 1) {
  return {{0, "INSERT"},
          {2, block},
          {10, std::to_string(x)},
          {20, std::to_string(y)},
          {41, std::to_string(scale)},
          {42, std::to_string(scale)},
          {50, std::to_string(angle)}};
}

TEST(ExtentsTest, IgnoresPointsThatAreNotFinite) {
  Extents e;
  EXPECT_TRUE(e.empty());
  e.Add(Vec3{std::nan(""), 0, 0});
  e.Add(Vec3{0, INFINITY, 0});
  EXPECT_TRUE(e.empty());
  e.Add(Vec3{1, 2, 3});
  e.Add(Extents{});
  ExpectBox(e, 1, 2, 1, 2);
}

TEST(ExtentsTest, CirclesAndArcsByTheirTrueBounds) {
  // Centre (5, 0) in the mirrored OCS is world (-5, 0).
  ExpectBox(
      Of({{{0, "CIRCLE"}, {10, "5"}, {20, "0"}, {40, "2"}, {210, "0"}, {220, "0"}, {230, "-1"}}}),
      -7, -2, -3, 2);
  // A quarter arc stays in its quadrant; one across 0 degrees reaches x = r.
  ExpectBox(Of({{{0, "ARC"}, {10, "0"}, {20, "0"}, {40, "1"}, {50, "0"}, {51, "90"}}}), 0, 0, 1, 1);
  Extents across = Of({{{0, "ARC"}, {10, "0"}, {20, "0"}, {40, "1"}, {50, "350"}, {51, "10"}}});
  EXPECT_NEAR(across.max.x, 1, kEps);
  EXPECT_NEAR(across.max.y, std::sin(10 * M_PI / 180), kEps);
}

TEST(ExtentsTest, RotatedEllipse) {
  // Major axis (3, 4) of length 5, ratio 0.2: minor axis (-0.8, 0.6).
  Extents e = Of({{{0, "ELLIPSE"},
                   {10, "0"},
                   {20, "0"},
                   {11, "3"},
                   {21, "4"},
                   {40, "0.2"},
                   {41, "0"},
                   {42, "6.283185307179586"}}});
  EXPECT_NEAR(e.max.x, std::hypot(3, 0.8), kEps);
  EXPECT_NEAR(e.max.y, std::hypot(4, 0.6), kEps);
  EXPECT_NEAR(e.min.x, -std::hypot(3, 0.8), kEps);
}

TEST(ExtentsTest, BulgedPolylineSegmentsReachTheirArcs) {
  // A counter-clockwise half circle from (0,0) to (2,0) dips to y = -1.
  ExpectBox(Of({{{0, "LWPOLYLINE"},
                 {90, "2"},
                 {70, "0"},
                 {10, "0"},
                 {20, "0"},
                 {42, "1"},
                 {10, "2"},
                 {20, "0"}}}),
            0, -1, 2, 0);
  // The same as POLYLINE with VERTEX records, closed back with a bulge.
  Extents e = Of({{{0, "POLYLINE"}, {66, "1"}, {10, "0"}, {20, "0"}, {30, "0"}, {70, "1"}},
                  {{0, "VERTEX"}, {10, "0"}, {20, "0"}, {42, "1"}},
                  {{0, "VERTEX"}, {10, "2"}, {20, "0"}, {42, "1"}},
                  {{0, "SEQEND"}}});
  ExpectBox(e, 0, -1, 2, 1);
  // Wide polylines count half their width on each side.
  ExpectBox(Of({{{0, "LWPOLYLINE"}, {43, "0.5"}, {10, "0"}, {20, "0"}, {10, "4"}, {20, "0"}}}),
            -0.25, -0.25, 4.25, 0.25);
}

TEST(ExtentsTest, TextBoxFollowsJustification) {
  // Four characters of height 1: 2.8 wide from the insertion point.
  ExpectBox(Of({{{0, "TEXT"}, {10, "1"}, {20, "1"}, {40, "1"}, {1, "ABCD"}}}), 1, 1, 3.8, 2);
  // Right-aligned at 11, top-justified: the box ends there and hangs below.
  ExpectBox(Of({{{0, "TEXT"},
                 {10, "0"},
                 {20, "0"},
                 {40, "1"},
                 {1, "%%c12"},
                 {72, "2"},
                 {11, "10"},
                 {21, "5"},
                 {73, "3"}}}),
            10 - 2.1, 4, 10, 5);
  // Rotated by 90 degrees it runs up.
  ExpectBox(Of({{{0, "TEXT"}, {10, "0"}, {20, "0"}, {40, "1"}, {1, "AB"}, {50, "90"}}}), -1, 0, 0,
            1.4);
}

TEST(ExtentsTest, MTextBoxFromItsAttachmentPoint) {
  // Middle centre, 10 wide and 3 high as computed by its writer.
  ExpectBox(Of({{{0, "MTEXT"},
                 {10, "0"},
                 {20, "0"},
                 {40, "1"},
                 {41, "10"},
                 {71, "5"},
                 {1, "text"},
                 {42, "10"},
                 {43, "3"}}}),
            -5, -1.5, 5, 1.5);
  // Top left without computed extents: two lines, the longer one 5 characters.
  ExpectBox(
      Of({{{0, "MTEXT"}, {10, "0"}, {20, "0"}, {40, "1"}, {71, "1"}, {1, "{\\H1.0;Hallo}\\Pabc"}}}),
      0, -(1 + 5.0 / 3.0), 3.5, 0);
}

TEST(ExtentsTest, InsertOfNestedBlock) {
  Blocks blocks;
  blocks.Define("INNER", {Line(0, 0, 1, 1)});
  blocks.Define("OUTER",
                {{{0, "BLOCK"}, {2, "OUTER"}, {10, "5"}, {20, "0"}}, Insert("INNER", 10, 0, 0, 2)});
  // OUTER's content spans (10,0)-(12,2); its base point 5,0 lands on 100,100,
  // turned by 90 degrees: x from 98 to 100, y from 105 to 107.
  ExpectBox(Of({Insert("OUTER", 100, 100, 90)}, blocks.visitor()), 98, 105, 100, 107);
}

TEST(ExtentsTest, TurnedInsertsAreBoundedExactly) {
  Blocks blocks;
  blocks.Define("C", {{{0, "CIRCLE"}, {10, "0"}, {20, "0"}, {40, "1"}}});
  blocks.Define("N", {Insert("C", 0, 0, 30)});
  // A box of the circle turned by 45 degrees would reach 1.414.
  ExpectBox(Of({Insert("N", 0, 0, 15)}, blocks.visitor()), -1, -1, 1, 1);
}

TEST(ExtentsTest, MultipleInsertCoversItsGrid) {
  Blocks blocks;
  blocks.Define("B", {Line(0, 0, 1, 1)});
  dxf::Tags minsert = Insert("B", 0, 0);
  minsert.insert(minsert.end(), {{70, "3"}, {71, "2"}, {44, "10"}, {45, "5"}});
  ExpectBox(Of({minsert}, blocks.visitor()), 0, 0, 21, 6);
}

TEST(ExtentsTest, CyclicBlocksEnd) {
  Blocks blocks;
  blocks.Define("A", {Line(0, 0, 1, 1), Insert("B", 1, 0), Insert("A", 5, 5)});
  blocks.Define("B", {Line(0, 0, 1, 0), Insert("A", 0, 10, 45)});
  Extents e = Of({Insert("A", 0, 0)}, blocks.visitor());
  EXPECT_FALSE(e.empty());
  EXPECT_LE(e.min.x, 0);
  EXPECT_GE(e.max.x, 2);
}

TEST(ExtentsTest, DeepWideNestingEnds) {
  // Fifteen levels of ten turned copies each: far too many to draw one by
  // one; the walk falls back to block boxes.
  Blocks blocks;
  blocks.Define("L0", {Line(0, 0, 1, 0)});
  for (int level = 1; level <= 15; ++level) {
    std::vector<dxf::Tags> copies;
    for (int i = 0; i < 10; ++i) {
      copies.push_back(Insert("L" + std::to_string(level - 1), i, 0, 45));
    }
    blocks.Define("L" + std::to_string(level), copies);
  }
  EXPECT_FALSE(Of({Insert("L15", 0, 0)}, blocks.visitor()).empty());
}

TEST(ExtentsTest, DimensionByItsBlockOrElseItsPoints) {
  Blocks blocks;
  blocks.Define("*D1", {Line(-1, -1, 4, 3)});
  dxf::Tags dimension{{0, "DIMENSION"}, {2, "*D1"}, {10, "0"}, {20, "0"}, {13, "1"}, {23, "1"}};
  ExpectBox(Of({dimension}, blocks.visitor()), -1, -1, 4, 3);
  dimension[1].value = "*D404";
  ExpectBox(Of({dimension}, blocks.visitor()), 0, 0, 1, 1);
}

TEST(ExtentsTest, HatchBoundaryWithArcEdge) {
  Extents e = Of(
      {{{0, "HATCH"}, {100, "AcDbHatch"}, {10, "0"},  {20, "0"},  {30, "0"},   {91, "1"}, {92, "1"},
        {93, "2"},    {72, "1"},          {10, "-1"}, {20, "0"},  {11, "1"},   {21, "0"}, {72, "2"},
        {10, "0"},    {20, "0"},          {40, "1"},  {50, "0"},  {51, "180"}, {73, "1"}, {97, "0"},
        {75, "1"},    {76, "1"},          {98, "1"},  {10, "50"}, {20, "50"}}});
  ExpectBox(e, -1, 0, 1, 1);  // the seed point does not count
}

TEST(ExtentsTest, LeavesOutWhatIsNotShown) {
  Blocks blocks;
  blocks.Define("B", {Line(0, 0, 1, 1),
                      {{0, "ATTDEF"}, {10, "50"}, {20, "50"}, {40, "1"}, {1, "X"}, {2, "T"}}});
  Extents e = Of({Insert("B", 0, 0),
                  {{0, "XLINE"}, {10, "100"}, {20, "100"}, {11, "1"}, {21, "0"}},
                  {{0, "LINE"}, {60, "1"}, {10, "-100"}, {20, "0"}, {11, "0"}, {21, "0"}},
                  {{0, "ATTRIB"}, {10, "70"}, {20, "0"}, {40, "1"}, {1, "X"}, {70, "1"}}},
                 blocks.visitor());
  ExpectBox(e, 0, 0, 1, 1);
}

TEST(ExtentsTest, ViewportFrameAndSingleEntityCall) {
  Extents e;
  AddEntityExtents(Views({{0, "VIEWPORT"}, {10, "5"}, {20, "5"}, {40, "4"}, {41, "2"}}), nullptr,
                   &e);
  ExpectBox(e, 3, 4, 7, 6);
}

}  // namespace
}  // namespace host::geometry
