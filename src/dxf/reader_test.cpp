// Splitting a DXF text into records, and what the reader learns on the way.

#include <gtest/gtest.h>

#include "dxf/binary_dxf.h"
#include "dxf/document.h"

namespace dxf {
namespace {

RawFile Parse(std::string text) {
  RawFile file;
  Error err;
  EXPECT_TRUE(ParseBuffer(std::move(text), "in.dxf", &file, &err)) << err.ToString();
  return file;
}

std::vector<std::string> RecordTexts(const RawFile& file) {
  std::vector<std::string> texts;
  for (const RawRecord& r : file.records) texts.emplace_back(r.text);
  return texts;
}

constexpr char kCrLfRightAligned[] =
    "  0\r\nSECTION\r\n  2\r\nHEADER\r\n  9\r\n$ACADVER\r\n  1\r\nAC1015\r\n"
    "  9\r\n$DWGCODEPAGE\r\n  3\r\nANSI_1252\r\n  0\r\nENDSEC\r\n"
    "  0\r\nSECTION\r\n  2\r\nENTITIES\r\n  0\r\nLINE\r\n  8\r\n0\r\n"
    "  0\r\nENDSEC\r\n  0\r\nEOF\r\n";

TEST(Reader, SplitsRecordsAtEveryZeroTag) {
  RawFile file = Parse(kCrLfRightAligned);
  std::vector<std::string> expected = {
      "  0\r\nSECTION\r\n  2\r\nHEADER\r\n  9\r\n$ACADVER\r\n  1\r\nAC1015\r\n"
      "  9\r\n$DWGCODEPAGE\r\n  3\r\nANSI_1252\r\n",
      "  0\r\nENDSEC\r\n",
      "  0\r\nSECTION\r\n  2\r\nENTITIES\r\n",
      "  0\r\nLINE\r\n  8\r\n0\r\n",
      "  0\r\nENDSEC\r\n",
      "  0\r\nEOF\r\n",
  };
  EXPECT_EQ(RecordTexts(file), expected);
  std::vector<uint32_t> lines;
  for (const RawRecord& r : file.records) lines.push_back(r.line);
  EXPECT_EQ(lines, (std::vector<uint32_t>{1, 13, 15, 19, 23, 25}));
  EXPECT_EQ(file.version, "AC1015");
  EXPECT_EQ(file.codepage, "ANSI_1252");
  EXPECT_EQ(file.style.line_ending, LineEnding::kCrLf);
  EXPECT_TRUE(file.style.right_aligned_codes);
  EXPECT_FALSE(file.was_binary);
  EXPECT_TRUE(file.trailing.empty());
}

TEST(Reader, DetectsLfAndLeftAlignedCodes) {
  RawFile file = Parse("0\nSECTION\n2\nENTITIES\n0\nENDSEC\n0\nEOF\n");
  EXPECT_EQ(file.style.line_ending, LineEnding::kLf);
  EXPECT_FALSE(file.style.right_aligned_codes);
  EXPECT_EQ(file.version, "AC1009");  // no $ACADVER
  EXPECT_EQ(file.codepage, "");
}

TEST(Reader, KeepsCommentsBeforeAndTextAfterTheFile) {
  RawFile file = Parse("999\nmade by hand\n0\nSECTION\n2\nENTITIES\n0\nENDSEC\n0\nEOF\n\x1a\n\n");
  EXPECT_EQ(file.leading, "999\nmade by hand\n");
  EXPECT_EQ(file.trailing, "\x1a\n\n");
  EXPECT_EQ(file.records.back().text, "0\nEOF\n");
}

TEST(Reader, EofWithoutFinalLineEnding) {
  RawFile file = Parse("0\nSECTION\n2\nENTITIES\n0\nENDSEC\n0\nEOF");
  EXPECT_EQ(file.records.back().text, "0\nEOF");
  EXPECT_TRUE(file.trailing.empty());
}

TEST(Reader, AcceptsBlanksAroundCodesAndOddCodePages) {
  RawFile file = Parse(
      "  0 \nSECTION\n\t2\nHEADER\n9\n$ACADVER\n1\n AC1018 \n9\n$DWGCODEPAGE\n3\ndos932\n"
      "0\nENDSEC\n0\nEOF\n");
  EXPECT_EQ(file.version, "AC1018");
  EXPECT_EQ(file.codepage, "dos932");
  EXPECT_EQ(file.records.size(), 3u);
}

TEST(Reader, RecordsSurviveMovingASmallFile) {
  // The shortest legal file fits a string's inline buffer; the views into it
  // must stay valid when the RawFile moves.
  RawFile file = Parse("0\nEOF\n");
  RawFile moved = std::move(file);
  ASSERT_EQ(moved.records.size(), 1u);
  EXPECT_EQ(moved.records[0].text, "0\nEOF\n");
  EXPECT_EQ(moved.records[0].text.data(), moved.buffer.data());
}

TEST(TagCursor, StepsThroughTagsAndGivesOffsets) {
  std::string_view text = "  0\r\nLINE\r\n  8\r\n Layer 1 \r\n 10\r\n1.5\r\n";
  TagCursor cursor(text);
  TagView tag;
  ASSERT_TRUE(cursor.Next(&tag));
  EXPECT_EQ(tag.code, 0);
  EXPECT_EQ(tag.code_text, "  0");
  EXPECT_EQ(tag.value, "LINE");
  EXPECT_EQ(cursor.offset(), 11u);
  ASSERT_TRUE(cursor.Next(&tag));
  EXPECT_EQ(tag.code, 8);
  EXPECT_EQ(tag.value, " Layer 1 ");
  ASSERT_TRUE(cursor.Next(&tag));
  EXPECT_EQ(tag.code, 10);
  EXPECT_FALSE(cursor.Next(&tag));
  EXPECT_EQ(RecordType(text), "LINE");
  EXPECT_EQ(ToTags(text), (Tags{{0, "LINE"}, {8, " Layer 1 "}, {10, "1.5"}}));
}

std::string Binary(std::initializer_list<std::string> tags) {
  std::string out(kBinarySentinel);
  for (const std::string& tag : tags) out += tag;
  return out;
}

std::string Code2(int code) { return std::string{char(code & 0xff), char(code >> 8)}; }
std::string Str(const std::string& s) { return s + std::string(1, '\0'); }

TEST(BinaryDxf, ConvertsEveryValueTypeToAscii) {
  double pi = 3.141592653589793;
  std::string real(reinterpret_cast<const char*>(&pi), 8);
  std::string data = Binary({
      Code2(0) + Str("SECTION"),
      Code2(2) + Str("ENTITIES"),
      Code2(0) + Str("LINE"),
      Code2(5) + Str("1F"),
      Code2(10) + real,
      Code2(70) + std::string("\xfe\xff", 2),             // int16 -2
      Code2(90) + std::string("\x01\x00\x01\x00", 4),     // int32 65537
      Code2(160) + std::string("\x05\0\0\0\0\0\0\0", 8),  // int64 5
      Code2(290) + std::string("\x01", 1),                // bool
      Code2(310) + std::string("\x03\x00\xab\xff", 4),    // 3-byte chunk
      Code2(1) + Str("two\nlines"),
      Code2(0) + Str("ENDSEC"),
      Code2(0) + Str("EOF"),
      std::string("junk"),
  });
  RawFile file = Parse(data);
  EXPECT_TRUE(file.was_binary);
  EXPECT_EQ(file.buffer,
            "  0\r\nSECTION\r\n  2\r\nENTITIES\r\n  0\r\nLINE\r\n  5\r\n1F\r\n"
            " 10\r\n3.141592653589793\r\n 70\r\n-2\r\n 90\r\n65537\r\n160\r\n5\r\n"
            "290\r\n1\r\n310\r\n00ABFF\r\n  1\r\ntwo^Jlines\r\n  0\r\nENDSEC\r\n  0\r\nEOF\r\n");
  EXPECT_EQ(file.style.line_ending, LineEnding::kCrLf);
  EXPECT_TRUE(file.style.right_aligned_codes);
}

TEST(BinaryDxf, ReadsOneByteCodesOfR12) {
  double one = 1.0;
  std::string real(reinterpret_cast<const char*>(&one), 8);
  std::string data = Binary({
      std::string(1, '\0') + Str("SECTION"),
      std::string(1, 2) + Str("HEADER"),
      std::string(1, 9) + Str("$ACADVER"),
      std::string(1, 1) + Str("AC1009"),
      std::string(1, 0) + Str("ENDSEC"),
      std::string(1, 0) + Str("SECTION"),
      std::string(1, 2) + Str("ENTITIES"),
      std::string(1, 0) + Str("POINT"),
      std::string(1, 10) + real,
      // 1001 behind the escape byte 255, then its string.
      std::string("\xff", 1) + Code2(1001) + Str("APP"),
      std::string(1, 0) + Str("ENDSEC"),
      std::string(1, 0) + Str("EOF"),
  });
  RawFile file = Parse(data);
  EXPECT_EQ(file.version, "AC1009");
  EXPECT_NE(file.buffer.find(" 10\r\n1.0\r\n1001\r\nAPP\r\n"), std::string::npos) << file.buffer;
}

TEST(BinaryDxf, RecognisesOnlyTheSentinel) {
  EXPECT_TRUE(IsBinaryDxf(std::string(kBinarySentinel) + "rest"));
  EXPECT_FALSE(IsBinaryDxf(kBinarySentinel.substr(0, 20)));
  EXPECT_FALSE(IsBinaryDxf("  0\nSECTION\n"));
}

}  // namespace
}  // namespace dxf
