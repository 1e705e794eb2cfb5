// The texts of a drawing as a picture shows them: code page 1252 with the
// drawing's escapes turned into UTF-8 characters, MTEXT without its
// formatting codes, and escaped for XML.
#pragma once

#include <string>
#include <string_view>
#include <vector>

#include "host/host_only.h"

namespace host::render {

// A TEXT, ATTRIB or MTEXT line (code page 1252) as UTF-8: "\U+XXXX" becomes
// its character, the control codes "%%d", "%%p", "%%c" the degree,
// plus-minus and diameter signs, "%%%" a percent sign and "%%nnn" the
// character of that number; the underline, overline and strike-through
// toggles ("%%u", "%%o", "%%k") are dropped. Control characters are dropped
// as well, so that the result is fit for XML.
std::string ShownText(std::string_view text_1252);

// The lines of an MTEXT content (code page 1252) without formatting: "\P"
// and "\N" end a line, stacked fractions "\S1^2;" show as "1/2", groups
// "{...}" and codes such as "\H2.5;", "\fArial|b0;", "\L" are taken out,
// "\~", "\\", "\{", "\}" become their characters. Escapes that ShownText
// resolves ("\U+XXXX", "%%d") are kept for it.
std::vector<std::string> MTextLines(std::string_view content_1252);

// UTF-8 text escaped for XML content and attribute values (& < > " ').
std::string XmlEscape(std::string_view utf8);

// Appends the UTF-8 form of a Unicode code point (invalid ones as U+FFFD).
void AppendUtf8(char32_t code_point, std::string* out);

// The character a code page 1252 byte stands for.
char32_t Cp1252CodePoint(unsigned char byte);

}  // namespace host::render
