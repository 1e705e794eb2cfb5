#include <cstdio>

#include "dxf/code_page_1252.h"
#include "dxf/document.h"

namespace dxf {
namespace {

void AppendEscape(std::string* out, char32_t unit) {
  char buf[16];
  std::snprintf(buf, sizeof buf, "\\U+%04X", static_cast<unsigned>(unit));
  *out += buf;
}

// Decodes one UTF-8 sequence at text[*i]; false (and *i unchanged) when the
// bytes there are not valid UTF-8 (bad lead, missing continuation, overlong
// form, surrogate, beyond U+10FFFF).
bool DecodeUtf8(std::string_view text, size_t* i, char32_t* cp) {
  unsigned char lead = static_cast<unsigned char>(text[*i]);
  size_t length;
  char32_t value;
  unsigned char min_second = 0x80, max_second = 0xBF;
  if (lead >= 0xC2 && lead <= 0xDF) {
    length = 2;
    value = lead & 0x1F;
  } else if (lead >= 0xE0 && lead <= 0xEF) {
    length = 3;
    value = lead & 0x0F;
    if (lead == 0xE0) min_second = 0xA0;
    if (lead == 0xED) max_second = 0x9F;
  } else if (lead >= 0xF0 && lead <= 0xF4) {
    length = 4;
    value = lead & 0x07;
    if (lead == 0xF0) min_second = 0x90;
    if (lead == 0xF4) max_second = 0x8F;
  } else {
    return false;
  }
  if (*i + length > text.size()) return false;
  for (size_t k = 1; k < length; ++k) {
    unsigned char c = static_cast<unsigned char>(text[*i + k]);
    unsigned char lo = k == 1 ? min_second : 0x80, hi = k == 1 ? max_second : 0xBF;
    if (c < lo || c > hi) return false;
    value = (value << 6) | (c & 0x3F);
  }
  *i += length;
  *cp = value;
  return true;
}

int HexDigit(char c) {
  if (c >= '0' && c <= '9') return c - '0';
  if (c >= 'A' && c <= 'F') return c - 'A' + 10;
  if (c >= 'a' && c <= 'f') return c - 'a' + 10;
  return -1;
}

// Reads "\U+XXXX" at text[i] (four hex digits); -1 when there is none.
long EscapeAt(std::string_view text, size_t i) {
  if (i + 7 > text.size() || text[i] != '\\' || (text[i + 1] != 'U' && text[i + 1] != 'u') ||
      text[i + 2] != '+') {
    return -1;
  }
  long value = 0;
  for (size_t k = 3; k < 7; ++k) {
    int d = HexDigit(text[i + k]);
    if (d < 0) return -1;
    value = value * 16 + d;
  }
  return value;
}

}  // namespace

Encoding Encoding::For(const std::string& version, const std::string& codepage) {
  // From AC1021 on the file is UTF-8 whatever $DWGCODEPAGE says. Before, the
  // bytes are the drawing's code page, which for the files this program
  // reads is 1252 (or a subset of it); other code pages pass through as
  // they stand.
  (void)codepage;
  Encoding encoding;
  encoding.utf8_ = version >= "AC1021";
  return encoding;
}

std::string Encoding::Decode(std::string_view file_text) const {
  if (!utf8_) return std::string(file_text);
  std::string out;
  out.reserve(file_text.size());
  size_t i = 0;
  while (i < file_text.size()) {
    unsigned char c = static_cast<unsigned char>(file_text[i]);
    if (c < 0x80) {
      out += static_cast<char>(c);
      ++i;
      continue;
    }
    char32_t cp = 0;
    if (!DecodeUtf8(file_text, &i, &cp)) {
      out += static_cast<char>(c);  // not UTF-8: the byte is kept as it is
      ++i;
      continue;
    }
    char byte;
    if (To1252(cp, &byte)) {
      out += byte;
    } else if (cp < 0x10000) {
      AppendEscape(&out, cp);
    } else {
      // Beyond the 16-bit range the escape takes the two UTF-16 halves.
      cp -= 0x10000;
      AppendEscape(&out, 0xD800 + (cp >> 10));
      AppendEscape(&out, 0xDC00 + (cp & 0x3FF));
    }
  }
  return out;
}

std::string Encoding::Encode(std::string_view text_1252) const {
  if (!utf8_) return std::string(text_1252);
  std::string out;
  out.reserve(text_1252.size() + text_1252.size() / 4);
  size_t i = 0;
  while (i < text_1252.size()) {
    long unit = EscapeAt(text_1252, i);
    if (unit >= 0xD800 && unit <= 0xDBFF) {
      long low = EscapeAt(text_1252, i + 7);
      if (low >= 0xDC00 && low <= 0xDFFF) {
        AppendUtf8(&out, 0x10000 + ((unit - 0xD800) << 10) + (low - 0xDC00));
        i += 14;
        continue;
      }
    }
    char byte;
    // An escape of a character that 1252 cannot hold is the character;
    // any other escape was written so in the drawing and stays as text.
    if (unit >= 0 && !(unit >= 0xD800 && unit <= 0xDFFF) &&
        !To1252(static_cast<char32_t>(unit), &byte)) {
      AppendUtf8(&out, static_cast<char32_t>(unit));
      i += 7;
      continue;
    }
    AppendUtf8(&out, UnicodeOf1252(static_cast<unsigned char>(text_1252[i])));
    ++i;
  }
  return out;
}

}  // namespace dxf
