// Uniform scale and move of entities, one rule per entity type, working on an
// entity's tags as they stand in the file. Values that do not change keep
// their text.
#pragma once

#include <string>
#include <string_view>

#include "dxf/tag.h"
#include "host/host_only.h"

namespace host::geometry {

struct Vec3 {
  double x = 0, y = 0, z = 0;
};

// p' = base + factor * (p - base) + offset: a scale about base, then a move.
struct Transform {
  double factor = 1.0;
  Vec3 base;
  Vec3 offset;
  Vec3 Apply(const Vec3& p) const;
  bool is_identity() const;
};

enum class TransformResult {
  kDone,         // the type's own rule was applied
  kPointsOnly,   // unknown type: its points were moved and scaled, nothing else
};

// Transforms one entity record (main entity, VERTEX, ATTRIB, SEQEND, or an
// entity inside a block definition). OCS entities are handled in their OCS.
TransformResult TransformEntity(dxf::Tags* tags, const Transform& t);

}  // namespace host::geometry
