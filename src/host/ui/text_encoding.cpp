#include "host/ui/text_encoding.h"

#include <cstdint>

#include "dxf/code_page_1252.h"
#include "dxf/text_case.h"

namespace host {
namespace {

// Decodes one UTF-8 sequence at text[i]; returns its length, 0 when the
// bytes there are not valid UTF-8 (overlong forms and surrogates included).
size_t DecodeUtf8(std::string_view text, size_t i, uint32_t* cp) {
  auto byte = [&](size_t k) { return static_cast<unsigned char>(text[k]); };
  unsigned char b = byte(i);
  size_t length;
  uint32_t value, min;
  if (b < 0x80) {
    *cp = b;
    return 1;
  } else if ((b & 0xE0) == 0xC0) {
    length = 2, value = b & 0x1F, min = 0x80;
  } else if ((b & 0xF0) == 0xE0) {
    length = 3, value = b & 0x0F, min = 0x800;
  } else if ((b & 0xF8) == 0xF0) {
    length = 4, value = b & 0x07, min = 0x10000;
  } else {
    return 0;
  }
  if (i + length > text.size()) return 0;
  for (size_t k = 1; k < length; ++k) {
    if ((byte(i + k) & 0xC0) != 0x80) return 0;
    value = (value << 6) | (byte(i + k) & 0x3F);
  }
  if (value < min || value > 0x10FFFF || (value >= 0xD800 && value <= 0xDFFF)) return 0;
  *cp = value;
  return length;
}

int Cp1252Byte(uint32_t cp) {
  char byte;
  return dxf::To1252(cp, &byte) ? static_cast<unsigned char>(byte) : -1;
}

}  // namespace

std::string Cp1252ToUtf8(std::string_view text) {
  std::string out;
  out.reserve(text.size() + text.size() / 8);
  for (char c : text) {
    auto b = static_cast<unsigned char>(c);
    if (b < 0x80)
      out += c;
    else
      dxf::AppendUtf8(&out, dxf::UnicodeOf1252(b));
  }
  return out;
}

std::string Utf8ToCp1252(std::string_view text, bool* lossless) {
  std::string out;
  out.reserve(text.size());
  bool exact = true;
  for (size_t i = 0; i < text.size();) {
    uint32_t cp;
    size_t n = DecodeUtf8(text, i, &cp);
    if (n == 0) {  // not UTF-8: the byte is a 1252 byte already
      out += text[i++];
      continue;
    }
    int b = Cp1252Byte(cp);
    if (b < 0) {
      out += '?';
      exact = false;
    } else {
      out += static_cast<char>(b);
    }
    i += n;
  }
  if (lossless) *lossless = exact;
  return out;
}

bool IsValidUtf8(std::string_view text) {
  for (size_t i = 0; i < text.size();) {
    uint32_t cp;
    size_t n = DecodeUtf8(text, i, &cp);
    if (n == 0) return false;
    i += n;
  }
  return true;
}

std::string ExternalTextToCp1252(std::string_view text) {
  if (!IsValidUtf8(text)) return std::string(text);
  return Utf8ToCp1252(text);
}

char FoldCase1252(char c) { return dxf::UpperCase1252(c); }

bool EqualsNoCase1252(std::string_view a, std::string_view b) {
  if (a.size() != b.size()) return false;
  for (size_t i = 0; i < a.size(); ++i)
    if (FoldCase1252(a[i]) != FoldCase1252(b[i])) return false;
  return true;
}

bool StartsWithNoCase1252(std::string_view text, std::string_view prefix) {
  return text.size() >= prefix.size() && EqualsNoCase1252(text.substr(0, prefix.size()), prefix);
}

}  // namespace host
