#include "host/geometry/transform.h"

#include <gtest/gtest.h>

#include <tuple>
#include <vector>

#include "host/geometry/geometry_test_support.h"

namespace host::geometry {
namespace {

using testing::Count;
using testing::Num;
using testing::Text;

// Scale by 2 about the origin, then move by (10, 5, 0).
const Transform kScale2Move{2.0, {0, 0, 0}, {10, 5, 0}};

TEST(TransformTest, AppliesScaleAboutBaseThenMove) {
  Transform t{3.0, {1, 1, 1}, {0, 0, 2}};
  Vec3 p = t.Apply({2, 0, 1});
  EXPECT_EQ(p.x, 4);
  EXPECT_EQ(p.y, -2);
  EXPECT_EQ(p.z, 3);
  EXPECT_TRUE((Transform{1.0, {5, 5, 5}, {}}).is_identity());
  EXPECT_FALSE((Transform{1.0, {}, {0, 0, 1}}).is_identity());
}

TEST(TransformTest, IdentityLeavesEveryByteAsItWas) {
  dxf::Tags tags{{0, "LINE"}, {8, "0"},      {100, "AcDbLine"}, {10, " 1.50 "},
                 {20, "2"},   {30, "0.000"}, {11, "1e1"},       {21, "+3"},
                 {31, "0"},   {39, "0.25"},  {1001, "APP"},     {1041, "7"}};
  dxf::Tags before = tags;
  EXPECT_EQ(TransformEntity(&tags, Transform{1.0, {4, 4, 4}, {}}), TransformResult::kDone);
  EXPECT_EQ(tags, before);
}

TEST(TransformTest, RefusesTransformsThatAreNotAPositiveScale) {
  dxf::Tags tags{{0, "LINE"}, {10, "1"}, {20, "2"}, {30, "0"}};
  dxf::Tags before = tags;
  for (double factor : {0.0, -2.0, std::numeric_limits<double>::quiet_NaN(),
                        std::numeric_limits<double>::infinity()}) {
    EXPECT_EQ(TransformEntity(&tags, Transform{factor, {}, {}}), TransformResult::kInvalid);
  }
  Transform bad_offset{2.0, {}, {std::numeric_limits<double>::infinity(), 0, 0}};
  EXPECT_EQ(TransformEntity(&tags, bad_offset), TransformResult::kInvalid);
  EXPECT_EQ(tags, before);
}

TEST(TransformTest, LineMovesBothEndsScalesThicknessKeepsUnchangedText) {
  dxf::Tags tags{{0, "LINE"},       {5, "2A"},   {100, "AcDbEntity"}, {8, "0"},
                 {100, "AcDbLine"}, {39, "0.5"}, {10, "1"},           {20, "2"},
                 {30, "0.0"},       {11, "-1"},  {21, "0.5"},         {31, "0.0"}};
  EXPECT_EQ(TransformEntity(&tags, kScale2Move), TransformResult::kDone);
  EXPECT_EQ(Num(tags, 10), 12);
  EXPECT_EQ(Num(tags, 20), 9);
  EXPECT_EQ(Num(tags, 11), 8);
  EXPECT_EQ(Num(tags, 21), 6);
  EXPECT_EQ(Num(tags, 39), 1);
  // z stays 0: its text is not rewritten.
  EXPECT_EQ(Text(tags, 30), "0.0");
  EXPECT_EQ(Text(tags, 5), "2A");
}

TEST(TransformTest, TwoDimensionalPointGetsZOnlyWhenLifted) {
  dxf::Tags flat{{0, "POINT"}, {10, "1"}, {20, "1"}};
  TransformEntity(&flat, kScale2Move);
  EXPECT_EQ(flat.size(), 3u);

  dxf::Tags lifted{{0, "POINT"}, {10, "1"}, {20, "1"}, {50, "0"}};
  TransformEntity(&lifted, Transform{1.0, {}, {0, 0, 4}});
  ASSERT_EQ(lifted.size(), 5u);
  EXPECT_EQ(lifted[3].code, 30);
  EXPECT_EQ(Num(lifted, 30), 4);
  EXPECT_EQ(Text(lifted, 10), "1");  // a move in z leaves x and y alone
}

// A chain leaves the tags one call per transform leaves: defaults and z
// added by an early step are moved on by the later ones, a value that comes
// back to where it was is still written afresh, invalid steps are skipped.
TEST(TransformTest, ChainEqualsOneCallPerTransform) {
  const dxf::Tags records[] = {
      {{0, "INSERT"}, {100, "AcDbBlockReference"}, {2, "B"}, {10, "1"}, {20, "1"}, {30, "0"}},
      {{0, "LWPOLYLINE"}, {100, "AcDbPolyline"}, {90, "1"}, {10, "0.10"}, {20, "0"}},
      {{0, "POINT"}, {10, "1"}, {20, "+1.0"}, {1001, "APP"}, {1041, "0.3"}},
      {{0, "CIRCLE"}, {10, "3"}, {20, "nan"}, {30, "0"}, {40, "0.7"}}};
  const Transform invalid{-1.0, {}, {}};
  const std::vector<Transform> chains[] = {
      {Transform{1.0, {}, {0.1, 0, 0}}, Transform{1.0, {}, {-0.1, 0, 0}}},
      {Transform{3.0, {1, 2, 0}, {}}, invalid, Transform{1.0, {}, {0, 0, 0.2}}, kScale2Move,
       Transform{0.1, {}, {1, 1, 1}}},
      {Transform{1.0, {}, {0, 0, 7}}, Transform{0.5, {2, 2, 2}, {}}},
      {kScale2Move, invalid}};
  for (const dxf::Tags& record : records) {
    for (const std::vector<Transform>& chain : chains) {
      dxf::Tags one_by_one = record;
      TransformResult expected = TransformResult::kDone;
      for (const Transform& t : chain) expected = TransformEntity(&one_by_one, t);
      dxf::Tags chained = record;
      EXPECT_EQ(TransformEntity(&chained, chain, OwnerFrame{}), expected);
      EXPECT_EQ(chained, one_by_one) << record[0].value << ", chain of " << chain.size();
    }
  }
}

TEST(TransformTest, LeavesValuesThatAreNotFiniteNumbers) {
  dxf::Tags tags{{0, "LINE"}, {10, "nan"}, {20, "abc"}, {30, "inf"},
                 {11, "1"},   {21, ""},    {31, "1,5"}};
  TransformEntity(&tags, kScale2Move);
  EXPECT_EQ(Text(tags, 10), "nan");
  EXPECT_EQ(Text(tags, 20), "abc");
  EXPECT_EQ(Text(tags, 30), "inf");
  EXPECT_EQ(Num(tags, 11), 12);
  EXPECT_EQ(Text(tags, 21), "");
  EXPECT_EQ(Text(tags, 31), "1,5");
}

TEST(TransformTest, OcsCircleWithDownwardExtrusionIsMirroredInX) {
  // Centre (5, 0) in an OCS whose X axis points to world -X: world (-5, 0).
  dxf::Tags tags{{0, "CIRCLE"}, {100, "AcDbCircle"}, {10, "5"},  {20, "0"},  {30, "0"},
                 {40, "1.5"},   {210, "0"},          {220, "0"}, {230, "-1"}};
  TransformEntity(&tags, Transform{2.0, {0, 0, 0}, {1, 0, 0}});
  // World (-5, 0) -> (-10, 0) -> (-9, 0), which is x = 9 in the OCS.
  EXPECT_EQ(Num(tags, 10), 9);
  EXPECT_EQ(Num(tags, 20), 0);
  EXPECT_EQ(Num(tags, 40), 3);
  EXPECT_EQ(Text(tags, 230), "-1");
}

TEST(TransformTest, OcsArcAboutABaseKeepsItsAngles) {
  dxf::Tags tags{{0, "ARC"},  {100, "AcDbCircle"}, {10, "5"},    {20, "1"},
                 {30, "2"},   {40, "1"},           {210, "0"},   {220, "0"},
                 {230, "-1"}, {100, "AcDbArc"},    {50, "30.0"}, {51, "90.0"}};
  // Base (1, 1, 0) world = (-1, 1, 0) in this OCS.
  TransformEntity(&tags, Transform{2.0, {1, 1, 0}, {}});
  EXPECT_EQ(Num(tags, 10), 2 * (5 - -1) + -1);
  EXPECT_EQ(Num(tags, 20), 1);
  EXPECT_EQ(Num(tags, 30), 4);
  EXPECT_EQ(Text(tags, 50), "30.0");
  EXPECT_EQ(Text(tags, 51), "90.0");
}

TEST(TransformTest, EllipseAxisIsAVectorAndOnlyScaled) {
  dxf::Tags tags{{0, "ELLIPSE"}, {10, "1"},  {20, "1"},   {30, "0"}, {11, "3"},
                 {21, "0"},      {31, "0"},  {40, "0.5"}, {41, "0"}, {42, "6.28"},
                 {210, "0"},     {220, "0"}, {230, "-1"}};
  TransformEntity(&tags, kScale2Move);
  EXPECT_EQ(Num(tags, 10), 12);  // world point even with an extrusion
  EXPECT_EQ(Num(tags, 11), 6);
  EXPECT_EQ(Text(tags, 21), "0");
  EXPECT_EQ(Text(tags, 40), "0.5");
  EXPECT_EQ(Text(tags, 42), "6.28");
}

TEST(TransformTest, SplineScalesTolerancesButNotKnotsWeightsOrTangents) {
  dxf::Tags tags{{0, "SPLINE"}, {100, "AcDbSpline"}, {70, "8"}, {42, "1e-10"}, {43, "1e-10"},
                 {44, "0.1"},   {12, "1"},           {22, "0"}, {32, "0"},     {40, "0"},
                 {40, "1"},     {41, "0.5"},         {10, "1"}, {20, "1"},     {30, "0"},
                 {11, "2"},     {21, "2"},           {31, "0"}};
  TransformEntity(&tags, kScale2Move);
  EXPECT_EQ(Num(tags, 42), 2e-10);
  EXPECT_EQ(Num(tags, 44), 0.2);
  EXPECT_EQ(Text(tags, 12), "1");
  EXPECT_EQ(Text(tags, 40, 1), "1");
  EXPECT_EQ(Text(tags, 41), "0.5");
  EXPECT_EQ(Num(tags, 10), 12);
  EXPECT_EQ(Num(tags, 21), 9);
}

TEST(TransformTest, PlainTextKeepsItsUnusedAlignmentPoint) {
  dxf::Tags tags{{0, "TEXT"}, {100, "AcDbText"}, {10, "1"}, {20, "1"},   {30, "0"},
                 {40, "2.5"}, {1, "Hallo"},      {72, "0"}, {11, "0.0"}, {21, "0.0"},
                 {31, "0.0"}, {100, "AcDbText"}, {73, "0"}};
  TransformEntity(&tags, kScale2Move);
  EXPECT_EQ(Num(tags, 10), 12);
  EXPECT_EQ(Num(tags, 40), 5);
  EXPECT_EQ(Text(tags, 11), "0.0");
  EXPECT_EQ(Text(tags, 21), "0.0");
}

TEST(TransformTest, JustifiedTextMovesItsAlignmentPoint) {
  // Vertical justification 73 comes after 11 in the file.
  dxf::Tags tags{{0, "TEXT"}, {10, "1"}, {20, "1"}, {40, "2.5"},
                 {1, "x"},    {11, "4"}, {21, "1"}, {73, "2"}};
  TransformEntity(&tags, kScale2Move);
  EXPECT_EQ(Num(tags, 11), 18);
  EXPECT_EQ(Num(tags, 21), 7);
}

TEST(TransformTest, AttributeVerticalJustificationIs74Not73) {
  // 73 is the field length of an attribute: 11 is unused here.
  dxf::Tags field_length{{0, "ATTRIB"}, {100, "AcDbText"}, {10, "1"}, {20, "1"},
                         {40, "1"},     {11, "0"},         {21, "0"}, {100, "AcDbAttribute"},
                         {2, "TAG"},    {70, "0"},         {73, "12"}};
  TransformEntity(&field_length, kScale2Move);
  EXPECT_EQ(Text(field_length, 11), "0");

  dxf::Tags justified = field_length;
  justified.push_back({74, "3"});
  TransformEntity(&justified, kScale2Move);
  EXPECT_EQ(Num(justified, 11), 10);
  EXPECT_EQ(Num(justified, 21), 5);
}

TEST(TransformTest, MTextScalesSizesNotDirection) {
  dxf::Tags tags{{0, "MTEXT"},
                 {100, "AcDbMText"},
                 {10, "1"},
                 {20, "1"},
                 {30, "0"},
                 {40, "2.5"},
                 {41, "30"},
                 {46, "0"},
                 {71, "1"},
                 {1, "Text"},
                 {11, "0.6"},
                 {21, "0.8"},
                 {31, "0"},
                 {42, "20"},
                 {43, "2.5"},
                 {44, "1.0"},
                 {101, "Embedded Object"},
                 {70, "1"},
                 {10, "1.0"},
                 {20, "0.0"},
                 {30, "0.0"},
                 {11, "1"},
                 {21, "1"},
                 {31, "0"},
                 {40, "30"}};
  TransformEntity(&tags, kScale2Move);
  EXPECT_EQ(Num(tags, 10), 12);
  EXPECT_EQ(Num(tags, 40), 5);
  EXPECT_EQ(Num(tags, 41), 60);
  EXPECT_EQ(Num(tags, 42), 40);
  EXPECT_EQ(Num(tags, 43), 5);
  EXPECT_EQ(Text(tags, 11), "0.6");
  EXPECT_EQ(Text(tags, 44), "1.0");
  // The column data: 10 is the direction, 11 the insertion point.
  EXPECT_EQ(Text(tags, 10, 1), "1.0");
  EXPECT_EQ(Num(tags, 11, 1), 12);
  EXPECT_EQ(Num(tags, 40, 1), 60);
}

TEST(TransformTest, InsertWritesScaleFactorsItLeftAtTheirDefault) {
  dxf::Tags tags{
      {0, "INSERT"}, {100, "AcDbBlockReference"}, {2, "B"}, {10, "1"}, {20, "1"}, {30, "0"},
      {50, "45"}};
  TransformEntity(&tags, kScale2Move);
  ASSERT_EQ(tags.size(), 10u);
  EXPECT_EQ(tags[6].code, 41);
  EXPECT_EQ(tags[7].code, 42);
  EXPECT_EQ(tags[8].code, 43);
  EXPECT_EQ(Num(tags, 41), 2);
  EXPECT_EQ(Num(tags, 43), 2);
  EXPECT_EQ(Text(tags, 50), "45");

  dxf::Tags mirrored{{0, "INSERT"}, {2, "B"},  {10, "0"}, {20, "0"},
                     {41, "-1"},    {43, "1"}, {44, "5"}, {45, "0"}};
  TransformEntity(&mirrored, kScale2Move);
  EXPECT_EQ(Num(mirrored, 41), -2);
  EXPECT_EQ(Num(mirrored, 42), 2);  // added between 41 and 43
  EXPECT_EQ(mirrored[5].code, 42);
  EXPECT_EQ(Num(mirrored, 44), 10);
  EXPECT_EQ(Text(mirrored, 45), "0");
}

TEST(TransformTest, LwPolylineKeepsBulgesAndScalesWidths) {
  dxf::Tags tags{{0, "LWPOLYLINE"}, {100, "AcDbPolyline"},
                 {90, "2"},         {70, "0"},
                 {43, "0.1"},       {10, "0"},
                 {20, "0"},         {40, "1"},
                 {41, "0"},         {42, "0.5"},
                 {10, "1"},         {20, "0"},
                 {42, "-1"}};
  TransformEntity(&tags, kScale2Move);
  EXPECT_EQ(Num(tags, 10, 0), 10);
  EXPECT_EQ(Num(tags, 10, 1), 12);
  EXPECT_EQ(Num(tags, 20, 1), 5);
  EXPECT_EQ(Num(tags, 43), 0.2);
  EXPECT_EQ(Num(tags, 40), 2);
  EXPECT_EQ(Text(tags, 42, 0), "0.5");
  EXPECT_EQ(Text(tags, 42, 1), "-1");
  EXPECT_EQ(Count(tags, 30), 0);
  EXPECT_EQ(Count(tags, 38), 0);  // still on z = 0

  // Lifting it writes the elevation, before the first vertex.
  TransformEntity(&tags, Transform{1.0, {}, {0, 0, 3}});
  EXPECT_EQ(Num(tags, 38), 3);
  EXPECT_EQ(tags[5].code, 38);
}

TEST(TransformTest, PolylineHeaderMovesOnlyItsElevation) {
  dxf::Tags tags{{0, "POLYLINE"}, {66, "1"}, {10, "0"}, {20, "0"},
                 {30, "2"},       {70, "0"}, {40, "1"}, {41, "1"}};
  TransformEntity(&tags, Transform{2.0, {1, 1, 1}, {3, 3, 0}});
  EXPECT_EQ(Text(tags, 10), "0");
  EXPECT_EQ(Text(tags, 20), "0");
  EXPECT_EQ(Num(tags, 30), 3);
  EXPECT_EQ(Num(tags, 40), 2);
}

TEST(TransformTest, VertexTakesItsPolylinesFrame) {
  dxf::Tags polyline{{0, "POLYLINE"}, {10, "0"},  {20, "0"},  {30, "0"},
                     {70, "1"},       {210, "0"}, {220, "0"}, {230, "-1"}};
  OwnerFrame frame = OwnerFrameOf(polyline);
  EXPECT_FALSE(frame.is_3d);
  dxf::Tags vertex{{0, "VERTEX"}, {10, "5"}, {20, "0"}, {30, "0"}, {42, "0.3"}, {70, "0"}};
  TransformEntity(&vertex, Transform{2.0, {}, {1, 0, 0}}, frame);
  EXPECT_EQ(Num(vertex, 10), 9);  // mirrored as for the circle above
  EXPECT_EQ(Text(vertex, 42), "0.3");

  // A 3D polyline's vertex is a world point; a face record has no point.
  dxf::Tags vertex3d{{0, "VERTEX"}, {10, "5"}, {20, "0"}, {30, "0"}, {70, "32"}};
  TransformEntity(&vertex3d, Transform{2.0, {}, {1, 0, 0}}, frame);
  EXPECT_EQ(Num(vertex3d, 10), 11);
  dxf::Tags face{{0, "VERTEX"}, {10, "0"}, {20, "0"}, {30, "0"}, {70, "128"}, {71, "1"}};
  dxf::Tags face_before = face;
  TransformEntity(&face, kScale2Move, OwnerFrame{{0, 0, 1}, true});
  EXPECT_EQ(face, face_before);
}

TEST(TransformTest, DimensionMeasurementScalesUnlessItIsAnAngle) {
  dxf::Tags linear{{0, "DIMENSION"},
                   {100, "AcDbDimension"},
                   {2, "*D1"},
                   {10, "1"},
                   {20, "1"},
                   {11, "2"},
                   {21, "2"},
                   {70, "32"},
                   {42, "25.4"},
                   {53, "90"},
                   {100, "AcDbAlignedDimension"},
                   {13, "0"},
                   {23, "0"},
                   {14, "1"},
                   {24, "0"},
                   {1001, "ACAD"},
                   {1000, "DSTYLE"},
                   {1002, "{"},
                   {1070, "144"},
                   {1040, "2.0"},
                   {1002, "}"}};
  TransformEntity(&linear, kScale2Move);
  EXPECT_EQ(Num(linear, 42), 50.8);
  EXPECT_EQ(Num(linear, 10), 12);
  EXPECT_EQ(Num(linear, 13), 10);
  EXPECT_EQ(Num(linear, 14), 12);
  EXPECT_EQ(Text(linear, 53), "90");
  EXPECT_EQ(Text(linear, 1040), "2.0");  // a DSTYLE override is not geometry

  dxf::Tags angular{{0, "DIMENSION"}, {100, "AcDbDimension"}, {70, "37"}, {42, "1.5708"}};
  TransformEntity(&angular, kScale2Move);
  EXPECT_EQ(Text(angular, 42), "1.5708");

  dxf::Tags radial{{0, "DIMENSION"},
                   {100, "AcDbDimension"},
                   {70, "4"},
                   {42, "5"},
                   {100, "AcDbRadialDimension"},
                   {15, "1"},
                   {25, "0"},
                   {40, "3"}};
  TransformEntity(&radial, kScale2Move);
  EXPECT_EQ(Num(radial, 40), 6);
  EXPECT_EQ(Num(radial, 42), 10);

  // In an arc dimension 40 is the start angle.
  dxf::Tags arc{{0, "ARC_DIMENSION"},
                {100, "AcDbDimension"},
                {70, "8"},
                {100, "AcDbArcDimension"},
                {40, "0.5"},
                {41, "1.5"}};
  TransformEntity(&arc, kScale2Move);
  EXPECT_EQ(Text(arc, 40), "0.5");
}

TEST(TransformTest, UnknownTypeMovesPointsOnly) {
  dxf::Tags tags{{0, "FROBNICATOR"}, {100, "AcDbEntity"}, {8, "0"},  {100, "AcDbFrob"},
                 {10, "1"},          {20, "1"},           {30, "0"}, {17, "1"},
                 {27, "2"},          {40, "3"},           {39, "1"}};
  EXPECT_EQ(TransformEntity(&tags, kScale2Move), TransformResult::kPointsOnly);
  EXPECT_EQ(Num(tags, 10), 12);
  EXPECT_EQ(Num(tags, 17), 12);
  EXPECT_EQ(Num(tags, 27), 9);
  EXPECT_EQ(Text(tags, 40), "3");
  EXPECT_EQ(Text(tags, 39), "1");

  dxf::Tags solid{{0, "3DSOLID"}, {100, "AcDbModelerGeometry"}, {70, "1"}, {1, "acis data"}};
  dxf::Tags before = solid;
  EXPECT_EQ(TransformEntity(&solid, kScale2Move), TransformResult::kPointsOnly);
  EXPECT_EQ(solid, before);
}

// Each case: a record, and the numbers expected of some of its tags after a
// scale by 2 about the origin and a move by (10, 5).
struct TypeCase {
  dxf::Tags tags;
  std::vector<std::tuple<int, int, double>> expected;  // code, nth, value
  std::vector<int> unchanged;                          // codes whose text stays
};

TEST(TransformTest, EachTypeFollowsItsRule) {
  const std::vector<TypeCase> cases = {
      {{{0, "POINT"}, {10, "1"}, {20, "1"}, {39, "1"}, {50, "30"}},
       {{10, 0, 12}, {39, 0, 2}},
       {50}},
      // SOLID corners are OCS points: mirrored frame, a move of +10 in x is -10.
      {{{0, "SOLID"},
        {10, "1"},
        {20, "1"},
        {11, "2"},
        {21, "1"},
        {12, "1"},
        {22, "2"},
        {13, "2"},
        {23, "2"},
        {210, "0"},
        {220, "0"},
        {230, "-1"}},
       {{10, 0, -8}, {13, 0, -6}, {23, 0, 9}},
       {}},
      {{{0, "3DFACE"}, {10, "1"}, {20, "1"}, {30, "1"}, {13, "2"}, {23, "2"}, {33, "2"}},
       {{10, 0, 12}, {30, 0, 2}, {33, 0, 4}},
       {}},
      {{{0, "TOLERANCE"}, {10, "1"}, {20, "1"}, {11, "1"}, {21, "0"}}, {{10, 0, 12}}, {11}},
      {{{0, "WIPEOUT"},
        {10, "1"},
        {20, "1"},
        {11, "0.5"},
        {21, "0"},
        {12, "0"},
        {22, "0.5"},
        {14, "-0.5"},
        {24, "0.5"}},
       {{10, 0, 12}, {11, 0, 1}, {22, 0, 1}},
       {14, 24}},
      {{{0, "MLINE"},
        {40, "1"},
        {10, "1"},
        {20, "1"},
        {11, "1"},
        {21, "1"},
        {12, "1"},
        {22, "0"},
        {13, "0"},
        {23, "1"},
        {41, "0.5"},
        {42, "0.25"}},
       {{40, 0, 2}, {10, 0, 12}, {11, 0, 12}, {41, 0, 1}, {42, 0, 0.5}},
       {12, 13}},
      {{{0, "SHAPE"}, {10, "1"}, {20, "1"}, {40, "2"}, {50, "15"}},
       {{10, 0, 12}, {40, 0, 4}},
       {50}},
      {{{0, "HELIX"},
        {100, "AcDbSpline"},
        {40, "0"},
        {40, "1"},
        {10, "1"},
        {20, "1"},
        {100, "AcDbHelix"},
        {10, "0"},
        {20, "0"},
        {12, "0"},
        {22, "0"},
        {32, "1"},
        {40, "3"},
        {41, "2"},
        {42, "0.5"}},
       {{10, 0, 12}, {10, 1, 10}, {40, 2, 6}, {42, 0, 1}},
       {12, 41}},
      {{{0, "TRACE"}, {10, "1"}, {20, "1"}, {39, "2"}}, {{10, 0, 12}, {39, 0, 4}}, {}},
  };
  for (const TypeCase& c : cases) {
    dxf::Tags tags = c.tags;
    EXPECT_EQ(TransformEntity(&tags, kScale2Move), TransformResult::kDone) << c.tags[0].value;
    for (const auto& [code, nth, value] : c.expected) {
      EXPECT_EQ(Num(tags, code, nth), value) << c.tags[0].value << " code " << code;
    }
    for (int code : c.unchanged) {
      EXPECT_EQ(Text(tags, code), Text(c.tags, code)) << c.tags[0].value << " code " << code;
    }
  }
}

TEST(TransformTest, ExtendedDataFollowsItsCodes) {
  dxf::Tags tags{{0, "LINE"}, {10, "0"},   {20, "0"},   {11, "1"},   {21, "1"},   {1001, "APP"},
                 {1010, "1"}, {1020, "1"}, {1030, "0"}, {1011, "1"}, {1021, "1"}, {1031, "0"},
                 {1012, "1"}, {1022, "1"}, {1032, "0"}, {1013, "1"}, {1023, "0"}, {1033, "0"},
                 {1040, "3"}, {1041, "3"}, {1042, "3"}};
  TransformEntity(&tags, kScale2Move);
  EXPECT_EQ(Text(tags, 1010), "1");
  EXPECT_EQ(Num(tags, 1011), 12);
  EXPECT_EQ(Num(tags, 1021), 7);
  EXPECT_EQ(Num(tags, 1012), 2);
  EXPECT_EQ(Text(tags, 1013), "1");
  EXPECT_EQ(Text(tags, 1040), "3");
  EXPECT_EQ(Num(tags, 1041), 6);
  EXPECT_EQ(Num(tags, 1042), 6);
}

TEST(TransformTest, DirectionsOfLinesViewsAndImagesStay) {
  dxf::Tags xline{{0, "XLINE"}, {10, "1"}, {20, "1"}, {30, "0"}, {11, "1"}, {21, "0"}, {31, "0"}};
  TransformEntity(&xline, kScale2Move);
  EXPECT_EQ(Num(xline, 10), 12);
  EXPECT_EQ(Text(xline, 11), "1");

  dxf::Tags leader{{0, "LEADER"}, {10, "1"},  {20, "1"},  {40, "2"},  {211, "1"},
                   {221, "0"},    {212, "1"}, {222, "1"}, {213, "1"}, {223, "0"}};
  TransformEntity(&leader, kScale2Move);
  EXPECT_EQ(Num(leader, 40), 4);
  EXPECT_EQ(Text(leader, 211), "1");
  EXPECT_EQ(Num(leader, 222), 2);
  EXPECT_EQ(Num(leader, 213), 2);

  dxf::Tags viewport{{0, "VIEWPORT"}, {10, "1"}, {20, "1"}, {40, "10"},
                     {41, "5"},       {12, "3"}, {22, "3"}, {45, "7"}};
  TransformEntity(&viewport, kScale2Move);
  EXPECT_EQ(Num(viewport, 41), 10);
  EXPECT_EQ(Text(viewport, 12), "3");
  EXPECT_EQ(Text(viewport, 45), "7");

  dxf::Tags image{{0, "IMAGE"}, {10, "1"},   {20, "1"},   {11, "0.1"}, {21, "0"},
                  {12, "0"},    {22, "0.1"}, {13, "640"}, {23, "480"}, {14, "-0.5"}};
  TransformEntity(&image, kScale2Move);
  EXPECT_EQ(Num(image, 11), 0.2);
  EXPECT_EQ(Num(image, 22), 0.2);
  EXPECT_EQ(Text(image, 13), "640");
  EXPECT_EQ(Text(image, 14), "-0.5");
}

TEST(TransformTest, DataUnderTheEntityMarkerAloneIsData) {
  // Some writers give no marker but AcDbEntity.
  dxf::Tags tags{{0, "CIRCLE"}, {100, "AcDbEntity"}, {8, "0"}, {10, "1"}, {20, "1"}, {40, "1"}};
  TransformEntity(&tags, kScale2Move);
  EXPECT_EQ(Num(tags, 10), 12);
  EXPECT_EQ(Num(tags, 40), 2);
}

TEST(TransformTest, ApplicationGroupsAndEntityPartAreNotData) {
  // A proxy graphics size (92) in the entity part and handles in a reactor
  // group must not be read as the type's own codes.
  dxf::Tags tags{{0, "CIRCLE"},
                 {102, "{ACAD_REACTORS"},
                 {330, "1F"},
                 {102, "}"},
                 {100, "AcDbEntity"},
                 {48, "2.0"},
                 {92, "10"},
                 {100, "AcDbCircle"},
                 {10, "0"},
                 {20, "0"},
                 {40, "1"}};
  TransformEntity(&tags, kScale2Move);
  EXPECT_EQ(Text(tags, 48), "2.0");
  EXPECT_EQ(Text(tags, 330), "1F");
  EXPECT_EQ(Num(tags, 40), 2);
}

}  // namespace
}  // namespace host::geometry
