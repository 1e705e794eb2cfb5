#include <gtest/gtest.h>

#include "host/database/drawing.h"
#include "host/database/record_scan.h"

namespace host {
namespace {

// A record read through its tag index answers as the same record without
// one: the index is only a faster way to the same tags.
TEST(RecordText, AnswersTheSameWithAndWithoutItsIndex) {
  const std::string indexed_form =
      "  0\r\nLINE\r\n  5\r\n2F\r\n  8\r\nWALLS\r\n 10\r\n1.5\r\n1001\r\nAPP\r\n1000\r\nx\r\n";
  const std::string plain_form = "0\nLINE\n5\n2F\n8\nWALLS\n10\n1.5\n1001\nAPP\n1000\nx\n";
  for (const std::string& form : {indexed_form, plain_form}) {
    RecordText record;
    record.Replace(form);
    EXPECT_EQ(record.text(), form);
    EXPECT_EQ(record.Type(), "LINE");
    EXPECT_EQ(record.Find(8), "WALLS");
    EXPECT_EQ(record.Find(5), "2F");
    EXPECT_EQ(record.Find(0), std::nullopt);     // the type is not a value
    EXPECT_EQ(record.Find(1000), std::nullopt);  // nor is the extended data
    std::vector<dxf::TagView> tags, expected;
    record.Split(&tags);
    dxf::SplitTags(record.text(), &expected);
    ASSERT_EQ(tags.size(), expected.size());
    std::vector<int> visited;
    record.VisitTags([&](const dxf::TagView& tag) {
      visited.push_back(tag.code);
      return tag.code != 10;
    });
    EXPECT_EQ(visited, (std::vector<int>{0, 5, 8, 10}));
    for (size_t i = 0; i < tags.size(); ++i) {
      EXPECT_EQ(tags[i].code, expected[i].code);
      EXPECT_EQ(tags[i].value, expected[i].value);
      EXPECT_EQ(tags[i].value.data(), expected[i].value.data());
    }
  }
}

}  // namespace
}  // namespace host
