#include "cli/text_width.h"

#include <algorithm>

namespace cli {

size_t DisplayWidth(const std::string& text) {
  // Continuation bytes (10xxxxxx) add no column.
  return static_cast<size_t>(std::count_if(text.begin(), text.end(), [](char c) {
    return (static_cast<unsigned char>(c) & 0xC0) != 0x80;
  }));
}

}  // namespace cli
