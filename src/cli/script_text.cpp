#include "cli/script_text.h"

#include <algorithm>

#include "dxf/document.h"
#include "host/ui/text_encoding.h"

namespace cli {

bool DecodeScriptText(std::string_view bytes, std::string* text, std::string* err) {
  constexpr std::string_view kBom = "\xEF\xBB\xBF";
  if (bytes.substr(0, kBom.size()) == kBom) bytes.remove_prefix(kBom.size());

  size_t nul = bytes.find('\0');
  if (nul != std::string_view::npos) {
    size_t line = 1 + std::count(bytes.begin(), bytes.begin() + nul, '\n');
    *err = "line " + std::to_string(line) + ": NUL byte; a script must be a text file";
    return false;
  }

  bool ascii = std::all_of(bytes.begin(), bytes.end(),
                           [](char c) { return static_cast<unsigned char>(c) < 0x80; });
  // Characters outside 1252 become "\U+XXXX", as in the drawings themselves,
  // so that a script can still name a layer or write a text with them.
  std::string converted = !ascii && host::IsValidUtf8(bytes)
                              ? dxf::Encoding::For("AC1021", "").Decode(bytes)
                              : std::string(bytes);

  text->clear();
  text->reserve(converted.size() + 1);
  for (size_t i = 0; i < converted.size(); ++i) {
    if (converted[i] == '\r') {
      text->push_back('\n');
      if (i + 1 < converted.size() && converted[i + 1] == '\n') ++i;
    } else {
      text->push_back(converted[i]);
    }
  }
  if (!text->empty() && text->back() != '\n') text->push_back('\n');
  return true;
}

}  // namespace cli
