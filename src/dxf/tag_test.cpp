#include "dxf/tag.h"

#include <gtest/gtest.h>

#include <cmath>
#include <limits>
#include <random>

#include "dxf/document.h"
#include "dxf/text_lines.h"

namespace dxf {
namespace {

TEST(TypeOfCode, FollowsTheGroupCodeRanges) {
  EXPECT_EQ(TypeOfCode(0), ValueType::kString);
  EXPECT_EQ(TypeOfCode(8), ValueType::kString);
  EXPECT_EQ(TypeOfCode(999), ValueType::kString);
  EXPECT_EQ(TypeOfCode(1000), ValueType::kString);
  EXPECT_EQ(TypeOfCode(5), ValueType::kHandle);
  EXPECT_EQ(TypeOfCode(105), ValueType::kHandle);
  EXPECT_EQ(TypeOfCode(330), ValueType::kHandle);
  EXPECT_EQ(TypeOfCode(390), ValueType::kHandle);
  EXPECT_EQ(TypeOfCode(1005), ValueType::kHandle);
  EXPECT_EQ(TypeOfCode(10), ValueType::kDouble);
  EXPECT_EQ(TypeOfCode(59), ValueType::kDouble);
  EXPECT_EQ(TypeOfCode(144), ValueType::kDouble);
  EXPECT_EQ(TypeOfCode(1040), ValueType::kDouble);
  EXPECT_EQ(TypeOfCode(62), ValueType::kInt16);
  EXPECT_EQ(TypeOfCode(176), ValueType::kInt16);
  EXPECT_EQ(TypeOfCode(280), ValueType::kInt16);
  EXPECT_EQ(TypeOfCode(370), ValueType::kInt16);
  EXPECT_EQ(TypeOfCode(1070), ValueType::kInt16);
  EXPECT_EQ(TypeOfCode(90), ValueType::kInt32);
  EXPECT_EQ(TypeOfCode(1071), ValueType::kInt32);
  EXPECT_EQ(TypeOfCode(160), ValueType::kInt64);
  EXPECT_EQ(TypeOfCode(290), ValueType::kBool);
  EXPECT_EQ(TypeOfCode(310), ValueType::kBinary);
  EXPECT_EQ(TypeOfCode(1004), ValueType::kBinary);
}

TEST(IsPointCode, OnlyTheXOfAPoint) {
  for (int code : {10, 11, 18, 110, 112, 210, 213, 1010, 1013}) EXPECT_TRUE(IsPointCode(code));
  for (int code : {20, 30, 38, 39, 40, 19, 113, 220, 1020, 1040}) EXPECT_FALSE(IsPointCode(code));
}

TEST(FormatDouble, ShortestTextThatReadsBack) {
  EXPECT_EQ(FormatDouble(2.0), "2.0");
  EXPECT_EQ(FormatDouble(0.0), "0.0");
  EXPECT_EQ(FormatDouble(-0.0), "-0.0");
  EXPECT_EQ(FormatDouble(0.1), "0.1");
  EXPECT_EQ(FormatDouble(-12.5), "-12.5");
  EXPECT_EQ(FormatDouble(1.0 / 3.0), "0.3333333333333333");
  EXPECT_EQ(FormatDouble(1e20), "1e+20");
  EXPECT_EQ(FormatDouble(25.4), "25.4");
  for (double value : {1.0 / 3.0, 123456.789, 1e-9, 6.02214076e23, 0.1 + 0.2}) {
    EXPECT_EQ(ParseDouble(FormatDouble(value)), value);
  }
  // No DXF reader takes "nan" or "inf".
  EXPECT_EQ(FormatDouble(std::numeric_limits<double>::quiet_NaN()), "0.0");
  EXPECT_EQ(FormatDouble(std::numeric_limits<double>::infinity()), "0.0");
}

TEST(ParseValues, AllowBlanksButNothingElse) {
  EXPECT_EQ(ParseInt("     6"), 6);
  EXPECT_EQ(ParseInt(" -3 "), -3);
  EXPECT_EQ(ParseInt("+7"), 7);
  EXPECT_EQ(ParseInt(""), std::nullopt);
  EXPECT_EQ(ParseInt("1.0"), std::nullopt);
  EXPECT_EQ(ParseInt("+-1"), std::nullopt);
  EXPECT_EQ(ParseDouble(" 1.5 "), 1.5);
  EXPECT_EQ(ParseDouble("1E+02"), 100.0);
  EXPECT_EQ(ParseDouble(".5"), 0.5);
  EXPECT_EQ(ParseDouble("-.5"), -0.5);
  EXPECT_EQ(ParseDouble("1,5"), std::nullopt);
  EXPECT_EQ(ParseDouble("nan"), std::nullopt);
  EXPECT_EQ(ParseDouble("abc"), std::nullopt);
  EXPECT_EQ(TrimBlanks(" \t x y \t"), "x y");
}

TEST(WriteTags, FollowsTheFilesStyle) {
  Tags tags{{0, "LINE"}, {8, "0"}, {1001, "ACAD"}};
  EXPECT_EQ(WriteTags(tags, TextStyle{}), "  0\r\nLINE\r\n  8\r\n0\r\n1001\r\nACAD\r\n");
  TextStyle lf_left{LineEnding::kLf, false};
  EXPECT_EQ(WriteTags(tags, lf_left), "0\nLINE\n8\n0\n1001\nACAD\n");
  EXPECT_EQ(FormatCode(10, TextStyle{}), " 10");
  EXPECT_EQ(FormatCode(100, TextStyle{}), "100");
  EXPECT_EQ(FormatCode(-1, TextStyle{}), " -1");
  EXPECT_EQ(FormatCode(-2147483647 - 1, TextStyle{}), "-2147483648");
  EXPECT_EQ(FormatCode(1071, lf_left), "1071");
}

// The line search reads eight bytes a step; every byte value next to and
// after a line end, at every offset of the word, must not hide it or fake it.
TEST(LineLength, FindsTheFirstLineEndWhateverTheBytesAround) {
  for (int other = 0; other < 256; ++other) {
    if (other == '\n') continue;
    for (size_t at = 0; at < 19; ++at) {
      std::string text(20, static_cast<char>(other));
      text[at] = '\n';
      ASSERT_EQ(LineLength(text.data(), text.size()), at) << "byte " << other << " end at " << at;
      ASSERT_EQ(LineLength(text.data(), at), at) << "no end within the first " << at;
    }
  }
  size_t pos = 0;
  std::string_view text = "  0\r\nLINE\n\nlast";
  EXPECT_EQ(NextLine(text, &pos), "  0");
  EXPECT_EQ(NextLine(text, &pos), "LINE");
  EXPECT_EQ(NextLine(text, &pos), "");
  EXPECT_EQ(NextLine(text, &pos), "last");
  EXPECT_EQ(pos, text.size());
}

// The cursor reads three-column codes the quick way and every other code
// line the general way; both must give what a line-by-line reading gives.
TEST(TagCursor, ReadsEveryCodeLayoutAsALineByLineReadingDoes) {
  const std::vector<std::string> code_lines = {"  0",  " 10",   "330",  "1001", "0",     "10",
                                               "  -1", "-5",    "\t 8", " 62 ", "  0\r", "1071",
                                               " 1 ",  "  5\t", "100",  "999",  "  7",   "0  "};
  for (const char* eol : {"\n", "\r\n"}) {
    std::string text;
    for (const std::string& code : code_lines) text += code + eol + "value" + eol;
    text += "  9";  // a last line without an ending
    TagCursor cursor(text);
    TagView tag;
    size_t pos = 0;
    for (const std::string& code : code_lines) {
      ASSERT_TRUE(cursor.Next(&tag));
      std::string_view line = NextLine(text, &pos);
      EXPECT_EQ(tag.code_text, line) << code;
      EXPECT_EQ(tag.code, ParseCheckedCode(line)) << code;
      EXPECT_EQ(tag.value, NextLine(text, &pos));
      EXPECT_EQ(cursor.offset(), pos);
    }
    ASSERT_TRUE(cursor.Next(&tag));
    EXPECT_EQ(tag.code, 9);
    EXPECT_EQ(tag.value, "");
    EXPECT_FALSE(cursor.Next(&tag));
  }
  // A carriage return alone does not end the code line.
  TagCursor lone("  8\rX\nname\n");
  TagView tag;
  ASSERT_TRUE(lone.Next(&tag));
  EXPECT_EQ(tag.code_text, "  8\rX");
  EXPECT_EQ(tag.value, "name");
}

// SplitTags finds the line ends of a whole record at once; it must give
// the very views the cursor gives, on records of any length and any mix of
// line endings, blank lines and a missing last ending.
TEST(SplitTags, GivesTheCursorsViews) {
  std::mt19937 random(11);
  const std::vector<std::string> pieces = {"  0",
                                           " 10",
                                           "330",
                                           "1001",
                                           "-5",
                                           " 62 ",
                                           "\t8",
                                           "LINE",
                                           "",
                                           "12.5",
                                           "a longer value of a text line",
                                           "\r",
                                           "x\ry",
                                           "AcDbEntity",
                                           "0"};
  for (int round = 0; round < 2000; ++round) {
    std::string text;
    int lines = static_cast<int>(random() % 60);
    for (int l = 0; l < lines; ++l) {
      text += pieces[random() % pieces.size()];
      if (l + 1 < lines || random() % 2) text += random() % 3 ? "\n" : "\r\n";
    }
    std::vector<TagView> split;
    SplitTags(text, &split);
    TagCursor cursor(text);
    TagView tag;
    size_t n = 0;
    while (cursor.Next(&tag)) {
      ASSERT_LT(n, split.size()) << text;
      EXPECT_EQ(split[n].code, tag.code) << text;
      EXPECT_EQ(split[n].code_text.data(), tag.code_text.data()) << text;
      EXPECT_EQ(split[n].code_text.size(), tag.code_text.size()) << text;
      EXPECT_EQ(split[n].value.data(), tag.value.data()) << text;
      EXPECT_EQ(split[n].value.size(), tag.value.size()) << text;
      ++n;
    }
    EXPECT_EQ(n, split.size()) << text;
  }
}

}  // namespace
}  // namespace dxf
