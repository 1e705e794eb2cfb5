// Moving, scaling and measuring whole entities: a main entity together with
// its subentities (VERTEX, ATTRIB, SEQEND) and the anonymous block that draws
// a dimension or a table, so that a moved and scaled dimension keeps its
// picture.
#pragma once

#include <functional>
#include <set>
#include <span>
#include <string>
#include <vector>

#include "host/database/drawing.h"
#include "host/geometry/extents.h"
#include "host/geometry/transform.h"
#include "host/host_only.h"

namespace host::commands {

// Calls visit for each entity of a block definition, for the extents.
geometry::BlockVisitor BlockVisitorFor(const Drawing& drawing);

// The extents of the main entities and their subentities.
geometry::Extents ExtentsOf(const Drawing& drawing, const std::vector<EntityId>& mains);

// The anonymous block an entity owns (group 2 of a DIMENSION or an
// ACAD_TABLE), or kNoContainer.
ContainerId OwnedBlock(const Drawing& drawing, EntityId main);

// An edit made to each record of a main entity (main_entity) and of its
// subentities in the same pass as the transform, on views of the record's
// tags; a value it sets must view text that lives until the pass is done.
using RecordEdit = std::function<void(bool main_entity, std::vector<dxf::TagView>* tags)>;

// Transforms the main entities, their subentities and the blocks they own
// (each block once). points_only receives the types whose geometry is
// unknown and of which only the points were transformed. edit, when given,
// is applied to the entities' records (not to the blocks' entities) first.
void TransformEntities(Drawing& drawing, const std::vector<EntityId>& mains,
                       const geometry::Transform& transform, std::set<std::string>* points_only,
                       const RecordEdit& edit = {});
// The same for several transforms applied one after the other, in one pass:
// each record comes out as from one TransformEntities per transform. Only
// the last transform's types go into points_only.
void TransformEntities(Drawing& drawing, const std::vector<EntityId>& mains,
                       std::span<const geometry::Transform> transforms,
                       std::set<std::string>* points_only, const RecordEdit& edit = {});
// The types TransformEntities would put into points_only, without changing
// anything.
void CollectPointsOnly(const Drawing& drawing, const std::vector<EntityId>& mains,
                       const geometry::Transform& transform, std::set<std::string>* points_only);

// Transforms a main entity's record and its subentities' records that are
// not in the drawing yet (a VERTEX in its POLYLINE's frame).
void TransformTags(dxf::Tags* main, std::vector<dxf::Tags>* subentities,
                   const geometry::Transform& transform, std::set<std::string>* points_only);

}  // namespace host::commands
