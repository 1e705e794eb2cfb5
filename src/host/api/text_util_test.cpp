// Values read from records into result buffers: plain ones take a short
// path, and everything else reads as it did before that path.
#include "host/api/text_util.h"

#include <gtest/gtest.h>

namespace host::api {
namespace {

TEST(TextUtilTest, ValuesReadTheSameWithOrWithoutBlanksAndSigns) {
  for (const char* text : {"7", " 7", "7 ", "+7", " +7 ", "7.0", "7.9"})
    EXPECT_EQ(ParseInteger(text), 7) << text;
  EXPECT_EQ(ParseInteger("-12"), -12);
  EXPECT_EQ(ParseInteger("x"), 0);

  for (const char* text : {"1.5", " 1.5", "1.5 ", "+1.5", " +1.5 ", "15E-1"})
    EXPECT_EQ(ParseReal(text), 1.5) << text;
  EXPECT_EQ(ParseReal("-0.25"), -0.25);
  EXPECT_EQ(ParseReal("x"), 0.0);

  for (const char* text : {"1A", "1a", " 1A", "1A "}) EXPECT_EQ(ParseHandle(text), 0x1Au) << text;
  EXPECT_EQ(ParseHandle("G"), 0u);
}

}  // namespace
}  // namespace host::api
