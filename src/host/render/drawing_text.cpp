#include "host/render/drawing_text.h"

#include <cctype>
#include <charconv>

#include "dxf/code_page_1252.h"

namespace host::render {

namespace {

bool IsHexDigit(char c) { return std::isxdigit(static_cast<unsigned char>(c)) != 0; }

// XML 1.0 leaves out most control characters; C1 controls (the undefined
// 1252 bytes) are allowed there but HTML refuses them.
bool ShowsInXml(char32_t c) {
  return c == '\t' || (c >= 0x20 && c < 0x7F) || (c > 0x9F && c != 0xFFFE && c != 0xFFFF);
}

void AppendShown(char32_t c, std::string* out) {
  if (ShowsInXml(c)) AppendUtf8(c, out);
}

// The length of a "\U+XXXX" escape at i (four hex digits), or 0.
size_t UnicodeEscapeAt(std::string_view text, size_t i, char32_t* code_point) {
  if (text.substr(i, 3) != "\\U+" && text.substr(i, 3) != "\\u+") return 0;
  if (i + 7 > text.size()) return 0;
  std::string_view digits = text.substr(i + 3, 4);
  for (char c : digits) {
    if (!IsHexDigit(c)) return 0;
  }
  unsigned value = 0;
  std::from_chars(digits.data(), digits.data() + digits.size(), value, 16);
  *code_point = value;
  return 7;
}

}  // namespace

char32_t Cp1252CodePoint(unsigned char byte) { return dxf::UnicodeOf1252(byte); }

void AppendUtf8(char32_t c, std::string* out) {
  if (c > 0x10FFFF || (c >= 0xD800 && c <= 0xDFFF)) c = 0xFFFD;
  dxf::AppendUtf8(out, c);
}

std::string ShownText(std::string_view text) {
  std::string out;
  out.reserve(text.size());
  for (size_t i = 0; i < text.size();) {
    char32_t code_point = 0;
    if (size_t length = UnicodeEscapeAt(text, i, &code_point)) {
      AppendShown(code_point, &out);
      i += length;
      continue;
    }
    if (text.substr(i, 2) == "%%" && i + 2 < text.size()) {
      char code = static_cast<char>(std::tolower(static_cast<unsigned char>(text[i + 2])));
      switch (code) {
        case 'd':
          AppendUtf8(0x00B0, &out);
          i += 3;
          continue;
        case 'p':
          AppendUtf8(0x00B1, &out);
          i += 3;
          continue;
        case 'c':
          AppendUtf8(0x00D8, &out);
          i += 3;
          continue;
        case '%':
          out += '%';
          i += 3;
          continue;
        case 'u':
        case 'o':
        case 'k':
          i += 3;
          continue;
        default:
          break;
      }
      if (std::isdigit(static_cast<unsigned char>(code))) {
        size_t end = i + 2;
        unsigned number = 0;
        while (end < text.size() && end < i + 5 &&
               std::isdigit(static_cast<unsigned char>(text[end]))) {
          number = number * 10 + static_cast<unsigned>(text[end] - '0');
          ++end;
        }
        if (number < 256) AppendShown(Cp1252CodePoint(static_cast<unsigned char>(number)), &out);
        i = end;
        continue;
      }
    }
    AppendShown(Cp1252CodePoint(static_cast<unsigned char>(text[i])), &out);
    ++i;
  }
  return out;
}

std::vector<std::string> MTextLines(std::string_view text) {
  std::vector<std::string> lines(1);
  for (size_t i = 0; i < text.size(); ++i) {
    char c = text[i];
    if (c == '{' || c == '}') continue;  // groups only scope formatting
    if (c != '\\' || i + 1 >= text.size()) {
      lines.back() += c;
      continue;
    }
    char code = text[i + 1];
    switch (code) {
      case 'P':
      case 'N':  // a column break shows as a line break
      case 'X':
        lines.emplace_back();
        ++i;
        break;
      case '~':
        lines.back() += '\xA0';
        ++i;
        break;
      case '\\':
      case '{':
      case '}':
        lines.back() += code;
        ++i;
        break;
      case 'L':
      case 'l':
      case 'O':
      case 'o':
      case 'K':
      case 'k':
        ++i;  // toggles without arguments
        break;
      case 'U':
      case 'u':
        lines.back() += c;  // "\U+XXXX": for ShownText
        break;
      case 'S': {
        // "\Stop^bottom;" (also with / or #) shows top/bottom.
        size_t end = text.find(';', i + 2);
        if (end == std::string_view::npos) end = text.size();
        for (char s : text.substr(i + 2, end - i - 2))
          lines.back() += (s == '^' || s == '#') ? '/' : s;
        i = end;
        break;
      }
      case 'A':
      case 'C':
      case 'c':
      case 'F':
      case 'f':
      case 'H':
      case 'h':
      case 'Q':
      case 'q':
      case 'T':
      case 't':
      case 'W':
      case 'w':
      case 'p': {
        // Codes with an argument that a semicolon ends.
        size_t end = text.find(';', i + 2);
        i = end == std::string_view::npos ? text.size() : end;
        break;
      }
      default:
        lines.back() += code;  // an unknown code: its character stands
        ++i;
        break;
    }
  }
  return lines;
}

std::string XmlEscape(std::string_view text) {
  std::string out;
  out.reserve(text.size());
  for (char c : text) {
    switch (c) {
      case '&':
        out += "&amp;";
        break;
      case '<':
        out += "&lt;";
        break;
      case '>':
        out += "&gt;";
        break;
      case '"':
        out += "&quot;";
        break;
      case '\'':
        out += "&#39;";
        break;
      default:
        out += c;
    }
  }
  return out;
}

}  // namespace host::render
