#include "host/commands/entity_geometry.h"

#include <algorithm>
#include <optional>
#include <span>

#include "host/commands/current_space.h"
#include "host/commands/tag_edit.h"
#include "host/geometry/text_arena.h"
#include "host/two_halves.h"

namespace host::commands {

namespace {

bool OwnsBlock(std::string_view type) {
  return type == "DIMENSION" || type == "ARC_DIMENSION" || type == "LARGE_RADIAL_DIMENSION" ||
         type == "ACAD_TABLE";
}

void Note(geometry::TransformResult result, std::string_view type,
          std::set<std::string>* points_only) {
  if (result == geometry::TransformResult::kPointsOnly && points_only) {
    points_only->insert(std::string(type));
  }
}

bool AllIdentity(std::span<const geometry::Transform> transforms) {
  for (const geometry::Transform& t : transforms) {
    if (!t.is_identity()) return false;
  }
  return true;
}

// Transforms records in file order, giving each VERTEX the frame of the
// POLYLINE before it; the first record is the main entity when edit is set.
// The transforms are applied one after the other, each as on its own. The
// records are edited as views: a kept tag is copied from the old record
// into the new one as it stands.
void TransformInOrder(Drawing& drawing, const std::vector<EntityId>& records,
                      std::span<const geometry::Transform> transforms,
                      std::set<std::string>* points_only, const RecordEdit& edit) {
  std::optional<geometry::OwnerFrame> frame;
  bool identity = AllIdentity(transforms);
  // Called for every main entity: the buffers stay from call to call.
  thread_local std::vector<dxf::TagView> old_tags;
  thread_local std::vector<dxf::TagView> tags;
  thread_local geometry::TextArena arena;
  for (size_t i = 0; i < records.size(); ++i) {
    EntityId id = records[i];
    std::string_view type = drawing.EntityType(id);
    // An end-of-sequence record has no geometry: nothing to transform.
    if (type == "SEQEND" && !edit) continue;
    if (identity && !edit) continue;
    drawing.EntityTags(id, &old_tags);
    tags = old_tags;
    arena.Clear();
    if (edit) edit(i == 0, &tags);
    if (type != "SEQEND" && !identity) {
      // The frame of a polyline does not change under a transform.
      geometry::TransformResult result = geometry::TransformEntity(
          &tags, &arena, transforms, type == "VERTEX" && frame ? *frame : geometry::OwnerFrame{});
      if (!transforms.back().is_identity()) Note(result, type, points_only);
    }
    if (type == "POLYLINE") {
      frame = geometry::OwnerFrameOf(tags);
    } else if (type != "VERTEX" && type != "SEQEND") {
      frame.reset();
    }
    drawing.SetEntityTags(id, tags, drawing.entity(id).text.text(), old_tags);
  }
}

// Calls visit(records, main_group) for each group of records
// TransformEntities changes, in its order: a main entity with its
// subentities, then the entities of the block it owns (each block once,
// only when blocks move at all).
template <class Visit>
void ForEachTransformGroup(const Drawing& drawing, const std::vector<EntityId>& mains,
                           bool blocks_move, Visit visit) {
  std::set<ContainerId> blocks_done;  // a block two dimensions share moves once
  std::vector<EntityId> records;
  for (EntityId main : mains) {
    records.assign(1, main);
    std::vector<EntityId> subs = SubEntitiesOf(drawing, main);
    records.insert(records.end(), subs.begin(), subs.end());
    visit(records, true);
    if (!blocks_move) continue;
    ContainerId block = OwnedBlock(drawing, main);
    if (block == kNoContainer || !blocks_done.insert(block).second) continue;
    records.clear();
    for (EntityId id : drawing.container(block).entities) {
      if (id != drawing.container(block).endblk) records.push_back(id);
    }
    visit(records, false);
  }
}

}  // namespace

geometry::BlockVisitor BlockVisitorFor(const Drawing& drawing) {
  return [&drawing](std::string_view block_name,
                    const std::function<void(const std::vector<dxf::TagView>&)>& visit) {
    // Block names come from the records, in the file's encoding.
    ContainerId block = drawing.FindBlock(drawing.encoding().Decode(block_name));
    if (block == kNoContainer) return false;
    std::vector<dxf::TagView> tags;
    // The BLOCK record first: its base point maps the block into the insert.
    drawing.BlockTags(block, &tags);
    if (!tags.empty()) visit(tags);
    for (EntityId id : drawing.container(block).entities) {
      if (id == drawing.container(block).endblk || drawing.entity(id).erased) continue;
      drawing.EntityTags(id, &tags);
      visit(tags);
    }
    return true;
  };
}

namespace {

geometry::Extents ExtentsOfRange(const Drawing& drawing, std::span<const EntityId> mains) {
  geometry::ExtentsCollector collector(BlockVisitorFor(drawing));
  std::vector<dxf::TagView> tags;
  for (EntityId main : mains) {
    drawing.EntityTags(main, &tags);
    collector.Add(tags);
    for (EntityId sub : SubEntitiesOf(drawing, main)) {
      drawing.EntityTags(sub, &tags);
      collector.Add(tags);
    }
  }
  return collector.extents();
}

}  // namespace

geometry::Extents ExtentsOf(const Drawing& drawing, const std::vector<EntityId>& mains) {
  std::span<const EntityId> all(mains);
  if (mains.size() < kTwoHalvesFrom) return ExtentsOfRange(drawing, all);
  // A large selection is measured in two halves at once (the drawing is only
  // read), joined in order, first half first, as one collector would have
  // met them.
  geometry::Extents halves[2];
  RunInTwoHalves(mains.size(), [&](size_t begin, size_t end) {
    halves[begin == 0 ? 0 : 1] = ExtentsOfRange(drawing, all.subspan(begin, end - begin));
  });
  halves[0].Add(halves[1]);
  return halves[0];
}

ContainerId OwnedBlock(const Drawing& drawing, EntityId main) {
  if (!OwnsBlock(drawing.EntityType(main))) return kNoContainer;
  std::vector<dxf::TagView> tags;
  drawing.EntityTags(main, &tags);
  std::string_view name;
  for (const dxf::TagView& tag : tags) {
    if (tag.code == 2) {
      name = tag.value;
      break;
    }
  }
  if (name.empty() || name.front() != '*') return kNoContainer;
  return drawing.FindBlock(drawing.encoding().Decode(name));
}

void TransformEntities(Drawing& drawing, const std::vector<EntityId>& mains,
                       const geometry::Transform& transform, std::set<std::string>* points_only,
                       const RecordEdit& edit) {
  TransformEntities(drawing, mains, std::span<const geometry::Transform>(&transform, 1),
                    points_only, edit);
}

void TransformEntities(Drawing& drawing, const std::vector<EntityId>& mains,
                       std::span<const geometry::Transform> transforms,
                       std::set<std::string>* points_only, const RecordEdit& edit) {
  bool identity = AllIdentity(transforms);
  if (identity && !edit) return;
  if (mains.size() < kTwoHalvesFrom) {
    ForEachTransformGroup(drawing, mains, !identity,
                          [&](const std::vector<EntityId>& records, bool main_group) {
                            TransformInOrder(drawing, records, transforms, points_only,
                                             main_group ? edit : RecordEdit{});
                          });
    return;
  }
  // A large selection is transformed in two halves at once. Every record is
  // changed by itself alone, so the result is the same; a block that two
  // dimensions share is given beforehand to the first of them, as the walk
  // in order would have done. (Transforms and the space marks leave the
  // block names alone.)
  std::vector<ContainerId> owned(mains.size(), kNoContainer);
  if (!identity) {
    std::set<ContainerId> blocks_done;
    for (size_t i = 0; i < mains.size(); ++i) {
      ContainerId block = OwnedBlock(drawing, mains[i]);
      if (block != kNoContainer && blocks_done.insert(block).second) owned[i] = block;
    }
  }
  auto transform_range = [&](size_t begin, size_t end, std::set<std::string>* types) {
    std::vector<EntityId> records;
    for (size_t i = begin; i < end; ++i) {
      records.assign(1, mains[i]);
      std::vector<EntityId> subs = SubEntitiesOf(drawing, mains[i]);
      records.insert(records.end(), subs.begin(), subs.end());
      TransformInOrder(drawing, records, transforms, types, edit);
      if (owned[i] == kNoContainer) continue;
      const Container& block = drawing.container(owned[i]);
      records.clear();
      for (EntityId id : block.entities) {
        if (id != block.endblk) records.push_back(id);
      }
      TransformInOrder(drawing, records, transforms, types, {});
    }
  };
  std::set<std::string> first_types, second_types;
  RunInTwoHalves(mains.size(), [&](size_t begin, size_t end) {
    transform_range(begin, end, begin == 0 ? &first_types : &second_types);
  });
  if (points_only) {
    points_only->insert(first_types.begin(), first_types.end());
    points_only->insert(second_types.begin(), second_types.end());
  }
}

namespace {

// Whether some entity of the drawing, erased or not, is of a type whose
// transform moves its points only. Most drawings hold none: one look at
// each entity's type then settles what a selection would report.
bool MayHoldPointsOnlyTypes(const Drawing& drawing) {
  // The rules of the common types are known: each is asked once. An
  // end-of-sequence record has no geometry to report.
  static const std::vector<bool> known_points_only = [] {
    std::vector<bool> known{false};
    for (uint8_t k = 1; !KnownEntityTypeName(k).empty(); ++k) {
      std::string_view type = KnownEntityTypeName(k);
      known.push_back(type != "SEQEND" &&
                      geometry::TransformResultOf(type) == geometry::TransformResult::kPointsOnly);
    }
    return known;
  }();
  std::vector<std::pair<std::string, bool>> other_types;  // types read from records
  for (EntityId id = 0; id < drawing.entity_count(); ++id) {
    if (uint8_t known = drawing.entity(id).known_type) {
      if (known_points_only[known]) return true;
      continue;
    }
    std::string_view type = drawing.EntityType(id);
    auto seen = std::find_if(other_types.begin(), other_types.end(),
                             [&](const auto& entry) { return entry.first == type; });
    if (seen == other_types.end()) {
      other_types.emplace_back(std::string(type), geometry::TransformResultOf(type) ==
                                                      geometry::TransformResult::kPointsOnly);
      seen = other_types.end() - 1;
    }
    if (seen->second) return true;
  }
  return false;
}

}  // namespace

void CollectPointsOnly(const Drawing& drawing, const std::vector<EntityId>& mains,
                       const geometry::Transform& transform, std::set<std::string>* points_only) {
  if (transform.is_identity() || !transform.is_valid()) return;
  if (!MayHoldPointsOnlyTypes(drawing)) return;
  auto collect = [&drawing](const std::vector<EntityId>& some, std::set<std::string>* types) {
    ForEachTransformGroup(drawing, some, true, [&](const std::vector<EntityId>& records, bool) {
      for (EntityId id : records) {
        std::string_view type = drawing.EntityType(id);
        if (type == "SEQEND") continue;
        Note(geometry::TransformResultOf(type), type, types);
      }
    });
  };
  if (mains.size() < kTwoHalvesFrom) return collect(mains, points_only);
  // Only the set of types counts, so a block that dimensions in both halves
  // share may well be looked at twice.
  std::set<std::string> halves[2];
  RunInTwoHalves(mains.size(), [&](size_t begin, size_t end) {
    std::vector<EntityId> half(mains.begin() + static_cast<std::ptrdiff_t>(begin),
                               mains.begin() + static_cast<std::ptrdiff_t>(end));
    collect(half, &halves[begin == 0 ? 0 : 1]);
  });
  for (std::set<std::string>& half : halves) points_only->merge(half);
}

void TransformTags(dxf::Tags* main, std::vector<dxf::Tags>* subentities,
                   const geometry::Transform& transform, std::set<std::string>* points_only) {
  if (transform.is_identity() || main->empty()) return;
  std::string type = main->front().value;
  Note(geometry::TransformEntity(main, transform), type, points_only);
  std::optional<geometry::OwnerFrame> frame;
  if (type == "POLYLINE") frame = geometry::OwnerFrameOf(*main);
  for (dxf::Tags& sub : *subentities) {
    if (sub.empty() || sub.front().value == "SEQEND") continue;
    if (sub.front().value == "VERTEX" && frame) {
      Note(geometry::TransformEntity(&sub, transform, *frame), "VERTEX", points_only);
    } else {
      Note(geometry::TransformEntity(&sub, transform), sub.front().value, points_only);
    }
  }
}

}  // namespace host::commands
