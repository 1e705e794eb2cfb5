// Comparing names without regard to case, in the program's code page 1252:
// ASCII letters and the accented Latin letters (ä/Ä, é/É, š/Š, ÿ/Ÿ, ...).
#pragma once

#include <string>
#include <string_view>

namespace dxf {

char UpperCase1252(char c);
std::string UpperCase1252(std::string_view text);
bool EqualNoCase(std::string_view a, std::string_view b);

}  // namespace dxf
