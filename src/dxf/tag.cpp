#include "dxf/tag.h"

#include <charconv>
#include <cmath>
#include <cstdio>

namespace dxf {

ValueType TypeOfCode(int code) {
  // The group-code ranges of the DXF value types. Codes not listed (names,
  // texts, 999 comments, 1000-1003 xdata strings) carry strings.
  auto in = [code](int lo, int hi) { return code >= lo && code <= hi; };
  if (code == 5 || code == 105 || in(320, 369) || in(390, 399) || in(480, 481) || code == 1005) {
    return ValueType::kHandle;
  }
  if (in(310, 319) || code == 1004) return ValueType::kBinary;
  if (in(10, 59) || in(110, 149) || in(210, 239) || in(460, 469) || in(1010, 1059)) {
    return ValueType::kDouble;
  }
  if (in(60, 79) || in(170, 179) || in(270, 289) || in(370, 389) || in(400, 409) ||
      in(1060, 1070)) {
    return ValueType::kInt16;
  }
  if (in(90, 99) || in(420, 429) || in(440, 459) || code == 1071) return ValueType::kInt32;
  if (in(160, 169)) return ValueType::kInt64;
  if (in(290, 299)) return ValueType::kBool;
  return ValueType::kString;
}

bool IsPointCode(int code) {
  return (code >= 10 && code <= 18) || (code >= 110 && code <= 112) ||
         (code >= 210 && code <= 213) || (code >= 1010 && code <= 1013);
}

std::string FormatDouble(double value) {
  if (!std::isfinite(value)) return "0.0";
  char buf[64];
  auto [end, ec] = std::to_chars(buf, buf + sizeof buf, value);
  std::string text(buf, end);
  // to_chars writes 2.0 as "2"; DXF writers keep the decimal point so that
  // the value reads as a real number everywhere.
  if (text.find_first_of(".e") == std::string::npos) text += ".0";
  return text;
}

std::string FormatInt(long long value) { return std::to_string(value); }

std::string FormatCode(int code, const TextStyle& style) {
  if (!style.right_aligned_codes) return std::to_string(code);
  char buf[16];
  int n = std::snprintf(buf, sizeof buf, "%3d", code);
  return std::string(buf, n);
}

void AppendTag(std::string* out, int code, std::string_view value, const TextStyle& style) {
  const char* eol = style.line_ending == LineEnding::kCrLf ? "\r\n" : "\n";
  out->append(FormatCode(code, style));
  out->append(eol);
  out->append(value);
  out->append(eol);
}

std::string WriteTags(const Tags& tags, const TextStyle& style) {
  std::string out;
  size_t size = 0;
  for (const Tag& tag : tags) size += tag.value.size() + 8;
  out.reserve(size);
  for (const Tag& tag : tags) AppendTag(&out, tag.code, tag.value, style);
  return out;
}

std::string_view TrimBlanks(std::string_view text) {
  size_t begin = text.find_first_not_of(" \t");
  if (begin == std::string_view::npos) return {};
  size_t end = text.find_last_not_of(" \t");
  return text.substr(begin, end - begin + 1);
}

// Drops a leading '+' (from_chars does not take one), but not from "+-1".
static std::string_view WithoutPlus(std::string_view text) {
  if (text.size() > 1 && text[0] == '+' && text[1] != '-') text.remove_prefix(1);
  return text;
}

std::optional<long long> ParseInt(std::string_view value) {
  std::string_view text = WithoutPlus(TrimBlanks(value));
  long long result = 0;
  auto [end, ec] = std::from_chars(text.data(), text.data() + text.size(), result);
  if (ec != std::errc() || end != text.data() + text.size() || text.empty()) return std::nullopt;
  return result;
}

std::optional<double> ParseDouble(std::string_view value) {
  std::string_view text = WithoutPlus(TrimBlanks(value));
  double result = 0;
  auto [end, ec] = std::from_chars(text.data(), text.data() + text.size(), result);
  if (ec != std::errc() || end != text.data() + text.size() || text.empty() ||
      !std::isfinite(result)) {
    return std::nullopt;
  }
  return result;
}

}  // namespace dxf
