#include "dxf/record_rewrite.h"

#include <gtest/gtest.h>

#include <random>

#include "dxf/document.h"
#include "dxf/tag_index.h"

namespace dxf {
namespace {

std::string RewriteRecord(std::string_view old_text, const Tags& tags, const TextStyle& style) {
  std::string out;
  dxf::RewriteRecord(old_text, tags, style, &out);
  return out;
}

std::string RewriteRecord(std::string_view old_text, const std::vector<TagView>& old_tags,
                          const Tags& tags, const TextStyle& style) {
  std::string out;
  dxf::RewriteRecord(old_text, old_tags, tags, style, &out);
  return out;
}

}  // namespace
}  // namespace dxf

namespace dxf {
namespace {

// A record as a file may hold it: codes left-aligned and padded, CR LF and LF
// mixed, so that a copied tag shows in the bytes.
constexpr std::string_view kRecord =
    "0\r\nLINE\r\n  5\n1F\n330\n1A\n100\nAcDbEntity\n8 \nWALLS\n100\nAcDbLine\n"
    " 10\n1.5\n 20\n2.5\n 30\n0.0\n 11\n4.0\n 21\n5.0\n 31\n0.0\n";

TEST(RewriteRecord, KeepsTheBytesOfEveryUnchangedTag) {
  TextStyle style;  // right-aligned, CR LF
  Tags tags = ToTags(kRecord);
  EXPECT_EQ(RewriteRecord(kRecord, tags, style), kRecord);

  tags[4].value = "AM_0";  // layer
  tags[6].value = "3.0";   // x of the start point
  EXPECT_EQ(RewriteRecord(kRecord, tags, style),
            "0\r\nLINE\r\n  5\n1F\n330\n1A\n100\nAcDbEntity\n  8\r\nAM_0\r\n100\nAcDbLine\n"
            " 10\r\n3.0\r\n 20\n2.5\n 30\n0.0\n 11\n4.0\n 21\n5.0\n 31\n0.0\n");
}

TEST(RewriteRecord, AddedDroppedAndMovedTagsReadBackAsGiven) {
  const Tags old_tags = ToTags(kRecord);
  std::mt19937 random(7);
  for (int round = 0; round < 2000; ++round) {
    Tags tags = old_tags;
    int edits = static_cast<int>(random() % 4) + 1;
    for (int e = 0; e < edits; ++e) {
      size_t at = random() % (tags.size() + 1);
      switch (random() % 4) {
        case 0:  // add
          tags.insert(tags.begin() + static_cast<long>(at), Tag(62, "7"));
          break;
        case 1:  // drop
          if (at < tags.size()) tags.erase(tags.begin() + static_cast<long>(at));
          break;
        case 2:  // change
          if (at < tags.size()) tags[at].value += "1";
          break;
        default:  // move to the end
          if (at < tags.size()) {
            Tag moved = tags[at];
            tags.erase(tags.begin() + static_cast<long>(at));
            tags.push_back(moved);
          }
          break;
      }
    }
    for (bool crlf : {false, true}) {
      TextStyle style;
      style.line_ending = crlf ? LineEnding::kCrLf : LineEnding::kLf;
      std::string text = RewriteRecord(kRecord, tags, style);
      ASSERT_EQ(ToTags(text), tags) << "round " << round;
      std::vector<TagView> views;
      SplitTags(kRecord, &views);
      ASSERT_EQ(RewriteRecord(kRecord, views, tags, style), text) << "round " << round;
    }
  }
}

TEST(RewriteRecord, IndexMadeOnTheWayIsTheIndexOfTheText) {
  // Tags written afresh in forms the index does and does not describe.
  const Tag fresh[] = {Tag(62, "7"),
                       Tag(1000, "x"),
                       Tag(1001, "APP"),
                       Tag(10000, "1"),
                       Tag(-1, "1"),
                       Tag(1, "two\nlines"),
                       Tag(1, "ends\r"),
                       Tag(1, std::string(254, 'a')),
                       Tag(1, std::string(255, 'a')),
                       Tag(5, "")};
  std::mt19937 random(11);
  for (std::string_view eol : {"\n", "\r\n"}) {
    std::string record;
    for (const Tag& tag : ToTags(kRecord)) {
      record += FormatCode(tag.code, TextStyle{}) + std::string(eol) + tag.value + std::string(eol);
    }
    record += "1001" + std::string(eol) + "APP" + std::string(eol);
    std::string old_index;
    ASSERT_TRUE(AppendTagIndex(record, &old_index));
    std::vector<TagView> views;
    SplitTags(record, &views);
    const Tags old_tags = ToTags(record);
    for (int round = 0; round < 1000; ++round) {
      Tags tags = old_tags;
      for (int e = static_cast<int>(random() % 3); e >= 0; --e) {
        size_t at = random() % (tags.size() + 1);
        const Tag& tag = fresh[random() % std::size(fresh)];
        switch (random() % 3) {
          case 0:
            tags.insert(tags.begin() + static_cast<long>(at), tag);
            break;
          case 1:
            if (at < tags.size()) tags.erase(tags.begin() + static_cast<long>(at));
            break;
          default:  // a value changed in place: the tags stay one for one
            if (at < tags.size()) tags[at].value = tag.value;
            break;
        }
      }
      for (int form = 0; form < 4; ++form) {
        TextStyle style;
        style.line_ending = form % 2 ? LineEnding::kCrLf : LineEnding::kLf;
        style.right_aligned_codes = form < 2;
        std::string text, index, expected;
        bool indexed = RewriteRecord(record, reinterpret_cast<const uint8_t*>(old_index.data()),
                                     views, tags, style, &text, &index);
        ASSERT_EQ(text, RewriteRecord(record, views, tags, style));
        ASSERT_EQ(indexed, AppendTagIndex(text, &expected)) << "round " << round;
        ASSERT_EQ(index, expected) << "round " << round << ", form " << form;
      }
    }
  }
}

TEST(RewriteRecord, TagsAfterALastLineWithoutEnding) {
  TextStyle style;
  style.line_ending = LineEnding::kLf;
  Tags tags = ToTags("  0\nPOINT\n  8\nA");
  tags.emplace_back(62, "1");
  EXPECT_EQ(RewriteRecord("  0\nPOINT\n  8\nA", tags, style), "  0\nPOINT\n  8\nA\n 62\n1\n");
}

}  // namespace
}  // namespace dxf
