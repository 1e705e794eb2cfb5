// Code page 1252 and Unicode: the program keeps its texts in 1252, files
// from AC1021 on and the terminal speak UTF-8. One table for every layer.
#pragma once

#include <string>

namespace dxf {

// The character a 1252 byte stands for. The five unassigned bytes (0x81,
// 0x8D, 0x8F, 0x90, 0x9D) stand for the control characters of the same
// number, as Windows converts them, so that every byte survives a round trip.
char32_t UnicodeOf1252(unsigned char byte);

// The 1252 byte of a character; false when 1252 has none.
bool To1252(char32_t code_point, char* byte);

// Appends the UTF-8 form of a code point below 0x110000.
void AppendUtf8(std::string* out, char32_t code_point);

}  // namespace dxf
