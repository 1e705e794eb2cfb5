// Code page 1252, the program's text inside, and UTF-8, the terminal's and
// the file system's, converted at the edges.
#pragma once

#include <string>
#include <string_view>

#include "host/host_only.h"

namespace host {

// Every 1252 byte becomes its character; the five bytes 1252 leaves
// undefined (0x81, 0x8D, 0x8F, 0x90, 0x9D) become the control characters of
// the same number, so that the conversion never loses a byte.
std::string Cp1252ToUtf8(std::string_view text);

// Characters 1252 cannot hold become '?'; lossless (if given) tells whether
// any did. Invalid UTF-8 bytes are taken as 1252 bytes.
std::string Utf8ToCp1252(std::string_view text, bool* lossless = nullptr);

bool IsValidUtf8(std::string_view text);

// Text from outside whose encoding is unknown (typed input, a script, a
// hand-edited file): valid UTF-8 is converted to 1252, anything else is
// taken as 1252 already.
std::string ExternalTextToCp1252(std::string_view text);

// Upper case in code page 1252 (ASCII and the Latin-1 letters), for
// comparisons without regard to case.
char FoldCase1252(char c);
bool EqualsNoCase1252(std::string_view a, std::string_view b);
bool StartsWithNoCase1252(std::string_view text, std::string_view prefix);

}  // namespace host
