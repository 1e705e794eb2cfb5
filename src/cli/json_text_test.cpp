#include "cli/json_text.h"

#include <gtest/gtest.h>

#include <limits>

namespace cli {
namespace {

TEST(JsonTextTest, StringsAreEscapedAndAlwaysValidUtf8) {
  EXPECT_EQ(JsonString("AM_0"), "\"AM_0\"");
  EXPECT_EQ(JsonString("a\"b\\c\nd\te\x01"), "\"a\\\"b\\\\c\\nd\\te\\u0001\"");
  EXPECT_EQ(JsonString("Ma\xC3\x9F"
                       "e \xE2\x82\xAC"),
            "\"Ma\xC3\x9F"
            "e \xE2\x82\xAC\"");
  // A stray code page 1252 byte, a cut sequence, an overlong form, a surrogate.
  EXPECT_EQ(JsonString("\xDF|\xC3|\xC0\xAF|\xED\xA0\x80"),
            "\"\\ufffd|\\ufffd|\\ufffd\\ufffd|\\ufffd\\ufffd\\ufffd\"");
}

TEST(JsonTextTest, NumbersReadBackAndNonFiniteOnesAreNull) {
  EXPECT_EQ(JsonNumber(2), "2");
  EXPECT_EQ(JsonNumber(0.1), "0.1");
  EXPECT_EQ(JsonNumber(-1e-300), "-1e-300");
  EXPECT_EQ(JsonNumber(std::numeric_limits<double>::infinity()), "null");
  EXPECT_EQ(JsonNumber(std::numeric_limits<double>::quiet_NaN()), "null");
}

}  // namespace
}  // namespace cli
