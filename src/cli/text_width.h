// How wide a UTF-8 text shows in a terminal, for lining up columns.
#pragma once

#include <string>

namespace cli {

// Columns a UTF-8 text takes: one per character (the program's texts hold
// Latin letters, no wide or combining characters).
size_t DisplayWidth(const std::string& text);

}  // namespace cli
