#include "passes/set_rb_string.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <cstring>

#include "passes/line_weight_text.h"

namespace {

resbuf StringItem(const char* text) {
  resbuf item = {};
  item.restype = 8;
  item.resval.rstring = static_cast<char*>(std::malloc(std::strlen(text) + 1));
  std::strcpy(item.resval.rstring, text);
  return item;
}

TEST(SetRbStringTest, GrowsTheBufferForALongerTextAndReusesItOtherwise) {
  resbuf item = StringItem("AM_2");
  char* before = item.resval.rstring;
  ASSERT_TRUE(SetRbString(&item, "7"));
  EXPECT_EQ(item.resval.rstring, before);
  EXPECT_STREQ(item.resval.rstring, "7");
  ASSERT_TRUE(SetRbString(&item, "Schnittansichtslinien"));
  EXPECT_STREQ(item.resval.rstring, "Schnittansichtslinien");
  std::free(item.resval.rstring);
}

TEST(LineWeightTextTest, KnowsTheTwentyFourWeightsAndNothingElse) {
  EXPECT_STREQ(LineWeightText(0), "0.00");
  EXPECT_STREQ(LineWeightText(50), "0.50");
  EXPECT_STREQ(LineWeightText(211), "2.11");
  for (int other : {-1, -2, -3, 1, 51, 212}) EXPECT_EQ(LineWeightText(other), nullptr) << other;
}

}  // namespace
