#include "cli/terminal_text.h"

#include <cstdio>

namespace cli {

namespace {

// The length of the valid UTF-8 sequence at text[at], or 0.
size_t Utf8SequenceAt(std::string_view text, size_t at, unsigned* code_point) {
  auto byte = [&](size_t i) { return static_cast<unsigned char>(text[i]); };
  unsigned char lead = byte(at);
  size_t length = lead >= 0xF0 && lead <= 0xF4 ? 4 : lead >= 0xE0 ? 3 : lead >= 0xC2 ? 2 : 0;
  if (lead >= 0xF5 || length == 0 || at + length > text.size()) return 0;
  unsigned value = lead & (0x7F >> length);
  for (size_t i = 1; i < length; ++i) {
    if ((byte(at + i) & 0xC0) != 0x80) return 0;
    value = value << 6 | (byte(at + i) & 0x3F);
  }
  // Overlong forms, surrogates and values past U+10FFFF are not valid.
  static const unsigned kLeast[] = {0, 0, 0x80, 0x800, 0x10000};
  if (value < kLeast[length] || (value >= 0xD800 && value <= 0xDFFF) || value > 0x10FFFF) return 0;
  *code_point = value;
  return length;
}

}  // namespace

std::string TerminalText(std::string_view text, bool keep_lines) {
  std::string out;
  out.reserve(text.size());
  char escaped[16];
  for (size_t at = 0; at < text.size();) {
    unsigned char c = static_cast<unsigned char>(text[at]);
    if (c >= 0x20 && c < 0x7F) {
      out += static_cast<char>(c);
      ++at;
      continue;
    }
    if (c < 0x80) {
      if (keep_lines && (c == '\n' || c == '\t'))
        out += static_cast<char>(c);
      else if (std::snprintf(escaped, sizeof escaped, "\\x%02X", c) > 0)
        out += escaped;
      ++at;
      continue;
    }
    unsigned code_point = 0;
    size_t length = Utf8SequenceAt(text, at, &code_point);
    if (length == 0) {
      std::snprintf(escaped, sizeof escaped, "\\x%02X", c);
      out += escaped;
      ++at;
    } else if (code_point <= 0x9F) {
      std::snprintf(escaped, sizeof escaped, "\\u%04X", code_point);
      out += escaped;
      at += length;
    } else {
      out.append(text.substr(at, length));
      at += length;
    }
  }
  return out;
}

std::streamsize TerminalStream::Buffer::xsputn(const char* text, std::streamsize count) {
  out_ << TerminalText(std::string_view(text, static_cast<size_t>(count)), true);
  return count;
}

TerminalStream::Buffer::int_type TerminalStream::Buffer::overflow(int_type c) {
  if (traits_type::eq_int_type(c, traits_type::eof())) return traits_type::not_eof(c);
  char one = traits_type::to_char_type(c);
  xsputn(&one, 1);
  return c;
}

int TerminalStream::Buffer::sync() {
  out_.flush();
  return out_ ? 0 : -1;
}

}  // namespace cli
