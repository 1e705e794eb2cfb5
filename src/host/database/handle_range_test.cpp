// New handles at the top of the handle range: counting on from the highest
// handle must not wrap round to 0 and to handles that are in use. Handles a
// file should not have are listed, and new handles avoid them too.
#include <gtest/gtest.h>

#include <set>

#include "host/database/handle_check.h"
#include "host/database/record_scan.h"
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

TEST(HandleRangeTest, SoundHandlesGiveNoProblems) {
  std::unique_ptr<host::Drawing> drawing = LoadDrawing(Drawing("40", "30"));
  ASSERT_NE(drawing, nullptr);
  EXPECT_TRUE(FindHandleProblems(*drawing).empty());
}

TEST(HandleRangeTest, DuplicateOddAndLowSeedHandlesAreListed) {
  // The LINEs start at lines 19, 25 and 31.
  HandleProblems duplicate = FindHandleProblems(*LoadDrawing(Drawing("40", "1")));
  EXPECT_EQ(duplicate.listed,
            std::vector<std::string>{"line 31: the LINE's handle 1 is also the handle of the LINE "
                                     "at line 19"});
  HandleProblems odd = FindHandleProblems(*LoadDrawing(Drawing("40", "XY")));
  EXPECT_EQ(odd.listed, std::vector<std::string>{
                            "line 31: the LINE's handle \"XY\" is not a hex number from 1 to "
                            "FFFFFFFFFFFFFFFF"});
  HandleProblems low = FindHandleProblems(*LoadDrawing(Drawing("30", "30")));
  EXPECT_EQ(low.listed,
            std::vector<std::string>{"$HANDSEED 30 is not above the highest handle in use, 30"});
  // A DIMSTYLE's handle is its 105.
  HandleProblems dimstyle = FindHandleProblems(*LoadDrawing(testing::R2000Drawing()));
  EXPECT_EQ(dimstyle.listed,
            std::vector<std::string>{"$HANDSEED 200 is not above the highest handle in use, 2F0"});
  HandleProblems many = FindHandleProblems(*LoadDrawing(Drawing("2", "0")));
  EXPECT_EQ(many.total, 2u);  // handle 0, and the seed at the second line's handle
}

TEST(HandleRangeTest, ADuplicateAcrossTheHalvesOfALargeDrawingIsListed) {
  // Enough entities for the two-thread scan; the last takes the first's handle.
  std::string lines =
      "0 SECTION\n2 HEADER\n9 $ACADVER\n1 AC1015\n9 $HANDSEED\n5 9000\n"
      "0 ENDSEC\n0 SECTION\n2 ENTITIES\n";
  for (int i = 0; i < 5000; ++i) lines += "0 LINE\n5 " + FormatHandle(0x100 + i) + "\n8 0\n";
  lines += "0 LINE\n5 100\n8 0\n0 ENDSEC\n0 EOF\n";
  std::unique_ptr<host::Drawing> drawing = LoadDrawing(TagLines(lines));
  ASSERT_NE(drawing, nullptr);
  HandleProblems problems = FindHandleProblems(*drawing);
  EXPECT_EQ(problems.listed,
            std::vector<std::string>{"line 30019: the LINE's handle 100 is also the handle of "
                                     "the LINE at line 19"});
}

TEST(HandleRangeTest, NewHandlesAvoidHandlesInUseWhateverTheSeedSays) {
  std::unique_ptr<host::Drawing> drawing = LoadDrawing(Drawing("1", "2"));
  ASSERT_NE(drawing, nullptr);
  EXPECT_EQ(drawing->NewHandle(), "3");
  EXPECT_EQ(drawing->HeaderValue("$HANDSEED"), "4");
}

}  // namespace
}  // namespace host
