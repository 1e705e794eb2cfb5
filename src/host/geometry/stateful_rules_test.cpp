#include <gtest/gtest.h>

#include "host/geometry/geometry_test_support.h"
#include "host/geometry/transform.h"

namespace host::geometry {
namespace {

using testing::Num;
using testing::Text;

const Transform kScale2Move{2.0, {0, 0, 0}, {10, 5, 0}};

// A hatch with one polyline path (with bulges), one edge path (line, arc,
// ellipse and spline edges), a pattern of one dashed line and a seed point.
dxf::Tags SampleHatch() {
  return {{0, "HATCH"},
          {100, "AcDbEntity"},
          {8, "0"},
          {92, "44"},  // proxy graphics size: not a path type
          {100, "AcDbHatch"},
          {10, "0"},  // elevation point
          {20, "0"},
          {30, "1"},
          {210, "0"},
          {220, "0"},
          {230, "1"},
          {2, "ANSI31"},
          {70, "0"},
          {71, "1"},
          {91, "2"},
          // Path 1: polyline with bulges.
          {92, "7"},
          {72, "1"},
          {73, "1"},
          {93, "2"},
          {10, "1"},
          {20, "1"},
          {42, "0.5"},
          {10, "3"},
          {20, "1"},
          {42, "0"},
          {97, "1"},
          {330, "3A"},
          // Path 2: edges.
          {92, "1"},
          {93, "4"},
          {72, "1"},  // line
          {10, "0"},
          {20, "0"},
          {11, "4"},
          {21, "0"},
          {72, "2"},  // arc: centre, radius, angles, ccw
          {10, "4"},
          {20, "2"},
          {40, "2"},
          {50, "270"},
          {51, "90"},
          {73, "1"},
          {72, "3"},  // ellipse: centre, major axis, ratio, params, ccw
          {10, "2"},
          {20, "4"},
          {11, "2"},
          {21, "0"},
          {40, "0.25"},
          {50, "0"},
          {51, "180"},
          {73, "1"},
          {72, "4"},  // spline: degree, rational, periodic, counts, knots, points
          {94, "3"},
          {73, "0"},
          {74, "0"},
          {95, "8"},
          {96, "4"},
          {40, "0"},
          {40, "1"},
          {10, "0"},
          {20, "4"},
          {10, "1"},
          {20, "5"},
          {97, "0"},
          {75, "1"},
          {76, "1"},
          {52, "45"},
          {41, "1.5"},
          {77, "0"},
          {78, "1"},
          {53, "45"},
          {43, "1"},
          {44, "2"},
          {45, "-0.5"},
          {46, "0.5"},
          {79, "2"},
          {49, "3"},
          {49, "-1"},
          {47, "0.01"},
          {98, "1"},
          {10, "2"},
          {20, "2"}};
}

TEST(HatchTransformTest, WalksPathsPatternAndSeeds) {
  dxf::Tags tags = SampleHatch();
  ASSERT_EQ(TransformEntity(&tags, kScale2Move), TransformResult::kDone);
  EXPECT_EQ(Text(tags, 92, 0), "44");
  // Elevation point: only z.
  EXPECT_EQ(Text(tags, 10, 0), "0");
  EXPECT_EQ(Num(tags, 30, 0), 2);
  // Polyline path: vertices moved, bulges kept, source handle kept.
  EXPECT_EQ(Num(tags, 10, 1), 12);
  EXPECT_EQ(Num(tags, 20, 1), 7);
  EXPECT_EQ(Text(tags, 42, 0), "0.5");
  EXPECT_EQ(Text(tags, 330), "3A");
  // Line edge.
  EXPECT_EQ(Num(tags, 10, 3), 10);
  EXPECT_EQ(Num(tags, 11, 0), 18);
  // Arc edge: centre and radius; angles keep.
  EXPECT_EQ(Num(tags, 10, 4), 18);
  EXPECT_EQ(Num(tags, 40, 0), 4);
  EXPECT_EQ(Text(tags, 50, 0), "270");
  // Ellipse edge: the axis is a vector, the ratio keeps.
  EXPECT_EQ(Num(tags, 10, 5), 14);
  EXPECT_EQ(Num(tags, 11, 1), 4);
  EXPECT_EQ(Text(tags, 21, 1), "0");
  EXPECT_EQ(Text(tags, 40, 1), "0.25");
  // Spline edge: knots keep, control points move.
  EXPECT_EQ(Text(tags, 40, 3), "1");
  EXPECT_EQ(Num(tags, 10, 7), 12);
  EXPECT_EQ(Num(tags, 20, 7), 15);
  // Pattern: scale, base point, offset and dashes; angles keep.
  EXPECT_EQ(Text(tags, 52), "45");
  EXPECT_EQ(Num(tags, 41), 3);
  EXPECT_EQ(Text(tags, 53), "45");
  EXPECT_EQ(Num(tags, 43), 12);
  EXPECT_EQ(Num(tags, 44), 9);
  EXPECT_EQ(Num(tags, 45), -1);
  EXPECT_EQ(Num(tags, 46), 1);
  EXPECT_EQ(Num(tags, 49, 0), 6);
  EXPECT_EQ(Num(tags, 49, 1), -2);
  EXPECT_EQ(Text(tags, 47), "0.01");
  // Seed point.
  EXPECT_EQ(Num(tags, 10, 8), 14);
  EXPECT_EQ(Num(tags, 20, 8), 9);
  // 2D boundary points never get a z.
  EXPECT_EQ(tags.size(), SampleHatch().size());
}

TEST(HatchTransformTest, DownwardExtrusionMirrorsBoundaryAndPattern) {
  dxf::Tags tags = SampleHatch();
  tags[10].value = "-1";  // 230
  TransformEntity(&tags, Transform{1.0, {}, {1, 0, 0}});
  // A move by world +1 in x is -1 in this OCS.
  EXPECT_EQ(Num(tags, 10, 1), 0);
  EXPECT_EQ(Num(tags, 43), 0);
  EXPECT_EQ(Text(tags, 44), "2");
  EXPECT_EQ(Num(tags, 10, 8), 1);
  EXPECT_EQ(Text(tags, 40, 0), "2");  // a pure move keeps sizes
}

TEST(MultiLeaderTransformTest, SectionsGiveCodesTheirMeaning) {
  dxf::Tags tags{{0, "MULTILEADER"},
                 {100, "AcDbEntity"},
                 {100, "AcDbMLeader"},
                 {300, "CONTEXT_DATA{"},
                 {40, "1.0"},
                 {10, "1"},
                 {20, "1"},
                 {30, "0"},
                 {41, "0.18"},
                 {304, "text"},
                 {11, "0"},
                 {21, "0"},
                 {31, "1"},
                 {12, "2"},
                 {22, "2"},
                 {32, "0"},
                 {302, "LEADER{"},
                 {10, "3"},
                 {20, "3"},
                 {30, "0"},
                 {11, "1"},
                 {21, "0"},
                 {31, "0"},
                 {40, "0.36"},
                 {304, "LEADER_LINE{"},
                 {10, "4"},
                 {20, "4"},
                 {30, "0"},
                 {305, "}"},
                 {303, "}"},
                 {301, "}"},
                 {41, "0.36"},
                 {10, "1"},
                 {20, "1"},
                 {30, "1"}};
  TransformEntity(&tags, kScale2Move);
  EXPECT_EQ(Text(tags, 40, 0), "1.0");  // content scale
  EXPECT_EQ(Num(tags, 10, 0), 12);
  EXPECT_EQ(Num(tags, 41, 0), 0.36);
  EXPECT_EQ(Text(tags, 11, 0), "0");  // text normal
  EXPECT_EQ(Num(tags, 12, 0), 14);
  EXPECT_EQ(Num(tags, 10, 1), 16);    // last leader point
  EXPECT_EQ(Text(tags, 11, 1), "1");  // dogleg direction
  EXPECT_EQ(Num(tags, 40, 1), 0.72);
  EXPECT_EQ(Num(tags, 10, 2), 18);    // leader line vertex
  EXPECT_EQ(Num(tags, 41, 1), 0.72);  // dogleg length
  EXPECT_EQ(Num(tags, 10, 3), 2);     // block content scale
  EXPECT_EQ(Num(tags, 30, 3), 2);
}

}  // namespace
}  // namespace host::geometry
