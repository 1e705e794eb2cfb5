#include "cli/arg_parser.h"

#include <gtest/gtest.h>

#include "cli/spellcheck.h"

namespace cli {
namespace {

const std::vector<OptionSpec> kSpecs = {
    {"target", 0, "NAME", "target"},
    {"output", 'o', "FILE", "output"},
    {"quiet", 'q', "", "quiet"},
    {"force", 0, "", "force"},
};

bool Parse(std::vector<std::string> args, ParsedArgs* parsed, std::string* err) {
  return ParseArgs(args, kSpecs, parsed, err);
}

TEST(ArgParserTest, TakesValuesInEveryForm) {
  ParsedArgs parsed;
  std::string err;
  ASSERT_TRUE(Parse({"a.dxf", "--target", "genius", "-oout.dxf", "-q", "b.dxf"}, &parsed, &err))
      << err;
  EXPECT_EQ(parsed.positional, (std::vector<std::string>{"a.dxf", "b.dxf"}));
  EXPECT_EQ(parsed.Value("target"), "genius");
  EXPECT_EQ(parsed.Value("output"), "out.dxf");
  EXPECT_TRUE(parsed.Has("quiet"));
  EXPECT_FALSE(parsed.Has("force"));

  ParsedArgs equals;
  ASSERT_TRUE(Parse({"--target=mech6", "--output="}, &equals, &err)) << err;
  EXPECT_EQ(equals.Value("target"), "mech6");
  EXPECT_EQ(equals.Value("output"), "");
}

TEST(ArgParserTest, DashesAndDoubleDashAreNames) {
  ParsedArgs parsed;
  std::string err;
  ASSERT_TRUE(Parse({"-", "--", "--force", "-q"}, &parsed, &err)) << err;
  EXPECT_EQ(parsed.positional, (std::vector<std::string>{"-", "--force", "-q"}));
  EXPECT_FALSE(parsed.Has("force"));
}

TEST(ArgParserTest, RejectsBadOptionsWithOneLine) {
  struct Case {
    std::vector<std::string> args;
    std::string message;
  } cases[] = {
      {{"--targte", "x"}, "unknown option '--targte', did you mean '--target'?"},
      {{"--zzzzzz"}, "unknown option '--zzzzzz'"},
      {{"-x"}, "unknown option '-x'"},
      {{"--target"}, "option '--target' needs a value (NAME)"},
      {{"-o"}, "option '-o' needs a value (FILE)"},
      {{"--force=yes"}, "option '--force' takes no value"},
      {{"-qv"}, "option '-q' takes no value (in '-qv')"},
      {{"-q", "--quiet"}, "option '--quiet' given more than once"},
  };
  for (const Case& c : cases) {
    ParsedArgs parsed;
    std::string err;
    EXPECT_FALSE(Parse(c.args, &parsed, &err)) << c.args[0];
    EXPECT_EQ(err, c.message);
  }
}

TEST(ArgParserTest, HelpIsAlwaysKnown) {
  ParsedArgs parsed;
  std::string err;
  ASSERT_TRUE(Parse({"-h", "--help"}, &parsed, &err)) << err;
  EXPECT_TRUE(parsed.Has("help"));
  std::string help = FormatOptionsHelp(kSpecs);
  EXPECT_NE(help.find("  -o, --output FILE"), std::string::npos) << help;
  EXPECT_NE(help.find("  -h, --help"), std::string::npos) << help;
}

TEST(SpellcheckTest, SuggestsOnlyCloseNames) {
  std::vector<std::string> commands = {"run", "convert", "info"};
  EXPECT_EQ(ClosestMatch("conver", commands), "convert");
  EXPECT_EQ(ClosestMatch("CONVERT", commands), "convert");
  EXPECT_EQ(ClosestMatch("inof", commands), "info");
  EXPECT_EQ(ClosestMatch("xyz", commands), "");  // as far from "run" as "run" is long
  EXPECT_EQ(ClosestMatch("shutdown", commands), "");
  EXPECT_EQ(EditDistance("kitten", "sitting"), 3);
}

}  // namespace
}  // namespace cli
