// Helpers for the geometry tests: reading values back out of tags.
#pragma once

#include <string>
#include <vector>

#include "dxf/tag.h"
#include "host/host_only.h"

namespace host::geometry::testing {

// The value text of the nth tag with code (0-based), or "<absent>".
inline std::string Text(const dxf::Tags& tags, int code, int nth = 0) {
  for (const dxf::Tag& tag : tags) {
    if (tag.code == code && nth-- == 0) return tag.value;
  }
  return "<absent>";
}

// The number of the nth tag with code; NaN when absent or not a number.
inline double Num(const dxf::Tags& tags, int code, int nth = 0) {
  return dxf::ParseDouble(Text(tags, code, nth)).value_or(std::numeric_limits<double>::quiet_NaN());
}

inline int Count(const dxf::Tags& tags, int code) {
  int n = 0;
  for (const dxf::Tag& tag : tags) n += tag.code == code;
  return n;
}

// Views of tags, as the database hands them out.
inline std::vector<dxf::TagView> Views(const dxf::Tags& tags) {
  std::vector<dxf::TagView> views;
  for (const dxf::Tag& tag : tags) views.push_back({tag.code, {}, tag.value});
  return views;
}

}  // namespace host::geometry::testing
