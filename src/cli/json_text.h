// Small pieces of JSON text for the program's machine-readable output.
#pragma once

#include <string>

namespace cli {

// text (UTF-8) as a JSON string, quotes included; control characters
// escaped, bytes that are no UTF-8 replaced by U+FFFD.
std::string JsonString(const std::string& text);

// A number as JSON: shortest text that reads back the same; null for
// infinities and NaN, which JSON cannot hold.
std::string JsonNumber(double value);

}  // namespace cli
