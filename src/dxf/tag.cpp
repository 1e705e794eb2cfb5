#include "dxf/tag.h"

#include <charconv>
#include <cmath>
#include <cstdio>
#include <cstring>

#include "dxf/decimal_numbers.h"

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

void FormatDouble(double value, std::string* text) {
  if (!std::isfinite(value)) {
    *text = "0.0";
    return;
  }
  if (FormatPlainDecimal(value, text)) {
    if (text->find('.') == std::string::npos) text->append(".0");
    return;
  }
  char buf[64];
  auto [end, ec] = std::to_chars(buf, buf + sizeof buf, value);
  text->assign(buf, end);
  // to_chars writes 2.0 as "2"; DXF writers keep the decimal point so that
  // the value reads as a real number everywhere.
  if (text->find_first_of(".e") == std::string::npos) text->append(".0");
}

std::string FormatDouble(double value) {
  std::string text;
  FormatDouble(value, &text);
  return text;
}

std::string FormatInt(long long value) { return std::to_string(value); }

Tags TagsOf(const std::vector<TagView>& views) {
  Tags tags;
  tags.reserve(views.size());
  for (const TagView& view : views) tags.emplace_back(view.code, std::string(view.value));
  return tags;
}

std::vector<TagView> ViewsOf(const Tags& tags) {
  std::vector<TagView> views(tags.size());
  for (size_t i = 0; i < tags.size(); ++i) {
    views[i].code = tags[i].code;
    views[i].value = tags[i].value;
  }
  return views;
}

namespace {

// Writes a group code as the file's style wants it into buf, which has room
// for any int, and returns its length. Records are written tag by tag, so
// this runs for every tag of every changed record: no printf, no string.
size_t FormatCodeInto(int code, const TextStyle& style, char* buf) {
  if (code >= 0 && code <= 999 && style.right_aligned_codes) {
    // The common case: three columns, blanks before the digits.
    buf[0] = code >= 100 ? static_cast<char>('0' + code / 100) : ' ';
    buf[1] = code >= 10 ? static_cast<char>('0' + code / 10 % 10) : ' ';
    buf[2] = static_cast<char>('0' + code % 10);
    return 3;
  }
  char digits[12];
  size_t n = 0;
  unsigned value = code < 0 ? 0u - static_cast<unsigned>(code) : static_cast<unsigned>(code);
  do {
    digits[n++] = static_cast<char>('0' + value % 10);
    value /= 10;
  } while (value != 0);
  if (code < 0) digits[n++] = '-';
  size_t length = 0;
  if (style.right_aligned_codes)
    while (length + n < 3) buf[length++] = ' ';
  while (n > 0) buf[length++] = digits[--n];
  return length;
}

}  // namespace

std::string FormatCode(int code, const TextStyle& style) {
  char buf[16];
  return std::string(buf, FormatCodeInto(code, style, buf));
}

void AppendTag(std::string* out, int code, std::string_view value, const TextStyle& style) {
  std::string_view eol = style.line_ending == LineEnding::kCrLf ? "\r\n" : "\n";
  // The tag is put together whole and appended at once: code line, value
  // and both line ends (a longer value is appended by itself).
  char line[96];
  size_t length = FormatCodeInto(code, style, line);
  std::memcpy(line + length, eol.data(), eol.size());
  length += eol.size();
  if (length + value.size() + eol.size() > sizeof line) {
    out->append(line, length);
    out->append(value);
    out->append(eol);
    return;
  }
  std::memcpy(line + length, value.data(), value.size());
  length += value.size();
  std::memcpy(line + length, eol.data(), eol.size());
  out->append(line, length + eol.size());
}

std::string WriteTags(const Tags& tags, const TextStyle& style) {
  std::string out;
  size_t size = 0;
  for (const Tag& tag : tags) size += tag.value.size() + 8;
  out.reserve(size);
  for (const Tag& tag : tags) AppendTag(&out, tag.code, tag.value, style);
  return out;
}

// Drops a leading '+' (from_chars does not take one), but not from "+-1".
static std::string_view WithoutPlus(std::string_view text) {
  if (text.size() > 1 && text[0] == '+' && text[1] != '-') text.remove_prefix(1);
  return text;
}

std::optional<long long> ParseInt(std::string_view value) {
  long long result = 0;
  // Most values are plain integers with nothing around them.
  const char* value_end = value.data() + value.size();
  if (auto plain = std::from_chars(value.data(), value_end, result);
      plain.ec == std::errc() && plain.ptr == value_end)
    return result;
  std::string_view text = WithoutPlus(TrimBlanks(value));
  auto [end, ec] = std::from_chars(text.data(), text.data() + text.size(), result);
  if (ec != std::errc() || end != text.data() + text.size() || text.empty()) return std::nullopt;
  return result;
}

std::optional<double> ParseDouble(std::string_view value) {
  double result = 0;
  // Most values are plain decimals with nothing around them.
  if (ParsePlainDecimal(value, &result)) return result;
  std::string_view text = WithoutPlus(TrimBlanks(value));
  if (ParsePlainDecimal(text, &result)) return result;
  auto [end, ec] = std::from_chars(text.data(), text.data() + text.size(), result);
  if (ec != std::errc() || end != text.data() + text.size() || text.empty() ||
      !std::isfinite(result)) {
    return std::nullopt;
  }
  return result;
}

}  // namespace dxf
