#include "cli/json_text.h"

#include <charconv>
#include <cmath>
#include <cstdio>

namespace cli {

namespace {

// Length of the well-formed UTF-8 sequence at text[at], or 0.
size_t Utf8Length(const std::string& text, size_t at) {
  auto byte = [&](size_t i) { return static_cast<unsigned char>(text[i]); };
  unsigned char lead = byte(at);
  size_t length = 0;
  if (lead < 0x80)
    length = 1;
  else if ((lead >> 5) == 0x6)
    length = 2;
  else if ((lead >> 4) == 0xE)
    length = 3;
  else if ((lead >> 3) == 0x1E)
    length = 4;
  if (length == 0 || at + length > text.size()) return 0;
  for (size_t i = 1; i < length; ++i)
    if ((byte(at + i) & 0xC0) != 0x80) return 0;
  // Overlong forms and surrogates are not UTF-8 either.
  if (length == 2 && lead < 0xC2) return 0;
  if (length == 3 && lead == 0xE0 && byte(at + 1) < 0xA0) return 0;
  if (length == 3 && lead == 0xED && byte(at + 1) >= 0xA0) return 0;
  if (length == 4 && (lead > 0xF4 || (lead == 0xF0 && byte(at + 1) < 0x90) ||
                      (lead == 0xF4 && byte(at + 1) >= 0x90)))
    return 0;
  return length;
}

}  // namespace

std::string JsonString(const std::string& text) {
  std::string json = "\"";
  for (size_t at = 0; at < text.size();) {
    unsigned char c = static_cast<unsigned char>(text[at]);
    if (c == '"' || c == '\\') {
      json += '\\';
      json += static_cast<char>(c);
    } else if (c == '\n') {
      json += "\\n";
    } else if (c == '\t') {
      json += "\\t";
    } else if (c == '\r') {
      json += "\\r";
    } else if (c < 0x20 || c == 0x7F) {
      char escaped[8];
      std::snprintf(escaped, sizeof escaped, "\\u%04x", c);
      json += escaped;
    } else if (c >= 0x80) {
      size_t length = Utf8Length(text, at);
      if (length == 0) {
        json += "\\ufffd";
        ++at;
        continue;
      }
      json.append(text, at, length);
      at += length;
      continue;
    } else {
      json += static_cast<char>(c);
    }
    ++at;
  }
  return json + "\"";
}

std::string JsonNumber(double value) {
  if (!std::isfinite(value)) return "null";
  char text[32];
  auto [end, ec] = std::to_chars(text, text + sizeof text, value);
  return ec == std::errc() ? std::string(text, end) : "null";
}

}  // namespace cli
