#include "cli/conversion_result.h"

#include <gtest/gtest.h>

namespace cli {
namespace {

TEST(ConversionResultTest, EveryFieldSurvivesTheTripIncludingLineEndsAndColons) {
  ConversionResult r;
  r.exit_code = 3;
  r.out = "a -> b (mech6)\n  Entities: 1:2\n";
  r.err = std::string("bin\0ary\n", 8);
  r.error = "x.dxf:8: group code 8: ...";
  r.seconds = 0.125;
  r.converted = true;
  r.entities_before = 73;
  r.entities_after = 66;
  r.dimensions_compared = 10;
  r.dimensions_changed = 1;
  r.warnings = {"one: a", "two\nlines:"};
  r.transcript = "Befehl: DRAVOLIN1\r\n\xE4";
  r.has_report = true;
  r.report = {"in.dxf",    "out.dxf",   "genius", 1, "why", "{\"a\": 1}", "<section></section>",
              "converted", "<td>7</td>"};
  r.crashed = true;  // the parent's own mark: not sent

  ConversionResult back;
  ASSERT_TRUE(DecodeResult(EncodeResult(r), &back));
  EXPECT_EQ(back.exit_code, 3);
  EXPECT_EQ(back.out, r.out);
  EXPECT_EQ(back.err, r.err);
  EXPECT_EQ(back.error, r.error);
  EXPECT_EQ(back.seconds, 0.125);
  EXPECT_TRUE(back.converted);
  EXPECT_EQ(back.entities_before, 73u);
  EXPECT_EQ(back.entities_after, 66u);
  EXPECT_EQ(back.dimensions_compared, 10u);
  EXPECT_EQ(back.dimensions_changed, 1u);
  EXPECT_EQ(back.warnings, r.warnings);
  EXPECT_EQ(back.transcript, r.transcript);
  EXPECT_TRUE(back.has_report);
  EXPECT_EQ(back.report.input, "in.dxf");
  EXPECT_EQ(back.report.output, "out.dxf");
  EXPECT_EQ(back.report.target, "genius");
  EXPECT_EQ(back.report.exit_code, 1);
  EXPECT_EQ(back.report.error, "why");
  EXPECT_EQ(back.report.json, "{\"a\": 1}");
  EXPECT_EQ(back.report.html, "<section></section>");
  EXPECT_EQ(back.report.status, "converted");
  EXPECT_EQ(back.report.summary, "<td>7</td>");
  EXPECT_FALSE(back.crashed);
}

TEST(ConversionResultTest, CutOrPaddedTextIsRefused) {
  std::string text = EncodeResult(ConversionResult());
  ConversionResult back;
  EXPECT_FALSE(DecodeResult(text.substr(0, text.size() - 1), &back));
  EXPECT_FALSE(DecodeResult(text + "0:", &back));
  EXPECT_FALSE(DecodeResult("", &back));
  EXPECT_FALSE(DecodeResult("99999999999999:x", &back));
}

}  // namespace
}  // namespace cli
