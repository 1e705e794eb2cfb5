#include <cstdio>

#include "dxf/document.h"
#include "dxf/error_text.h"

namespace dxf {

std::string Error::ToString() const {
  std::string out = file;
  if (line > 0) out += ":" + std::to_string(line);
  out += ": ";
  // -1 is an entity name's code, which never stands in a file; here it means
  // that no group code applies.
  if (code != -1) out += "group code " + std::to_string(code) + ": ";
  out += message;
  return out;
}

std::string QuoteFound(std::string_view text) {
  constexpr size_t kMaxShown = 40;
  std::string out = "\"";
  for (size_t i = 0; i < text.size() && i < kMaxShown; ++i) {
    unsigned char c = static_cast<unsigned char>(text[i]);
    if (c < 0x20 || c == 0x7f) {
      char buf[8];
      std::snprintf(buf, sizeof buf, "\\x%02X", c);
      out += buf;
    } else {
      out += static_cast<char>(c);
    }
  }
  out += text.size() > kMaxShown ? "\"..." : "\"";
  return out;
}

}  // namespace dxf
