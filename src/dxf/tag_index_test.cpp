#include "dxf/tag_index.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <string>

#include "dxf/document.h"

namespace dxf {
namespace {

// The index either describes the text exactly (the tags it gives are those
// SplitTags gives, viewing the same bytes) or is refused.
void ExpectSameTagsOrNoIndex(std::string_view text, bool indexable) {
  std::string index = "prefix";
  bool indexed = AppendTagIndex(text, &index);
  ASSERT_EQ(indexed, indexable) << text;
  if (!indexed) {
    EXPECT_EQ(index, "prefix");
    return;
  }
  std::vector<TagView> expected, got;
  SplitTags(text, &expected);
  SplitIndexedTags(text, reinterpret_cast<const uint8_t*>(index.data() + 6), &got);
  ASSERT_EQ(got.size(), expected.size()) << text;
  for (size_t i = 0; i < got.size(); ++i) {
    EXPECT_EQ(got[i].code, expected[i].code) << text;
    EXPECT_EQ(got[i].code_text.data(), expected[i].code_text.data()) << text;
    EXPECT_EQ(got[i].code_text.size(), expected[i].code_text.size()) << text;
    EXPECT_EQ(got[i].value.data(), expected[i].value.data()) << text;
    EXPECT_EQ(got[i].value.size(), expected[i].value.size()) << text;
  }
}

TEST(TagIndex, DescribesCommonRecordsAndRefusesTheRest) {
  ExpectSameTagsOrNoIndex("  0\nLINE\n  8\n0\n 10\n1.5\n", true);
  ExpectSameTagsOrNoIndex("  0\r\nLINE\r\n  8\r\n\r\n 10\r\n1.5\r\n", true);
  // Extended data codes take four columns.
  ExpectSameTagsOrNoIndex("  0\nLINE\n1001\nACAD\n1070\n   3\n", true);
  // A value that ends in a CR of its own under CR LF keeps it.
  ExpectSameTagsOrNoIndex("  0\r\nTEXT\r\n  1\r\nabc\r\r\n", true);
  ExpectSameTagsOrNoIndex(std::string("  0\nTEXT\n  1\n") + std::string(254, 'x') + "\n", true);

  // Left-aligned codes, mixed line ends, a CR value under LF, a value of
  // 255 bytes, a record without its last line end.
  ExpectSameTagsOrNoIndex("0\nLINE\n8\n0\n", false);
  ExpectSameTagsOrNoIndex("  0\r\nLINE\n  8\n0\n", false);
  ExpectSameTagsOrNoIndex("  0\nLINE\n  8\r\n0\r\n", false);
  ExpectSameTagsOrNoIndex("  0\nTEXT\n  1\nabc\r\n", false);
  ExpectSameTagsOrNoIndex(std::string("  0\nTEXT\n  1\n") + std::string(255, 'x') + "\n", false);
  ExpectSameTagsOrNoIndex("  0\nLINE\n  8\n0", false);
  ExpectSameTagsOrNoIndex("  0\nLINE\n  8\n", false);
  ExpectSameTagsOrNoIndex("", false);
}

TEST(TagIndex, GivesTheSameTagsOnEveryRecordOfTheSampleFiles) {
  for (const auto& entry :
       std::filesystem::directory_iterator(std::string(DRAVOLIN_TEST_DATA) + "/samples")) {
    if (entry.path().extension() != ".dxf") continue;
    RawFile file;
    Error err;
    ASSERT_TRUE(ReadFile(entry.path().string(), &file, &err)) << err.ToString();
    for (const RawRecord& record : file.records) {
      std::string index;
      if (!AppendTagIndex(record.text, &index)) continue;
      ExpectSameTagsOrNoIndex(record.text, true);
    }
  }
}

}  // namespace
}  // namespace dxf
