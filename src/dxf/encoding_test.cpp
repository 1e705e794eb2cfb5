#include <gtest/gtest.h>

#include "dxf/document.h"
#include "dxf/text_case.h"

namespace dxf {
namespace {

const Encoding kUtf8 = Encoding::For("AC1027", "ANSI_1252");
const Encoding kAnsi = Encoding::For("AC1018", "ANSI_1252");

TEST(Encoding, Utf8FromAc1021On) {
  EXPECT_TRUE(Encoding::For("AC1021", "").utf8());
  EXPECT_TRUE(kUtf8.utf8());
  EXPECT_FALSE(kAnsi.utf8());
  EXPECT_FALSE(Encoding::For("AC1009", "").utf8());
}

TEST(Encoding, OlderFilesPassThroughAsTheyStand) {
  for (const char* codepage : {"ANSI_1252", "", "ansi_1252", "ASCII", "dos932"}) {
    Encoding encoding = Encoding::For("AC1015", codepage);
    EXPECT_EQ(encoding.Decode("\xC4nderung \\U+03B1"), "\xC4nderung \\U+03B1");
    EXPECT_EQ(encoding.Encode("\xC4nderung"), "\xC4nderung");
  }
}

TEST(Encoding, DecodesUtf8To1252) {
  EXPECT_EQ(kUtf8.Decode("\xC3\x84ndern"), "\xC4ndern");  // Ä
  EXPECT_EQ(kUtf8.Decode("\xE2\x82\xAC"), "\x80");        // € is 0x80 in 1252
  EXPECT_EQ(kUtf8.Decode("\xC5\xA0"), "\x8A");            // Š
  EXPECT_EQ(kUtf8.Decode("plain"), "plain");
}

TEST(Encoding, CharactersOutside1252BecomeEscapes) {
  EXPECT_EQ(kUtf8.Decode("\xCE\xB1"), "\\U+03B1");                  // α
  EXPECT_EQ(kUtf8.Decode("\xE4\xB8\xAD"), "\\U+4E2D");              // 中
  EXPECT_EQ(kUtf8.Decode("\xF0\x9F\x98\x80"), "\\U+D83D\\U+DE00");  // beyond 16 bits
}

TEST(Encoding, InvalidUtf8BytesAreKept) {
  EXPECT_EQ(kUtf8.Decode("Tsch\xFCss"), "Tsch\xFCss");
  EXPECT_EQ(kUtf8.Decode("\xC3"), "\xC3");                  // cut short
  EXPECT_EQ(kUtf8.Decode("\xC0\xAF"), "\xC0\xAF");          // overlong
  EXPECT_EQ(kUtf8.Decode("\xED\xA0\x80"), "\xED\xA0\x80");  // a surrogate
}

TEST(Encoding, EncodeIsTheReverse) {
  for (std::string text :
       {"\xC3\x84ndern \xE2\x82\xAC", "\xCE\xB1\xCE\xB2", "\xE4\xB8\xAD\xE6\x96\x87",
        "\xF0\x9F\x98\x80", "Tsch\xC3\xBCss mit \\U+00FC"}) {
    EXPECT_EQ(kUtf8.Encode(kUtf8.Decode(text)), text) << text;
  }
  EXPECT_EQ(kUtf8.Encode("\xC4"), "\xC3\x84");
  // An escape the drawing spelled out for a 1252 character stays as written.
  EXPECT_EQ(kUtf8.Encode("\\U+00FC"), "\\U+00FC");
  EXPECT_EQ(kUtf8.Encode("\\U+03b1"), "\xCE\xB1");
  EXPECT_EQ(kUtf8.Encode("\\U+D83D alone"), "\\U+D83D alone");
  EXPECT_EQ(kUtf8.Encode("\\U+12"), "\\U+12");
}

TEST(Encoding, EveryByteSurvivesARoundTrip) {
  std::string all;
  for (int c = 1; c < 256; ++c) all += static_cast<char>(c);
  EXPECT_EQ(kUtf8.Decode(kUtf8.Encode(all)), all);
}

TEST(TextCase, ComparesWithoutRegardToCaseIn1252) {
  EXPECT_TRUE(EqualNoCase("Mittellinie", "MITTELLINIE"));
  EXPECT_TRUE(EqualNoCase("\xE4nderung", "\xC4NDERUNG"));  // äNDERUNG
  EXPECT_TRUE(EqualNoCase("\x9A\xFF", "\x8A\x9F"));        // š ÿ
  EXPECT_FALSE(EqualNoCase("\xF7", "\xD7"));               // ÷ is not ×
  EXPECT_FALSE(EqualNoCase("AM_0", "AM_01"));
  EXPECT_EQ(UpperCase1252("am_\xF6l"), "AM_\xD6L");
}

}  // namespace
}  // namespace dxf
