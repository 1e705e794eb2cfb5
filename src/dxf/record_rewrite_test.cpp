#include "dxf/record_rewrite.h"

#include <gtest/gtest.h>

#include <random>

#include "dxf/document.h"

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

TEST(RewriteRecord, TagsAfterALastLineWithoutEnding) {
  TextStyle style;
  style.line_ending = LineEnding::kLf;
  Tags tags = ToTags("  0\nPOINT\n  8\nA");
  tags.emplace_back(62, "1");
  EXPECT_EQ(RewriteRecord("  0\nPOINT\n  8\nA", tags, style), "  0\nPOINT\n  8\nA\n 62\n1\n");
}

}  // namespace
}  // namespace dxf
