// Line stepping over a DXF text, shared by the reader and the tag cursor.
#pragma once

#include <bit>
#include <cstdint>
#include <cstring>
#include <string_view>

namespace dxf {

// The number of bytes before the first '\n' in p[0, left), or left. DXF
// lines are short (a code, a number, a name), so a library call per line
// costs more than the search: this looks at eight bytes a step instead.
inline size_t LineLength(const char* p, size_t left) {
  size_t i = 0;
  if constexpr (std::endian::native == std::endian::little) {
    constexpr uint64_t kOnes = 0x0101010101010101ULL;
    constexpr uint64_t kHighs = 0x8080808080808080ULL;
    for (; i + 8 <= left; i += 8) {
      uint64_t word;
      std::memcpy(&word, p + i, 8);
      uint64_t x = word ^ (kOnes * '\n');
      // The lowest byte flagged here is the first '\n' (flags above it can
      // be false ones, never below).
      uint64_t found = (x - kOnes) & ~x & kHighs;
      if (found != 0) return i + static_cast<size_t>(std::countr_zero(found) / 8);
    }
  }
  while (i < left && p[i] != '\n') ++i;
  return i;
}

// The line starting at *pos without its line ending ("\n" or "\r\n"); *pos
// moves to the start of the next line. The last line may lack an ending.
inline std::string_view NextLine(std::string_view text, size_t* pos) {
  const char* begin = text.data() + *pos;
  size_t left = text.size() - *pos;
  size_t length = LineLength(begin, left);
  *pos += length < left ? length + 1 : length;
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
