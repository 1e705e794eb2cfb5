// The text of a command-line script file, made ready for the command line.
#pragma once

#include <string>
#include <string_view>

namespace cli {

// Turns a script file's bytes into command-line input in code page 1252:
// a leading UTF-8 byte-order mark is dropped; CRLF and lone CR become LF;
// text that is valid UTF-8 and not plain ASCII is converted from UTF-8
// (characters 1252 lacks become "\U+XXXX"), anything else is taken as 1252
// already (the scripts of the old host are
// 1252 files); a last line without a line end gets one, so that it is
// entered like the others. Fails with a message (line number included) on
// a NUL byte, which no script text contains.
bool DecodeScriptText(std::string_view bytes, std::string* text, std::string* err);

}  // namespace cli
