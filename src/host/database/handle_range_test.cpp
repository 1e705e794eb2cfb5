// New handles at the top of the handle range: counting on from the highest
// handle must not wrap round to 0 and to handles that are in use.
#include <gtest/gtest.h>

#include <set>

#include "support/drawing_test_support.h"

namespace host {
namespace {

using testing::LoadDrawing;
using testing::TagLines;

std::string Drawing(const std::string& seed, const std::string& line_handle) {
  return TagLines("0 SECTION\n2 HEADER\n9 $ACADVER\n1 AC1015\n9 $HANDSEED\n5 " + seed +
                  "\n0 ENDSEC\n0 SECTION\n2 ENTITIES\n0 LINE\n5 1\n8 0\n0 LINE\n5 2\n8 0\n"
                  "0 LINE\n5 " +
                  line_handle + "\n8 0\n0 ENDSEC\n0 EOF\n");
}

TEST(HandleRangeTest, SeedAtTheTopIsNotFollowedRoundToZero) {
  std::unique_ptr<host::Drawing> drawing = LoadDrawing(Drawing("FFFFFFFFFFFFFFFF", "30"));
  ASSERT_NE(drawing, nullptr);
  EXPECT_EQ(drawing->NewHandle(), "31");
  EXPECT_EQ(drawing->NewHandle(), "32");
  EXPECT_EQ(drawing->HeaderValue("$HANDSEED"), "33");
}

TEST(HandleRangeTest, TopHandleInUseGivesFreeHandlesBelowIt) {
  for (const char* top : {"FFFFFFFFFFFFFFFF", "FFFFFFFFFFFFFFFE"}) {
    SCOPED_TRACE(top);
    std::unique_ptr<host::Drawing> drawing = LoadDrawing(Drawing("FFFFFFFFFFFFFFFF", top));
    ASSERT_NE(drawing, nullptr);
    std::set<std::string> issued;
    for (int i = 0; i < 4; ++i) issued.insert(drawing->NewHandle());
    // 1 and 2 are the other lines' handles.
    EXPECT_EQ(issued, (std::set<std::string>{"3", "4", "5", "6"}));
    EXPECT_EQ(drawing->HeaderValue("$HANDSEED"), "FFFFFFFFFFFFFFFF");
  }
}

}  // namespace
}  // namespace host
