#include "cli/script_text.h"

#include <gtest/gtest.h>

namespace cli {
namespace {

std::string Decode(std::string_view bytes) {
  std::string text, err;
  EXPECT_TRUE(DecodeScriptText(bytes, &text, &err)) << err;
  return text;
}

// Script files come from old 1252 editors and from today's UTF-8 ones; both
// must give the command line the same 1252 bytes.
TEST(ScriptTextTest, Utf8AndCp1252GiveTheSameBytes) {
  const std::string expected =
      "\xC4ndern\nAlle\n\nbem\xFC"
      "berschr\n";
  EXPECT_EQ(Decode("\xC3\x84ndern\nAlle\n\nbem\xC3\xBC"
                   "berschr\n"),
            expected);
  EXPECT_EQ(Decode("\xC4ndern\nAlle\n\nbem\xFC"
                   "berschr\n"),
            expected);
  EXPECT_EQ(Decode("\xEF\xBB\xBF\xC3\x84ndern\r\nAlle\r\n\r\nbem\xC3\xBC"
                   "berschr\r\n"),
            expected);
}

TEST(ScriptTextTest, LineEndsAreNormalised) {
  EXPECT_EQ(Decode("TILEMODE\r\n1"), "TILEMODE\n1\n");  // last line gets its Enter
  EXPECT_EQ(Decode("a\rb\r\n\r\n"), "a\nb\n\n");
  EXPECT_EQ(Decode(""), "");
  EXPECT_EQ(Decode("\xEF\xBB\xBF"), "");
}

TEST(ScriptTextTest, CharactersOutsideCp1252AreEscaped) {
  EXPECT_EQ(Decode("\xE2\x82\xAC \xCE\xB1\n"), "\x80 \\U+03B1\n");  // euro sign, alpha
}

TEST(ScriptTextTest, NulByteIsRefusedWithItsLine) {
  std::string text, err;
  EXPECT_FALSE(DecodeScriptText(std::string_view("a\nb\n\0c\n", 7), &text, &err));
  EXPECT_EQ(err, "line 3: NUL byte; a script must be a text file");
}

}  // namespace
}  // namespace cli
