#include "host/database/record_scan.h"

#include <cstdio>

#include "dxf/tag.h"
#include "host/database/drawing.h"

namespace host {

std::optional<std::string_view> FindValue(std::string_view text, int code) {
  return RecordText(text).Find(code);
}

std::optional<std::string_view> FindCommonValue(std::string_view text, int code) {
  dxf::TagCursor cursor(text);
  dxf::TagView tag;
  if (!cursor.Next(&tag)) return std::nullopt;
  bool in_common = false;
  while (cursor.Next(&tag)) {
    if (tag.code == code) return tag.value;
    if (tag.code == 1001) break;
    if (tag.code == 100) {
      bool common = dxf::TrimBlanks(tag.value) == "AcDbEntity";
      if (in_common && !common) break;
      in_common = common;
    }
  }
  return std::nullopt;
}

std::string ReplaceValue(std::string_view text, const dxf::TagView& tag, std::string_view value) {
  size_t begin = static_cast<size_t>(tag.value.data() - text.data());
  std::string out;
  out.reserve(text.size() + value.size());
  out.append(text.substr(0, begin));
  out.append(value);
  out.append(text.substr(begin + tag.value.size()));
  return out;
}

std::optional<uint64_t> ParseHandle(std::string_view text) {
  text = dxf::TrimBlanks(text);
  if (text.empty() || text.size() > 16) return std::nullopt;
  uint64_t value = 0;
  for (char c : text) {
    int digit;
    if (c >= '0' && c <= '9') {
      digit = c - '0';
    } else if (c >= 'A' && c <= 'F') {
      digit = c - 'A' + 10;
    } else if (c >= 'a' && c <= 'f') {
      digit = c - 'a' + 10;
    } else {
      return std::nullopt;
    }
    value = value * 16 + static_cast<uint64_t>(digit);
  }
  return value;
}

std::string FormatHandle(uint64_t handle) {
  char buf[24];
  std::snprintf(buf, sizeof buf, "%llX", static_cast<unsigned long long>(handle));
  return buf;
}

}  // namespace host
