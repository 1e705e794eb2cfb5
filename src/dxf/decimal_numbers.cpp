#include "dxf/decimal_numbers.h"

#include <cmath>
#include <cstdint>

namespace dxf {

namespace {

constexpr double kPowersOfTen[] = {1e0, 1e1, 1e2,  1e3,  1e4,  1e5,  1e6,  1e7,
                                   1e8, 1e9, 1e10, 1e11, 1e12, 1e13, 1e14, 1e15};
constexpr int kMaxParsedDigits = 15;
constexpr int kMaxFractionDigits = 9;
// Below this a scaled value has a quarter of a unit of precision or better,
// so the nearest integer is the only candidate.
constexpr double kMaxScaled = 1125899906842624.0;  // 2^50

int DigitCount(uint64_t n) {
  int count = 1;
  while (n >= 10) {
    n /= 10;
    ++count;
  }
  return count;
}

// The length std::to_chars gives in scientific notation for a value of
// significant digits and decimal exponent: "d.ddde+XX".
int ScientificLength(int significant, int exponent) {
  int exponent_digits = std::abs(exponent) >= 100 ? 3 : 2;
  return significant + (significant > 1 ? 1 : 0) + 2 + exponent_digits;
}

}  // namespace

bool ParsePlainDecimal(std::string_view text, double* value) {
  // A third of the numbers in a drawing are "0.0" (the z of flat geometry).
  if (text.size() == 3 && text[0] == '0' && text[1] == '.' && text[2] == '0') {
    *value = 0.0;
    return true;
  }
  const char* p = text.data();
  const char* const end = p + text.size();
  const bool negative = p != end && *p == '-';
  if (negative) ++p;
  // Digits are taken while they come: an unsigned difference above 9 is any
  // other byte.
  uint64_t mantissa = 0;
  auto take_digits = [&] {
    const char* start = p;
    for (; p != end; ++p) {
      unsigned digit = static_cast<unsigned char>(*p) - unsigned{'0'};
      if (digit > 9) break;
      mantissa = mantissa * 10 + digit;
    }
    return static_cast<int>(p - start);
  };
  const int integer_digits = take_digits();
  if (integer_digits == 0) return false;
  int fraction_digits = 0;
  if (p != end && *p == '.') {
    ++p;
    fraction_digits = take_digits();
    if (fraction_digits == 0) return false;
  }
  if (p != end || integer_digits + fraction_digits > kMaxParsedDigits) return false;
  double result = static_cast<double>(mantissa) / kPowersOfTen[fraction_digits];
  *value = negative ? -result : result;
  return true;
}

bool FormatPlainDecimal(double value, std::string* text) {
  if (!std::isfinite(value) || std::signbit(value) != (value < 0)) return false;  // -0.0
  double magnitude = std::fabs(value);
  for (int k = 0; k <= kMaxFractionDigits; ++k) {
    double scaled = magnitude * kPowersOfTen[k];
    if (scaled >= kMaxScaled) return false;
    // The nearest integer: below 2^50 adding a half is exact, and a tie
    // (scaled exactly n + 1/2) is no candidate either way, since neither n
    // nor n + 1 over 10^k reads back as a value that close to n + 1/2.
    uint64_t m = static_cast<uint64_t>(scaled + 0.5);
    if (static_cast<double>(m) / kPowersOfTen[k] != magnitude) continue;
    // magnitude is exactly the decimal m / 10^k, and no decimal with fewer
    // fraction digits reads back as it: m's digits are the shortest.
    if (m == 0) {
      *text = "0";
      return true;
    }
    int total = DigitCount(m);
    int trailing_zeros = 0;
    for (uint64_t rest = m; rest % 10 == 0; rest /= 10) ++trailing_zeros;
    int significant = total - trailing_zeros;
    int integer_digits = total > k ? total - k : 0;
    int fixed_length = k == 0 ? total : (integer_digits == 0 ? 1 : integer_digits) + 1 + k;
    int exponent = total - 1 - k;
    // to_chars takes fixed notation unless scientific is shorter.
    if (ScientificLength(significant, exponent) < fixed_length) return false;
    char buf[32];
    char* end = buf + sizeof buf;
    char* p = end;
    for (int d = 0; d < k; ++d) {
      *--p = static_cast<char>('0' + m % 10);
      m /= 10;
    }
    if (k > 0) *--p = '.';
    do {
      *--p = static_cast<char>('0' + m % 10);
      m /= 10;
    } while (m != 0);
    if (value < 0) *--p = '-';
    text->assign(p, end);
    return true;
  }
  return false;
}

}  // namespace dxf
