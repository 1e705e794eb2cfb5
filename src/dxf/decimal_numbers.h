// Quick exact paths for the numbers drawings are full of: plain decimals
// such as "12.5" or "-0.25". Every conversion reads and writes coordinates
// by the million; the general library routines cost several times more.
// Each function declines (returns false) where it cannot be sure of giving
// exactly what the general routine gives, and the caller falls back to it.
#pragma once

#include <string>
#include <string_view>

namespace dxf {

// Reads "[-]digits[.digits]" with at most 15 digits in all: such a value is
// an exact integer over an exact power of ten, so one division gives the
// correctly rounded double.
bool ParsePlainDecimal(std::string_view text, double* value);

// Writes value as std::to_chars does (the shortest text that reads back,
// fixed notation unless scientific is shorter) when that text is a plain
// decimal of at most nine fraction digits below 2^50.
bool FormatPlainDecimal(double value, std::string* text);

}  // namespace dxf
