#include "host/commands/prompt_input.h"

#include <gtest/gtest.h>

#include "host/commands/property_values.h"

namespace host::commands {
namespace {

TEST(PromptInputTest, PointsAsScriptsTypeThem) {
  auto point = [](std::string_view text) {
    std::optional<geometry::Vec3> p = ParsePoint(text);
    return p ? std::to_string(p->x) + " " + std::to_string(p->y) + " " + std::to_string(p->z)
             : std::string("none");
  };
  EXPECT_EQ(point("0,0"), "0.000000 0.000000 0.000000");
  EXPECT_EQ(point("0.0"), "0.000000 0.000000 0.000000");  // a lone number at a point prompt
  EXPECT_EQ(point(" 1.5,-2,3 "), "1.500000 -2.000000 3.000000");
  EXPECT_EQ(point("@.5,1"), "0.500000 1.000000 0.000000");
  EXPECT_EQ(point("1,2,3,4"), "none");
  EXPECT_EQ(point("1,"), "none");
  EXPECT_EQ(point("a,b"), "none");
  EXPECT_EQ(point(""), "none");
  EXPECT_EQ(point("nan,1"), "none");
  EXPECT_EQ(point("1e999,1"), "none");
}

TEST(PromptInputTest, KeywordsByTheirCapitalLetters) {
  enum { kColour, kLinetype, kScale, kWeight };
  const Keyword keywords[] = {{"Farbe", "Color", kColour},
                              {"LTyp", "LType", kLinetype},
                              {"LTFaktor", "ltScale", kScale},
                              {"LStärke", "LWeight", kWeight}};
  EXPECT_EQ(MatchKeyword("F", keywords), kColour);
  EXPECT_EQ(MatchKeyword("farbe", keywords), kColour);
  EXPECT_EQ(MatchKeyword("LTY", keywords), kLinetype);
  EXPECT_EQ(MatchKeyword("LT", keywords), kLinetype);
  EXPECT_EQ(MatchKeyword("LTF", keywords), kScale);
  EXPECT_EQ(MatchKeyword("ls", keywords), kWeight);
  EXPECT_EQ(MatchKeyword("LSTÄRKE", keywords), kWeight);
  EXPECT_EQ(MatchKeyword("_S", keywords), kScale);
  EXPECT_EQ(MatchKeyword("ltscale", keywords), kScale);
  EXPECT_EQ(MatchKeyword("_c", keywords), kColour);
  EXPECT_EQ(MatchKeyword("_F", keywords), std::nullopt);  // German only without "_"
  EXPECT_EQ(MatchKeyword("L", keywords), std::nullopt);
  EXPECT_EQ(MatchKeyword("Farben", keywords), std::nullopt);
}

TEST(PropertyValuesTest, ColoursAndLineWeightsInBothLanguages) {
  EXPECT_EQ(ParseColour("VonLayer"), 256);
  EXPECT_EQ(ParseColour("_BYLAYER"), 256);
  EXPECT_EQ(ParseColour("vonblock"), 0);
  EXPECT_EQ(ParseColour("weiß"), 7);
  EXPECT_EQ(ParseColour("255"), 255);
  EXPECT_EQ(ParseColour("257"), std::nullopt);
  EXPECT_EQ(ParseColour("-1"), std::nullopt);
  EXPECT_EQ(ParseLineWeight("VonLayer"), -1);
  EXPECT_EQ(ParseLineWeight("Vorgabe"), -3);
  EXPECT_EQ(ParseLineWeight("0.35"), 35);
  EXPECT_EQ(ParseLineWeight("0,5"), 50);
  EXPECT_EQ(ParseLineWeight("211"), 211);
  EXPECT_EQ(ParseLineWeight("0.36"), std::nullopt);
  EXPECT_EQ(ParseLineWeight("12"), std::nullopt);
}

}  // namespace
}  // namespace host::commands
