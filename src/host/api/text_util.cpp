#include "host/api/text_util.h"

#include <charconv>
#include <cstdio>

#include "dxf/decimal_numbers.h"

namespace host::api {

unsigned char ToUpper1252(unsigned char c) {
  if (c >= 'a' && c <= 'z') return static_cast<unsigned char>(c - 0x20);
  if (c >= 0xE0 && c <= 0xFE && c != 0xF7) return static_cast<unsigned char>(c - 0x20);
  switch (c) {
    case 0x9A:  // š
    case 0x9C:  // œ
    case 0x9E:  // ž
      return static_cast<unsigned char>(c - 0x10);
    case 0xFF:  // ÿ
      return 0x9F;
    default:
      return c;
  }
}

std::string ToUpper1252(std::string_view text) {
  std::string upper(text);
  for (char& c : upper) c = static_cast<char>(ToUpper1252(static_cast<unsigned char>(c)));
  return upper;
}

bool EqualsNoCase(std::string_view a, std::string_view b) {
  if (a.size() != b.size()) return false;
  for (size_t i = 0; i < a.size(); ++i) {
    // Names are mostly compared with themselves: equal bytes need no case.
    if (a[i] == b[i]) continue;
    if (ToUpper1252(static_cast<unsigned char>(a[i])) !=
        ToUpper1252(static_cast<unsigned char>(b[i]))) {
      return false;
    }
  }
  return true;
}

bool IsAlpha1252(unsigned char c) {
  if ((c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z')) return true;
  if (c >= 0xC0 && c != 0xD7 && c != 0xF7) return true;
  switch (c) {
    case 0x8A:
    case 0x8C:
    case 0x8E:
    case 0x9A:
    case 0x9C:
    case 0x9E:
    case 0x9F:
      return true;
    default:
      return false;
  }
}

double ParseReal(std::string_view text) {
  double value = 0.0;
  // Most values are plain decimals with nothing around them.
  if (dxf::ParsePlainDecimal(text, &value)) return value;
  text = TrimBlanks(text);
  if (!text.empty() && text[0] == '+') text.remove_prefix(1);
  if (dxf::ParsePlainDecimal(text, &value)) return value;
  auto [end, ec] = std::from_chars(text.data(), text.data() + text.size(), value);
  (void)end;
  return ec == std::errc() ? value : 0.0;
}

long long ParseInteger(std::string_view text) {
  long long value = 0;
  // Most values are plain integers with nothing before them.
  if (std::from_chars(text.data(), text.data() + text.size(), value).ec == std::errc())
    return value;
  text = TrimBlanks(text);
  if (!text.empty() && text[0] == '+') text.remove_prefix(1);
  auto [end, ec] = std::from_chars(text.data(), text.data() + text.size(), value);
  if (ec == std::errc()) return value;
  // Some writers put integers as "7.0"; take the whole part.
  double real = ParseReal(text);
  if (real >= -9.2e18 && real <= 9.2e18) return static_cast<long long>(real);
  return 0;
}

uint64_t ParseHandle(std::string_view text) {
  uint64_t value = 0;
  if (std::from_chars(text.data(), text.data() + text.size(), value, 16).ec == std::errc())
    return value;
  text = TrimBlanks(text);
  auto [end, ec] = std::from_chars(text.data(), text.data() + text.size(), value, 16);
  (void)end;
  return ec == std::errc() ? value : 0;
}

std::string FormatHandle(uint64_t value) {
  char text[24];
  std::snprintf(text, sizeof text, "%llX", static_cast<unsigned long long>(value));
  return text;
}

bool IsValidSymbolName(std::string_view name) {
  if (name.empty() || name.size() > 255) return false;
  for (char ch : name) {
    unsigned char c = static_cast<unsigned char>(ch);
    if (c < 0x20 || c == 0x7F) return false;
    switch (c) {
      case '<':
      case '>':
      case '/':
      case '\\':
      case '"':
      case ':':
      case ';':
      case '?':
      case '*':
      case '|':
      case '=':
      case '`':
        return false;
      default:
        break;
    }
  }
  return true;
}

}  // namespace host::api
