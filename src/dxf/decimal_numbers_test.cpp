#include "dxf/decimal_numbers.h"

#include <gtest/gtest.h>

#include <charconv>
#include <cmath>
#include <cstring>
#include <limits>
#include <random>

namespace dxf {
namespace {

std::string ToChars(double value) {
  char buf[64];
  auto [end, ec] = std::to_chars(buf, buf + sizeof buf, value);
  return std::string(buf, end);
}

// Whatever it takes, the quick path must give the library's text.
void ExpectFormatsAsToChars(double value) {
  std::string text;
  if (FormatPlainDecimal(value, &text)) {
    ASSERT_EQ(text, ToChars(value)) << value;
  }
}

TEST(FormatPlainDecimal, GivesWhatToCharsGives) {
  std::mt19937_64 random(11);
  int taken = 0;
  for (int i = 0; i < 400000; ++i) {
    // Decimals of every magnitude and fraction length, as drawings hold.
    int fraction = static_cast<int>(random() % 12);
    double mantissa = static_cast<double>(random() % 100000000000ULL);
    double value = mantissa / std::pow(10.0, fraction + static_cast<int>(random() % 8));
    if (random() % 2) value = -value;
    ExpectFormatsAsToChars(value);
    std::string text;
    taken += FormatPlainDecimal(value, &text);
    // Results of arithmetic, which are rarely short decimals.
    ExpectFormatsAsToChars(value * 0.3 + 1.0 / 7.0);
    // Any bit pattern at all.
    uint64_t bits = random();
    double any;
    std::memcpy(&any, &bits, sizeof any);
    ExpectFormatsAsToChars(any);
  }
  EXPECT_GT(taken, 100000);  // the quick path is used, not just declined
  for (double value :
       {0.0, -0.0, 1.0, 10000.0, 100000.0, 1e15, 0.001, 0.0001, 0.1 + 0.2, 1125899906842623.0, -2.5,
        123456789.0, 1200.0, 0.5, 5e-324, std::numeric_limits<double>::infinity()}) {
    ExpectFormatsAsToChars(value);
  }
}

TEST(ParsePlainDecimal, ReadsWhatFromCharsReadsOrDeclines) {
  std::mt19937_64 random(5);
  auto expect_same = [](const std::string& text) {
    double quick = 0;
    if (!ParsePlainDecimal(text, &quick)) return false;
    double general = 0;
    auto [end, ec] = std::from_chars(text.data(), text.data() + text.size(), general);
    EXPECT_TRUE(ec == std::errc() && end == text.data() + text.size()) << text;
    EXPECT_EQ(std::memcmp(&quick, &general, sizeof quick), 0) << text;  // -0.0 too
    return true;
  };
  int taken = 0;
  for (int i = 0; i < 200000; ++i) {
    std::string text = random() % 4 == 0 ? "-" : "";
    text += std::to_string(random() % 10000000);
    if (random() % 3) text += "." + std::to_string(random() % 100000000);
    taken += expect_same(text);
  }
  EXPECT_GT(taken, 150000);
  for (const char* text : {"0", "-0", "-0.0", "0.1", "123456789012345", "999999999999999.9", "1.",
                           ".5", "-", "", "1e5", "1.5e3", "+1", "1.2.3", " 1", "0x1", "nan",
                           "1234567890123456", "0.30000000000000004"}) {
    expect_same(text);
  }
  // Zero as most files write it is taken without reading digits.
  for (const char* text : {"0.0", "0.00", "00.0", "0.0 "}) expect_same(text);
  double value = 0;
  EXPECT_FALSE(ParsePlainDecimal("1.", &value));
  EXPECT_FALSE(ParsePlainDecimal("1e5", &value));
  EXPECT_FALSE(ParsePlainDecimal("1234567890123456", &value));  // 16 digits
  EXPECT_TRUE(ParsePlainDecimal("-12.5", &value));
  EXPECT_EQ(value, -12.5);
}

}  // namespace
}  // namespace dxf
