// The entities the reference-dimension pick offers: every dimension, leader
// and tolerance of the drawing's spaces that carries a dimension-style
// override list ("ACAD" extended data, 1000 "DSTYLE"), described for the user
// with its DIMLFAC override (1070 144, 1040 value) when it has one.
#pragma once

#include <optional>
#include <string>
#include <vector>

#include "host/api/record_items.h"
#include "host/database/drawing.h"
#include "host/host_only.h"
#include "host/ui/user_channel.h"

namespace host::api {

struct DimensionStyleOverrides {
  bool present = false;           // the entity has a DSTYLE list
  std::optional<double> dimlfac;  // its 144 override
};
DimensionStyleOverrides ReadStyleOverrides(const Drawing& drawing, const ParsedRecord& rec);

struct PickChoice {
  EntityId entity = kNoEntity;
  PickCandidate candidate;
  double point[3] = {0, 0, 0};  // where the pick lands: text position or insertion point
};

// Without described, the candidates have no layout and no description.
std::vector<PickChoice> DimensionCandidates(const Drawing& drawing, bool described = true);

// The main entity of a space with that handle (without regard to case), or
// kNoEntity.
EntityId FindEntityByHandle(const Drawing& drawing, std::string_view handle);

}  // namespace host::api
