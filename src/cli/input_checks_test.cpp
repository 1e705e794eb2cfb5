#include "cli/input_checks.h"

#include <gtest/gtest.h>

#include <cmath>
#include <limits>

namespace cli {
namespace {

DrawingSurvey WithFactor(std::optional<double> factor, const std::string& unreadable = "") {
  DrawingSurvey survey;
  DimensionFacts dimension;
  dimension.type = "DIMENSION";
  dimension.handle = "2F0";
  dimension.override_dimlfac = factor;
  dimension.unreadable_dimlfac = unreadable;
  survey.dimensions.push_back(dimension);
  return survey;
}

TEST(ReferenceFactorTest, OnlyANormalPositiveFactorWithinAMillionIsUsable) {
  for (double good : {1e-6, 0.5, 1.0, 2.0, 1e6}) EXPECT_TRUE(UsableFactor(good)) << good;
  for (double bad : {0.0, -2.0, 1e-310, 1e-300, 9.9e-7, 1.01e6, 1e300,
                     std::numeric_limits<double>::infinity(), std::nan("")})
    EXPECT_FALSE(UsableFactor(bad)) << bad;
}

TEST(ReferenceFactorTest, AnUnusableFactorIsNamedWithItsValueAndHandle) {
  for (const std::string reference : {"auto", "2f0"}) {
    std::string problem = ReferenceFactorProblem(WithFactor(-2.0), reference);
    EXPECT_NE(problem.find("-2 "), std::string::npos) << problem;
    EXPECT_NE(problem.find("DIMENSION 2F0"), std::string::npos) << problem;
    EXPECT_EQ(ReferenceFactorProblem(WithFactor(2.0), reference), "");
  }
  // Not a number: named as written, not taken for "no override".
  std::string problem = ReferenceFactorProblem(WithFactor(std::nullopt, "nan"), "auto");
  EXPECT_NE(problem.find("\"nan\""), std::string::npos) << problem;
  EXPECT_NE(problem.find("2F0"), std::string::npos) << problem;
  EXPECT_EQ(ReferenceFactorProblem(WithFactor(std::nullopt), "auto"), "");
}

std::vector<EntityPoint> Grid(double x0, double y0) {
  std::vector<EntityPoint> entities;
  for (int i = 0; i < 50; ++i) {
    EntityPoint entity;
    entity.handle = std::to_string(100 + i);
    entity.has_point = true;
    entity.x = x0 + (i % 10) * 40;
    entity.y = y0 + (i / 10) * 30;
    entity.reach = std::max(std::fabs(entity.x), std::fabs(entity.y));
    entities.push_back(entity);
  }
  return entities;
}

TEST(OutlierTest, AnEntityFarOutsideTheOthersIsNamed) {
  std::vector<EntityPoint> entities = Grid(0, 0);
  EXPECT_TRUE(OutlyingEntities(entities).empty());
  entities[7].reach = 1e20;  // a second point far away
  entities[9].x = 5e9;       // 400 wide, a million times that away
  entities[9].reach = 5e9;
  std::vector<const EntityPoint*> outlying = OutlyingEntities(entities);
  ASSERT_EQ(outlying.size(), 2u);
  EXPECT_EQ(outlying[0]->handle, "107");
  EXPECT_EQ(outlying[1]->handle, "109");
  EXPECT_NE(OutlierProblem(entities).find("107 (|coordinate| up to 1e+20)"), std::string::npos);
}

TEST(OutlierTest, ADrawingFarFromTheOriginIsNoOutlier) {
  std::vector<EntityPoint> entities = Grid(3.5e8, 5.7e8);
  EntityPoint elevation;  // a POLYLINE: no point of its own, zeros in its record
  elevation.handle = "1FF";
  entities.push_back(elevation);
  EXPECT_TRUE(OutlyingEntities(entities).empty());
}

}  // namespace
}  // namespace cli
