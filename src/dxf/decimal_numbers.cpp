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
  size_t i = 0;
  bool negative = !text.empty() && text[0] == '-';
  if (negative) i = 1;
  uint64_t mantissa = 0;
  int digits = 0;
  int fraction_digits = 0;
  size_t integer_start = i;
  while (i < text.size() && text[i] >= '0' && text[i] <= '9') {
    mantissa = mantissa * 10 + static_cast<uint64_t>(text[i++] - '0');
    ++digits;
  }
  if (i == integer_start) return false;
  if (i < text.size() && text[i] == '.') {
    ++i;
    size_t fraction_start = i;
    while (i < text.size() && text[i] >= '0' && text[i] <= '9') {
      mantissa = mantissa * 10 + static_cast<uint64_t>(text[i++] - '0');
      ++digits;
    }
    fraction_digits = static_cast<int>(i - fraction_start);
    if (fraction_digits == 0) return false;
  }
  if (i != text.size() || digits > kMaxParsedDigits) return false;
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
    double nearest = std::nearbyint(scaled);
    if (nearest / kPowersOfTen[k] != magnitude) continue;
    // magnitude is exactly the decimal m / 10^k, and no decimal with fewer
    // fraction digits reads back as it: m's digits are the shortest.
    uint64_t m = static_cast<uint64_t>(nearest);
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
