#include "host/ui/text_encoding.h"

#include <gtest/gtest.h>

namespace host {
namespace {

TEST(TextEncodingTest, GermanLettersConvertBothWays) {
  // Source literals are 1252 in the program: "Ä" is one byte.
  std::string cp1252 = "\xC4ndern \xFC\xDF \x80";
  std::string utf8 = "\xC3\x84ndern \xC3\xBC\xC3\x9F \xE2\x82\xAC";
  EXPECT_EQ(Cp1252ToUtf8(cp1252), utf8);
  bool lossless = false;
  EXPECT_EQ(Utf8ToCp1252(utf8, &lossless), cp1252);
  EXPECT_TRUE(lossless);
}

TEST(TextEncodingTest, EveryByteSurvivesTheRoundTrip) {
  std::string all;
  for (int b = 1; b < 256; ++b) all += static_cast<char>(b);
  std::string utf8 = Cp1252ToUtf8(all);
  EXPECT_TRUE(IsValidUtf8(utf8));
  EXPECT_EQ(Utf8ToCp1252(utf8), all);
}

TEST(TextEncodingTest, CharactersOutside1252BecomeQuestionMarks) {
  bool lossless = true;
  EXPECT_EQ(Utf8ToCp1252("a\xCE\xB1z", &lossless), "a?z");  // Greek alpha
  EXPECT_FALSE(lossless);
}

TEST(TextEncodingTest, InvalidUtf8IsTakenAs1252) {
  EXPECT_FALSE(IsValidUtf8("\xFC"));
  EXPECT_FALSE(IsValidUtf8("\xC0\x80"));      // overlong NUL
  EXPECT_FALSE(IsValidUtf8("\xED\xA0\x80"));  // a surrogate
  EXPECT_FALSE(IsValidUtf8("\xE2\x82"));      // cut short
  EXPECT_EQ(ExternalTextToCp1252("bem\xFC"
                                 "berschr"),
            "bem\xFC"
            "berschr");
  EXPECT_EQ(ExternalTextToCp1252("bem\xC3\xBC"
                                 "berschr"),
            "bem\xFC"
            "berschr");
}

TEST(TextEncodingTest, CaseFoldingCoversLatin1Letters) {
  EXPECT_TRUE(EqualsNoCase1252("\xE4nderung", "\xC4NDERUNG"));
  EXPECT_TRUE(EqualsNoCase1252("\x9A", "\x8A"));   // š Š
  EXPECT_FALSE(EqualsNoCase1252("\xF7", "\xD7"));  // ÷ and × are no letters
  EXPECT_FALSE(EqualsNoCase1252("\xDF", "SS"));
  EXPECT_TRUE(StartsWithNoCase1252("0.50 mm", "0.5"));
  EXPECT_FALSE(StartsWithNoCase1252("0.5", "0.50"));
}

}  // namespace
}  // namespace host
