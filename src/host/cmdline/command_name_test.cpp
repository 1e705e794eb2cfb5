#include "host/cmdline/command_name.h"

#include <gtest/gtest.h>

namespace host {
namespace {

TEST(CommandNameTest, MarksInAnyOrderAndCombination) {
  CommandName scale = ParseCommandName("._scale");
  EXPECT_EQ(scale.name, "SCALE");
  EXPECT_TRUE(scale.builtin);
  EXPECT_TRUE(scale.english);
  EXPECT_FALSE(scale.command_form);

  CommandName style = ParseCommandName("_-Style");
  EXPECT_EQ(style.name, "STYLE");
  EXPECT_TRUE(style.english);
  EXPECT_TRUE(style.command_form);

  CommandName stil = ParseCommandName("-stil");
  EXPECT_EQ(stil.name, "STIL");
  EXPECT_FALSE(stil.english);
  EXPECT_TRUE(stil.command_form);
}

TEST(CommandNameTest, GermanLettersAreFoldedInCodePage1252) {
  // "bemüberschr" as a script carries it: ü is the single byte 0xFC.
  EXPECT_EQ(ParseCommandName("bem\xFC"
                             "berschr")
                .name,
            "BEM\xDC"
            "BERSCHR");
  EXPECT_EQ(ParseCommandName("\xE4ndern").name, "\xC4NDERN");
  EXPECT_EQ(ParseCommandName("Ändern").name, "ÄNDERN");
}

TEST(CommandNameTest, BlanksAroundTheNameAreNotPartOfIt) {
  EXPECT_EQ(ParseCommandName("  zoom \t").name, "ZOOM");
  EXPECT_EQ(ParseCommandName("_").name, "");
}

}  // namespace
}  // namespace host
