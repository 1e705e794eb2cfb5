// Text bound for a terminal. Names and texts read from drawings, and file
// names, may hold control characters that would move the cursor, clear the
// screen or retitle the window; they are shown escaped instead.
#pragma once

#include <ostream>
#include <streambuf>
#include <string>
#include <string_view>

namespace cli {

// text (UTF-8) with every control character escaped: C0 and DEL as "\x1B",
// C1 (U+0080..U+009F) as "\u009B", and a byte that is no part of valid
// UTF-8 as "\x9B". Line ends are escaped too, unless keep_lines (for text
// of several lines, where tabs stay as well).
std::string TerminalText(std::string_view text, bool keep_lines = false);

// A stream that passes what is written to it on to target as TerminalText(
// ..., true), a write at a time (whole UTF-8 characters stay whole).
class TerminalStream : public std::ostream {
 public:
  explicit TerminalStream(std::ostream& target) : std::ostream(&buffer_), buffer_(target) {}

 private:
  class Buffer : public std::streambuf {
   public:
    explicit Buffer(std::ostream& target) : out_(target) {}

   protected:
    std::streamsize xsputn(const char* text, std::streamsize count) override;
    int_type overflow(int_type c) override;
    int sync() override;

   private:
    std::ostream& out_;
  };
  Buffer buffer_;
};

}  // namespace cli
