// Line stepping over a DXF text, shared by the reader and the tag cursor.
#pragma once

#include <cstring>
#include <string_view>

namespace dxf {

// The line starting at *pos without its line ending ("\n" or "\r\n"); *pos
// moves to the start of the next line. The last line may lack an ending.
inline std::string_view NextLine(std::string_view text, size_t* pos) {
  const char* begin = text.data() + *pos;
  size_t left = text.size() - *pos;
  const char* nl = static_cast<const char*>(std::memchr(begin, '\n', left));
  size_t length = nl ? static_cast<size_t>(nl - begin) : left;
  *pos += nl ? length + 1 : length;
  if (length > 0 && begin[length - 1] == '\r') --length;
  return std::string_view(begin, length);
}

// The group code of a code line the reader has already checked: blanks,
// an optional minus sign, digits, blanks.
inline int ParseCheckedCode(std::string_view line) {
  size_t i = 0;
  while (i < line.size() && (line[i] == ' ' || line[i] == '\t')) ++i;
  bool negative = i < line.size() && line[i] == '-';
  if (negative) ++i;
  int code = 0;
  while (i < line.size() && line[i] >= '0' && line[i] <= '9') code = code * 10 + (line[i++] - '0');
  return negative ? -code : code;
}

}  // namespace dxf
