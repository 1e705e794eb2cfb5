// The dimension variables an override can name: their DIMSTYLE group code
// and the kind of value, which decides the extended-data group the override
// is stored in (1040 real, 1070 integer, 1000 text, 1005 handle).
#pragma once

#include <string_view>

#include "host/host_only.h"

namespace host::commands {

enum class DimensionValue {
  kReal,        // 1040
  kInteger,     // 1070
  kColour,      // 1070; VonLayer 256, VonBlock 0
  kLineWeight,  // 1070; VonLayer -1, VonBlock -2, Vorgabe -3
  kText,        // 1000
  kTextStyle,   // 1005, the handle of the STYLE record named
};

struct DimensionVariable {
  std::string_view name;  // upper case, "DIMSCALE"
  int code;
  DimensionValue kind;
};

// The variable of that name (no regard to case), or nullptr.
const DimensionVariable* FindDimensionVariable(std::string_view name);

}  // namespace host::commands
