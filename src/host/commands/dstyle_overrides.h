// The dimension-style overrides an entity carries in its "ACAD" extended
// data: 1000 "DSTYLE", 1002 "{", pairs of (1070 variable code, value), 1002
// "}". The value's group follows the variable: 1040 real, 1070 integer, 1000
// text, 1005 handle. Other "ACAD" data and other applications stay as they
// are.
#pragma once

#include <string>
#include <vector>

#include "dxf/tag.h"
#include "host/host_only.h"

namespace host::commands {

struct DstyleOverride {
  int variable_code = 0;  // e.g. 40 for DIMSCALE
  dxf::Tag value;         // e.g. {1040, "2.0"}
};

// The overrides in the order the entity lists them.
std::vector<DstyleOverride> ReadDstyleOverrides(const dxf::Tags& tags);

// Sets the overrides: a variable already listed gets the new value in its
// place, others are appended. The list, and the "ACAD" data, are created
// when missing.
void MergeDstyleOverrides(dxf::Tags* tags, const std::vector<DstyleOverride>& overrides);

// Removes the list (and the "ACAD" data when nothing else is left in it).
void ClearDstyleOverrides(dxf::Tags* tags);

}  // namespace host::commands
