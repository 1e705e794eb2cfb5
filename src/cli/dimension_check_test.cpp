#include "cli/dimension_check.h"

#include <gtest/gtest.h>

#include <cmath>

namespace cli {
namespace {

DimensionFacts Dimension(const std::string& handle, double measurement,
                         std::optional<double> dimlfac, int kind = 0) {
  DimensionFacts facts;
  facts.type = "DIMENSION";
  facts.handle = handle;
  facts.layout = "Model";
  facts.kind = kind;
  facts.measurement = measurement;
  facts.override_dimlfac = dimlfac;
  facts.has_drawn_text = true;
  return facts;
}

DrawingSurvey Survey(std::vector<uint64_t> handles, std::vector<DimensionFacts> dimensions) {
  DrawingSurvey survey;
  survey.main_entities = handles.size();
  survey.handles = std::move(handles);
  survey.dimensions = std::move(dimensions);
  return survey;
}

TEST(DimensionCheckTest, ScaledDimensionWithDividedFactorKeepsItsValue) {
  // The conversion scales by 2 and divides every DIMLFAC by 2.
  DrawingSurvey before =
      Survey({0x30, 0x31, 0x40}, {Dimension("30", 25, 2.0), Dimension("31", 10, 0.5)});
  DrawingSurvey after =
      Survey({0x30, 0x31, 0x41, 0x42}, {Dimension("30", 50, 1.0), Dimension("31", 20, 0.25)});
  ConversionCheck check = CompareDrawings(before, after);
  EXPECT_EQ(check.dimensions_compared, 2u);
  EXPECT_TRUE(check.changed.empty());
  EXPECT_EQ(check.entities_before, 3u);
  EXPECT_EQ(check.entities_after, 4u);
  EXPECT_EQ(check.deleted, 1u);
  EXPECT_EQ(check.added, 2u);
  EXPECT_EQ(FormatCheck(check),
            "\nEntities: 3 before, 4 after (1 deleted, 2 added)."
            "\nDimensions: 2 compared, no displayed value changed.");
}

TEST(DimensionCheckTest, ListsEveryChangedValue) {
  DrawingSurvey before = Survey(
      {0x30, 0x31, 0x32},
      {Dimension("30", 25, 2.0), Dimension("31", 10, std::nullopt), Dimension("32", 7, 1.0)});
  // 30 scaled but its factor kept; 31 lost nothing; 32 was deleted.
  DrawingSurvey after = Survey(
      {0x30, 0x31}, {Dimension("30", 50, 2.0), Dimension("31", 10.0000000000001, std::nullopt)});
  ConversionCheck check = CompareDrawings(before, after);
  ASSERT_EQ(check.changed.size(), 1u);
  EXPECT_EQ(check.changed[0].handle, "30");
  EXPECT_EQ(check.dimensions_gone, 1u);
  EXPECT_EQ(FormatCheck(check),
            "\nEntities: 3 before, 2 after (1 deleted, 0 added)."
            "\nDimensions: 2 compared, 1 deleted, 1 with a changed displayed value:"
            "\n  Dimension 30 (Model): 50 -> 100");
}

TEST(DimensionCheckTest, ADimensionWithoutAValueIsListedNotDropped) {
  DimensionFacts pointless = Dimension("33", 0, 2.0);
  pointless.measurement.reset();  // a point missing or not a number
  DimensionFacts leader = pointless;
  leader.type = "LEADER";
  leader.handle = "34";
  DrawingSurvey before = Survey({0x30, 0x33, 0x34}, {Dimension("30", 25, 2.0), pointless, leader});
  DrawingSurvey after = Survey({0x30, 0x33, 0x34}, {Dimension("30", 50, 1.0), pointless, leader});
  ConversionCheck check = CompareDrawings(before, after);
  EXPECT_EQ(check.dimensions_compared, 1u);
  EXPECT_EQ(check.unchecked, std::vector<std::string>{"33"});
  EXPECT_EQ(FormatCheck(check),
            "\nEntities: 3 before, 3 after (0 deleted, 0 added)."
            "\nDimensions: 1 compared, 1 not checked, no displayed value changed."
            "\nNot checked, for want of a value (a point or the measurement is missing or no "
            "number): 33");
}

TEST(DimensionCheckTest, ValuesCompareRelatively) {
  EXPECT_FALSE(DisplayedValuesDiffer(0, 0));
  EXPECT_FALSE(DisplayedValuesDiffer(1e6, 1e6 * (1 + 1e-12)));
  EXPECT_TRUE(DisplayedValuesDiffer(1e6, 1e6 * (1 + 1e-8)));
  EXPECT_TRUE(DisplayedValuesDiffer(1e-9, 2e-9));  // small values are not "equal enough"
  EXPECT_TRUE(DisplayedValuesDiffer(0, 1e-300));
  EXPECT_TRUE(DisplayedValuesDiffer(1, std::nan("")));
}

TEST(DimensionCheckTest, DisplayedValueFollowsTheKindOfDimension) {
  EXPECT_EQ(Dimension("1", 25, 2.0).displayed(), 50);
  DimensionFacts from_style = Dimension("2", 25, std::nullopt);
  from_style.style_dimlfac = 4;
  EXPECT_EQ(from_style.displayed(), 100);
  // DIMLFAC does not touch angles, so scaling leaves an angular value alone.
  EXPECT_EQ(Dimension("3", 1.5, 2.0, 2).displayed(), 1.5);
  EXPECT_EQ(Dimension("4", 1.5, 2.0, 5).displayed(), 1.5);
  DimensionFacts leader = Dimension("5", 0, 2.0);
  leader.type = "LEADER";
  leader.measurement.reset();
  EXPECT_EQ(leader.displayed(), std::nullopt);
}

TEST(DimensionCheckTest, DrawingWithoutHandlesIsCountedOnly) {
  DrawingSurvey before = Survey({}, {Dimension("", 25, 2.0)});
  before.main_entities = 5;
  DrawingSurvey after = Survey({}, {Dimension("", 50, 1.0)});
  after.main_entities = 3;
  ConversionCheck check = CompareDrawings(before, after);
  EXPECT_FALSE(check.by_handle);
  EXPECT_EQ(FormatCheck(check),
            "\nEntities: 5 before, 3 after (no handles; 2 fewer, 0 more)."
            "\nDimension check skipped: the drawing has no handles to match dimensions by.");
}

TEST(DimensionCheckTest, DrawnTextsAreComparedAndCheckedAgainstTheData) {
  DimensionFacts kept = Dimension("30", 25, 2.0), redrawn = Dimension("31", 10, 0.5);
  kept.drawn_value = "%%c50";
  redrawn.drawn_value = "5";
  DimensionFacts kept_after = Dimension("30", 50, 1.0), redrawn_after = Dimension("31", 20, 0.25);
  kept_after.drawn_value = kept_after.drawn_text = "%%c50";
  redrawn_after.drawn_value = redrawn_after.drawn_text = "5.0000";
  DimensionFacts stale = Dimension("32", 1, std::nullopt), no_block = Dimension("33", 1, 1.0);
  stale.drawn_text = "N/A";
  stale.drawn_as_data = false;
  no_block.has_drawn_text = false;
  ConversionCheck check =
      CompareDrawings(Survey({0x30, 0x31}, {kept, redrawn}),
                      Survey({0x30, 0x31}, {kept_after, redrawn_after, stale, no_block}));
  EXPECT_EQ(check.drawn_compared, 2u);
  EXPECT_EQ(FormatCheck(check),
            "\nEntities: 2 before, 2 after (0 deleted, 0 added)."
            "\nDimensions: 2 compared, no displayed value changed."
            "\nDrawn dimension texts: 1 of 2 show another value than before:"
            "\n  Dimension 31 (Model): \"5\" -> \"5.0000\""
            "\nDrawn dimension texts: 1 disagree with their dimension's data:"
            "\n  Dimension 32 (Model): \"N/A\""
            "\nDrawn dimension texts: 1 dimension(s) without a block text, left as they are.");
}

TEST(AutoReferenceTest, MostCommonFactorWinsAndTiesGoToTheFirst) {
  DrawingSurvey survey =
      Survey({}, {Dimension("A", 1, std::nullopt), Dimension("B", 1, 0.5), Dimension("C", 1, 2.0),
                  Dimension("D", 1, 2.0), Dimension("E", 1, 0.5), Dimension("F", 1, 2.0)});
  ASSERT_NE(AutoReference(survey), nullptr);
  EXPECT_EQ(AutoReference(survey)->handle, "C");
  survey.dimensions.pop_back();  // 0.5 and 2.0 twice each: 0.5 was met first
  EXPECT_EQ(AutoReference(survey)->handle, "B");
  EXPECT_EQ(AutoReference(Survey({}, {Dimension("A", 1, std::nullopt)})), nullptr);
}

}  // namespace
}  // namespace cli
