// Small text helpers of the SDK functions: code-page-1252 case folding, the
// numbers of group-code values, handles.
#pragma once

#include <cstdarg>
#include <cstdint>
#include <string>
#include <string_view>

#include "host/host_only.h"

namespace host::api {

// Upper case in code page 1252 (a-z, the accented letters, š œ ž ÿ).
unsigned char ToUpper1252(unsigned char c);
std::string ToUpper1252(std::string_view text);
bool EqualsNoCase(std::string_view a, std::string_view b);
// A letter of code page 1252, for the "@" wildcard.
bool IsAlpha1252(unsigned char c);

// A value line without the blanks around it.
inline std::string_view TrimBlanks(std::string_view text) {
  size_t begin = 0;
  size_t end = text.size();
  while (begin < end && (text[begin] == ' ' || text[begin] == '\t')) ++begin;
  while (end > begin && (text[end - 1] == ' ' || text[end - 1] == '\t' || text[end - 1] == '\r')) {
    --end;
  }
  return text.substr(begin, end - begin);
}

// Numbers of group-code values, as a CAD reader takes them: surrounding
// blanks ignored, a leading "+" allowed. Text that is no number reads as 0.
double ParseReal(std::string_view text);
long long ParseInteger(std::string_view text);

// A handle's value (hex); 0 for text that is no handle.
uint64_t ParseHandle(std::string_view text);
std::string FormatHandle(uint64_t value);  // upper-case hex, no leading zeros

// Whether a symbol name (layer, linetype) may be used: not empty, no control
// characters and none of < > / \ " : ; ? * | = `.
bool IsValidSymbolName(std::string_view name);

// printf-style formatting into a string of any length.
std::string FormatVa(const char* format, va_list args);

}  // namespace host::api
