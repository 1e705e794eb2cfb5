#include "dxf/text_case.h"

namespace dxf {

char UpperCase1252(char c) {
  unsigned char u = static_cast<unsigned char>(c);
  if (u >= 'a' && u <= 'z') return static_cast<char>(u - 32);
  // à..þ map to À..Þ, except ÷ (0xF7), which has no capital.
  if (u >= 0xE0 && u <= 0xFE && u != 0xF7) return static_cast<char>(u - 32);
  switch (u) {
    case 0x9A:
      return static_cast<char>(0x8A);  // š
    case 0x9C:
      return static_cast<char>(0x8C);  // œ
    case 0x9E:
      return static_cast<char>(0x8E);  // ž
    case 0xFF:
      return static_cast<char>(0x9F);  // ÿ
    default:
      return c;
  }
}

std::string UpperCase1252(std::string_view text) {
  std::string out(text);
  for (char& c : out) c = UpperCase1252(c);
  return out;
}

bool EqualNoCase(std::string_view a, std::string_view b) {
  if (a.size() != b.size()) return false;
  for (size_t i = 0; i < a.size(); ++i) {
    if (a[i] != b[i] && UpperCase1252(a[i]) != UpperCase1252(b[i])) return false;
  }
  return true;
}

}  // namespace dxf
