// Extents of entities in world coordinates.
#pragma once

#include <functional>
#include <limits>
#include <string_view>
#include <vector>

#include "dxf/tag.h"
#include "host/geometry/transform.h"
#include "host/host_only.h"

namespace host::geometry {

struct Extents {
  Vec3 min{std::numeric_limits<double>::infinity(), std::numeric_limits<double>::infinity(),
           std::numeric_limits<double>::infinity()};
  Vec3 max{-std::numeric_limits<double>::infinity(), -std::numeric_limits<double>::infinity(),
           -std::numeric_limits<double>::infinity()};
  bool empty() const { return !(min.x <= max.x); }
  void Add(const Vec3& p);  // ignores NaN and infinite points
  void Add(const Extents& other);
};

// Calls visit for each entity record of the named block definition (not its
// ENDBLK); returns false when there is no such block.
using BlockVisitor =
    std::function<bool(std::string_view block_name,
                       const std::function<void(const std::vector<dxf::TagView>&)>& visit)>;

// Adds the extents of one entity. INSERTs and DIMENSIONs are expanded through
// blocks (nesting is followed to a fixed depth, so cyclic blocks end); an
// entity without geometry adds nothing.
void AddEntityExtents(const std::vector<dxf::TagView>& tags, const BlockVisitor& blocks,
                      Extents* extents);

}  // namespace host::geometry
