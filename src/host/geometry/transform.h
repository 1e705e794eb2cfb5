// Uniform scale and move of entities, one rule per entity type, working on an
// entity's tags as they stand in the file. Values that do not change keep
// their text.
#pragma once

#include <span>
#include <string>
#include <string_view>
#include <vector>

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
  // A finite factor above zero and finite points. Only such transforms are
  // applied: a factor of zero would collapse the entities and a negative
  // one would turn them inside out (radii and heights cannot be negative).
  bool is_valid() const;
};

enum class TransformResult {
  kDone,        // the type's own rule was applied
  kPointsOnly,  // unknown type (or one whose data cannot be transformed, such
                // as ACIS solids): its points were moved and scaled, nothing else
  kInvalid,     // the transform is not valid (see Transform::is_valid): nothing changed
};

// What a VERTEX takes from the POLYLINE it belongs to: a VERTEX has no
// extrusion of its own, and a 2D polyline's vertices lie in the polyline's
// OCS while those of 3D polylines and meshes are world points.
struct OwnerFrame {
  Vec3 extrusion{0, 0, 1};
  bool is_3d = false;  // 3D polyline, polygon mesh or polyface mesh
};
OwnerFrame OwnerFrameOf(const dxf::Tags& polyline);
OwnerFrame OwnerFrameOf(const std::vector<dxf::TagView>& polyline);

// Transforms one entity record (main entity, VERTEX, ATTRIB, SEQEND, or an
// entity inside a block definition). OCS entities are handled in their OCS.
// Extended data is transformed as its group codes say (1011 moved and scaled,
// 1012 and 1041/1042 scaled, the rest unchanged). Values that are not finite
// numbers are left as they stand. A VERTEX transformed through the first
// overload is taken as a vertex of a 2D polyline in the world frame.
TransformResult TransformEntity(dxf::Tags* tags, const Transform& t);
// What TransformEntity gives for a record of that type under a valid
// transform that is not the identity.
TransformResult TransformResultOf(std::string_view type);
TransformResult TransformEntity(dxf::Tags* tags, const Transform& t, const OwnerFrame& owner);
// Applies the transforms of chain one after the other, with the text and
// tags each would leave, but reads and writes each value once. Returns what
// a call for the last transform returns.
TransformResult TransformEntity(dxf::Tags* tags, std::span<const Transform> chain,
                                const OwnerFrame& owner);

class TextArena;
// The same on views of a record's tags: a value written afresh views text
// kept in arena (valid until the arena is cleared), the others stay as they
// were. A command that rewrites the record from these views copies no tag
// it keeps.
TransformResult TransformEntity(std::vector<dxf::TagView>* tags, TextArena* arena,
                                std::span<const Transform> chain, const OwnerFrame& owner);

}  // namespace host::geometry
