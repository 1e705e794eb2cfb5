// Control characters from drawings and file names reach a terminal only
// escaped.

#include "cli/terminal_text.h"

#include <gtest/gtest.h>

#include <sstream>

namespace cli {
namespace {

TEST(TerminalTextTest, EveryControlCharacterIsEscaped) {
  // A retitle (OSC ... BEL), a screen clear, CR, DEL, the C1 CSI as a
  // character (U+009B) and as a lone byte.
  EXPECT_EQ(TerminalText("a\x1b]0;owned\x07"
                         "b\x1b[2Jc\rd\x7f"
                         "e\xc2\x9b"
                         "f\x9bg"),
            "a\\x1B]0;owned\\x07b\\x1B[2Jc\\x0Dd\\x7Fe\\u009Bf\\x9Bg");
  EXPECT_EQ(TerminalText("line\n\tnext"), "line\\x0A\\x09next");
  EXPECT_EQ(TerminalText("line\n\tnext\r", true), "line\n\tnext\\x0D");
  // Printable UTF-8 stays as it is; broken sequences show their bytes.
  const char* printable =
      "Ma\xc3\x9f"
      "e \xe2\x82\xac \xe2\x80\xba";  // Maße € ›
  EXPECT_EQ(TerminalText(printable), printable);
  EXPECT_EQ(TerminalText("\xc3(\xe2\x82\xc0\x80"), "\\xC3(\\xE2\\x82\\xC0\\x80");
  EXPECT_EQ(TerminalText(std::string("nul\0end", 7)), "nul\\x00end");

  std::ostringstream out;
  TerminalStream live(out);
  live << "layer \x1b[2J\n" << '\r' << std::flush;
  EXPECT_EQ(out.str(), "layer \\x1B[2J\n\\x0D");
}

}  // namespace
}  // namespace cli
