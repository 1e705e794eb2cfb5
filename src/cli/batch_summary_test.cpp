#include "cli/batch_summary.h"

#include <gtest/gtest.h>

namespace cli {
namespace {

ConversionResult Converted(double seconds, size_t before, size_t after, size_t compared,
                           size_t changed) {
  ConversionResult r;
  r.converted = true;
  r.seconds = seconds;
  r.entities_before = before;
  r.entities_after = after;
  r.dimensions_compared = compared;
  r.dimensions_changed = changed;
  return r;
}

TEST(BatchSummaryTest, TableAlignsByCharactersAndCountsResults) {
  ConversionResult failed;
  failed.exit_code = 1;
  failed.seconds = 0.02;
  failed.error = "bad.dxf: the current space is model space";
  ConversionResult crashed;
  crashed.exit_code = 3;
  crashed.crashed = true;
  // File names are UTF-8, as the file system gives them ("Maße").
  std::vector<SummaryRow> rows = {{"a.dxf", Converted(1.5, 73, 66, 10, 0)},
                                  {"Ma\xC3\x9F"
                                   "e/b.dxf",
                                   Converted(12.25, 5, 5, 3, 1)},
                                  {"bad.dxf", failed},
                                  {"c.dxf", crashed}};
  EXPECT_EQ(FormatSummary(rows, 14.0),
            "file        result     seconds  entities  dimension check or reason\n"
            "a.dxf       converted     1.50  73 -> 66  10 compared, none changed\n"
            "Ma\xC3\x9F"
            "e/b.dxf  converted    12.25  5 -> 5    1 of 3 CHANGED\n"
            "bad.dxf     failed        0.02  -         the current space is model space\n"
            "c.dxf       crashed       0.00  -         -\n"
            "4 drawings: 2 converted, 2 failed, 14.00 s\n");
}

TEST(BatchSummaryTest, ResultWords) {
  ConversionResult r;
  EXPECT_EQ(ResultWord(r, false), "converted");
  EXPECT_EQ(ResultWord(r, true), "dry run");
  r.warnings = {"2 entities stay on the layout"};
  EXPECT_EQ(ResultWord(r, false), "converted with warnings");
  EXPECT_EQ(ResultWord(r, true), "dry run with warnings");
  std::string table = FormatSummary({{"a.dxf", r}}, 1);
  EXPECT_NE(table.find("a.dxf  converted with warnings"), std::string::npos) << table;
  EXPECT_NE(table.find("1 drawing: 1 converted (1 with warnings), 0 failed"), std::string::npos)
      << table;
  r.exit_code = 1;
  EXPECT_EQ(ResultWord(r, false), "failed");
  r.exit_code = 3;
  EXPECT_EQ(ResultWord(r, false), "aborted");
}

TEST(BatchSummaryTest, ProgressLineFitsTheWidthAndKeepsTheNamesEnd) {
  EXPECT_EQ(ProgressLine(5, 10, 1, "sub/part.dxf", 1, 80),
            "[##########          ] 5/10, 1 failed  sub/part.dxf");
  EXPECT_EQ(ProgressLine(0, 4, 0, "a.dxf", 3, 80), "[                    ] 0/4  a.dxf (+2)");
  std::string narrow = ProgressLine(1, 2, 0,
                                    "a/very/long/folder/Ma\xC3\x9F"
                                    "stab.dxf",
                                    1, 45);
  EXPECT_EQ(DisplayWidth(narrow), 45u) << narrow;
  EXPECT_EQ(narrow,
            "[##########          ] 1/2  ...er/Ma\xC3\x9F"
            "stab.dxf");
  EXPECT_LE(DisplayWidth(ProgressLine(1, 2, 0, "x.dxf", 1, 10)), 10u);
  EXPECT_EQ(ProgressLine(2, 2, 0, "", 0, 80), "[####################] 2/2");
  EXPECT_EQ(ProgressLine(2, 2, 1, "", 0, 80, 1),
            "[####################] 2/2, 1 failed, 1 with warnings");
  // A file name cannot move the cursor or clear the line it is drawn on.
  EXPECT_EQ(ProgressLine(0, 1, 0, "a\x1b[2J\r.dxf", 1, 80),
            "[                    ] 0/1  a\\x1B[2J\\x0D.dxf");
}

}  // namespace
}  // namespace cli
