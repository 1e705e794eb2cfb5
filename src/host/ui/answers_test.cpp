#include "host/ui/answers.h"

#include <gtest/gtest.h>

#include <cmath>

namespace host {
namespace {

PickCandidate Candidate(const std::string& handle, std::optional<double> factor) {
  return PickCandidate{handle, "Layout1", "DIMENSION", factor};
}

TEST(AnswersTest, LineWeightsParseOkCancelAndThreeTexts) {
  LineWeightsAnswer answer;
  std::string err;
  ASSERT_TRUE(ParseLineWeightsAnswer("OK", &answer, &err));
  EXPECT_EQ(answer.action, LineWeightsAnswer::Action::kAccept);
  ASSERT_TRUE(ParseLineWeightsAnswer("cancel", &answer, &err));
  EXPECT_EQ(answer.action, LineWeightsAnswer::Action::kCancel);
  ASSERT_TRUE(ParseLineWeightsAnswer("0.7,=,0.5 ", &answer, &err));
  EXPECT_EQ(answer.action, LineWeightsAnswer::Action::kType);
  // Numbers become the entry they equal; "=" types a text as it is.
  EXPECT_EQ(answer.texts[0], "0.70");
  EXPECT_EQ(answer.texts[1], "");
  EXPECT_EQ(answer.texts[2], "0.50");
  ASSERT_TRUE(ParseLineWeightsAnswer("0,2.110,=0.5", &answer, &err));
  EXPECT_EQ(answer.texts[0], "0.00");
  EXPECT_EQ(answer.texts[1], "2.11");
  EXPECT_EQ(answer.texts[2], "0.5");
}

TEST(AnswersTest, LineWeightsRefuseWhatNoEntryMatches) {
  LineWeightsAnswer answer;
  std::string err;
  for (const char* text : {"50,35,25", "0.5,0.35,0.55", "0.5,,0.25", "0.5,x,0.25"}) {
    EXPECT_FALSE(ParseLineWeightsAnswer(text, &answer, &err)) << text;
    EXPECT_NE(err.find("0.00 0.05 0.09"), std::string::npos) << err;
    EXPECT_NE(err.find("2.00 2.11"), std::string::npos) << err;
  }
}

TEST(AnswersTest, LineWeightsRefuseTheWrongNumberOfTexts) {
  LineWeightsAnswer answer;
  std::string err;
  EXPECT_FALSE(ParseLineWeightsAnswer("0.50,0.35", &answer, &err));
  EXPECT_NE(err.find("\"0.50,0.35\""), std::string::npos) << err;
  EXPECT_FALSE(ParseLineWeightsAnswer("1,2,3,4", &answer, &err));
  EXPECT_FALSE(ParseLineWeightsAnswer("", &answer, &err));
}

TEST(AnswersTest, GeniusLayersAndTemplates) {
  GeniusLayersAnswer answer;
  std::string err;
  ASSERT_TRUE(ParseGeniusLayersAnswer("coarse", &answer, &err));
  EXPECT_EQ(answer, GeniusLayersAnswer::kCoarse);
  ASSERT_TRUE(ParseGeniusLayersAnswer("Fein", &answer, &err));
  EXPECT_EQ(answer, GeniusLayersAnswer::kFine);
  ASSERT_TRUE(ParseGeniusLayersAnswer("ESC", &answer, &err));
  EXPECT_EQ(answer, GeniusLayersAnswer::kEscape);
  EXPECT_FALSE(ParseGeniusLayersAnswer("medium", &answer, &err));

  EXPECT_EQ(ParseTemplateAnswer("none"), std::nullopt);
  EXPECT_EQ(ParseTemplateAnswer("/t/Mech6.dwt"), "/t/Mech6.dwt");
}

TEST(AnswersTest, DialogAnswersPressTheRightButtons) {
  EXPECT_EQ(ToDialogAnswer(GeniusLayersAnswer::kCoarse).button, 1);
  EXPECT_EQ(ToDialogAnswer(GeniusLayersAnswer::kFine).button, 2);
  EXPECT_FALSE(ToDialogAnswer(GeniusLayersAnswer::kFine).escape);
  EXPECT_TRUE(ToDialogAnswer(GeniusLayersAnswer::kEscape).escape);
  LineWeightsAnswer typed{LineWeightsAnswer::Action::kType, {"a", "b", "c"}};
  DialogAnswer d = ToDialogAnswer(typed);
  ASSERT_EQ(d.texts.size(), 3u);
  EXPECT_EQ(d.texts[1], (std::pair<int, std::string>{203, "b"}));
  EXPECT_EQ(d.button, 1);
}

TEST(AnswersTest, AutoPickTakesTheFactorMostDimensionsShare) {
  std::vector<PickCandidate> c = {Candidate("A1", 4.0), Candidate("A2", std::nullopt),
                                  Candidate("A3", 2.0), Candidate("A4", 4.0),
                                  Candidate("A5", 2.0), Candidate("A6", 2.0)};
  EXPECT_EQ(AutoPick(c), 2u);  // 2.0 three times; A3 carries it first
}

TEST(AnswersTest, AutoPickTieGoesToTheFactorMetFirst) {
  std::vector<PickCandidate> c = {Candidate("B1", 0.5), Candidate("B2", 2.0), Candidate("B3", 2.0),
                                  Candidate("B4", 0.5)};
  EXPECT_EQ(AutoPick(c), 0u);
}

TEST(AnswersTest, AutoPickIgnoresUnusableFactors) {
  // 0 means "no factor" to the module; NaN and infinity are no factor either.
  std::vector<PickCandidate> c = {Candidate("C1", 0.0), Candidate("C2", 0.0),
                                  Candidate("C3", std::nan("")), Candidate("C4", INFINITY),
                                  Candidate("C5", -2.0)};
  EXPECT_EQ(AutoPick(c), 4u);  // a negative factor is a factor
  EXPECT_EQ(AutoPick({Candidate("D1", std::nullopt), Candidate("D2", 0.0)}), std::nullopt);
  EXPECT_EQ(AutoPick({}), std::nullopt);
}

}  // namespace
}  // namespace host
