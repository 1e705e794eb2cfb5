#include "host/cmdline/expression.h"

#include <gtest/gtest.h>

namespace host {
namespace {

std::vector<ExprValue> Read(const std::string& text, ReadStatus expected = ReadStatus::kComplete) {
  std::vector<ExprValue> values;
  std::string error;
  EXPECT_EQ(ReadExpressions(text, &values, &error), expected) << text << ": " << error;
  return values;
}

TEST(ExpressionTest, ReadsTheSettingCallWithItsStrings) {
  std::vector<ExprValue> values = Read("(amgsetdwgsetting \"scale\" \"1:2.000000\")");
  ASSERT_EQ(values.size(), 1u);
  ASSERT_EQ(values[0].kind, ExprValue::Kind::kList);
  ASSERT_EQ(values[0].items.size(), 3u);
  EXPECT_EQ(values[0].items[0].text, "AMGSETDWGSETTING");
  EXPECT_EQ(values[0].items[1].text, "scale");
  EXPECT_EQ(values[0].items[2].text, "1:2.000000");
}

TEST(ExpressionTest, StringEscapesAndNumbers) {
  std::vector<ExprValue> values = Read("\"a\\\"b\\\\c\\nd\" 42 -2.5 .5 t nil ()");
  ASSERT_EQ(values.size(), 7u);
  EXPECT_EQ(values[0].text, "a\"b\\c\nd");
  EXPECT_EQ(values[1].kind, ExprValue::Kind::kInteger);
  EXPECT_EQ(values[1].integer, 42);
  EXPECT_EQ(values[2].real, -2.5);
  EXPECT_EQ(values[3].real, 0.5);
  EXPECT_EQ(values[4].kind, ExprValue::Kind::kTrue);
  EXPECT_EQ(values[5].kind, ExprValue::Kind::kNil);
  EXPECT_EQ(values[6].kind, ExprValue::Kind::kNil);
}

TEST(ExpressionTest, OpenListsAndStringsNeedMoreInput) {
  Read("(a \"b\"", ReadStatus::kIncomplete);
  Read("(a \"b)", ReadStatus::kIncomplete);
  Read("'", ReadStatus::kIncomplete);
  Read("(a))", ReadStatus::kError);
  Read("(a) ; comment (", ReadStatus::kComplete);
}

TEST(ExpressionTest, DeepNestingIsAnErrorNotACrash) {
  Read(std::string(1000000, '('), ReadStatus::kError);
  Read(std::string(100, '(') + std::string(100, ')'), ReadStatus::kComplete);
}

TEST(ExpressionTest, EvaluatesCallsWithEvaluatedArguments) {
  std::vector<std::string> calls;
  ExprCaller call = [&](const std::string& name, const std::vector<ExprValue>& args) {
    std::string text = name;
    for (const ExprValue& arg : args) text += " " + arg.ToDisplay();
    calls.push_back(text);
    return ExprValue::String(name);
  };
  std::vector<ExprValue> values = Read("(outer (inner 1) 'sym \"s\" x)");
  ExprValue result = Evaluate(values[0], call);
  EXPECT_EQ(calls, (std::vector<std::string>{"INNER 1", "OUTER \"INNER\" SYM \"s\" nil"}));
  EXPECT_EQ(result.ToDisplay(), "\"OUTER\"");
}

TEST(ExpressionTest, DisplaysValuesAsTheCommandLineShowsThem) {
  EXPECT_EQ(ExprValue::True().ToDisplay(), "T");
  EXPECT_EQ(ExprValue::Nil().ToDisplay(), "nil");
  EXPECT_EQ(ExprValue::Real(2).ToDisplay(), "2.0");
  EXPECT_EQ(ExprValue::Real(0.125).ToDisplay(), "0.125");
  EXPECT_EQ(ExprValue::String("a\"b").ToDisplay(), "\"a\\\"b\"");
}

TEST(ExpressionTest, CallingANonSymbolIsAnError) {
  std::vector<ExprValue> values = Read("(\"x\" 1)");
  ExprCaller call = [](const std::string&, const std::vector<ExprValue>&) { return ExprValue(); };
  EXPECT_THROW(Evaluate(values[0], call), ExprError);
}

}  // namespace
}  // namespace host
