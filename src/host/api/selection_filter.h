// The filter lists of acedSSGet: every item is a condition on one group of
// the entity, and all must hold. Strings (type 0, layer 8, layout 410, and
// other string groups) are wildcard patterns matched without regard to case;
// integers (67, 62, 370, ...) must be equal. Groups the entity leaves out
// count with their default (62 256, 370 -1, 6 "BYLAYER", 67 0).
#pragma once

#include <string>
#include <vector>

#include "host/api/wildcard.h"
#include "host/database/drawing.h"
#include "host/host_only.h"
#include "sdk/adslib.h"

namespace host::api {

struct FilterTerm {
  int code = 0;
  bool is_string = true;
  WildcardPattern pattern;  // code page 1252
  long long number = 0;
};

class SelectionFilter {
 public:
  // Reads a filter list; false for items it cannot take (logical operators,
  // reals, points, extended data).
  bool Parse(const resbuf* filter);
  bool Matches(const Drawing& drawing, EntityId id) const;
  bool empty() const { return terms_.empty(); }

 private:
  std::vector<FilterTerm> terms_;
};

}  // namespace host::api
