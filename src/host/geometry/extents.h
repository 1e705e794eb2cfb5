// Extents of entities in world coordinates.
#pragma once

#include <functional>
#include <limits>
#include <memory>
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
// ENDBLK); returns false when there is no such block. The visitor may pass
// the definition's BLOCK record first: its base point (10) is then honoured
// (without it the base point is taken as the origin). Nested blocks are
// visited from within visit, so the visitor must allow being called again
// while it runs.
using BlockVisitor =
    std::function<bool(std::string_view block_name,
                       const std::function<void(const std::vector<dxf::TagView>&)>& visit)>;

// Adds the extents of one entity. INSERTs and DIMENSIONs are expanded through
// blocks (nesting is followed to a fixed depth, so cyclic blocks end); an
// entity without geometry adds nothing. A POLYLINE's geometry is in its
// VERTEX records: use ExtentsCollector to take them with their polyline.
void AddEntityExtents(const std::vector<dxf::TagView>& tags, const BlockVisitor& blocks,
                      Extents* extents);

// Collects the extents of records given in walk order: main entities
// followed by their VERTEX, ATTRIB and SEQEND records, so that vertices are
// taken in their polyline's frame and with its bulges and widths. Texts are
// estimated (see text_extents.h); XLINE and RAY, being endless, are left out;
// so are ATTDEFs inside inserted blocks and invisible entities (60 = 1) and
// attributes. Blocks are followed to a depth of 16 and never into a block
// that is being followed already.
class ExtentsCollector {
 public:
  explicit ExtentsCollector(BlockVisitor blocks);
  ~ExtentsCollector();
  ExtentsCollector(const ExtentsCollector&) = delete;
  ExtentsCollector& operator=(const ExtentsCollector&) = delete;

  void Add(const std::vector<dxf::TagView>& record);
  // The extents so far (a polyline still open is taken as ended).
  const Extents& extents();

 private:
  class Engine;
  std::unique_ptr<Engine> engine_;
  Extents result_;
};

}  // namespace host::geometry
