// Text bound for a terminal. Names and texts read from drawings, and file
// names, may hold control characters that would move the cursor, clear the
// screen or retitle the window; they are shown escaped instead.
#pragma once

#include <string>
#include <string_view>

namespace cli {

// text (UTF-8) with every control character escaped: C0 and DEL as "\x1B",
// C1 (U+0080..U+009F) as "\u009B", and a byte that is no part of valid
// UTF-8 as "\x9B". Line ends are escaped too, unless keep_lines (for text
// of several lines, where tabs stay as well).
std::string TerminalText(std::string_view text, bool keep_lines = false);

}  // namespace cli
