// Handles a drawing should not have: the same handle on two records, a
// handle that is no hex number, a $HANDSEED at or below a handle in use.
// Another program reading such a file may take one record for another; the
// host itself never hands out a handle in use whatever the file says
// (Drawing::NewHandle counts on from above every handle there is).
#pragma once

#include <cstddef>
#include <string>
#include <vector>

#include "host/database/drawing.h"

namespace host {

struct HandleProblems {
  // One line each, code page 1252: "line 812: the LINE's handle 2F is also
  // the handle of the CIRCLE at line 640". At most kMaxListed.
  std::vector<std::string> listed;
  size_t total = 0;  // all the problems found, listed or not
  bool empty() const { return total == 0; }
};

constexpr size_t kMaxListedHandleProblems = 20;

// Looks at each record's own handle (its first 5, or 105 in a DIMSTYLE,
// before the subclass data) in every section. A drawing without handles
// (R12 without $HANDLING) has none to check.
HandleProblems FindHandleProblems(const Drawing& drawing);

}  // namespace host
