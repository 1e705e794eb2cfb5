#include "host/geometry/transform.h"

#include <array>
#include <cmath>
#include <span>

#include "host/geometry/entity_rules.h"
#include "host/geometry/ocs.h"
#include "host/geometry/record_walk.h"
#include "host/geometry/tag_transformer.h"
#include "host/geometry/text_arena.h"
#include "host/geometry/vector_math.h"

namespace host::geometry {

Vec3 Transform::Apply(const Vec3& p) const {
  return {Coordinate(p.x, factor, base.x, offset.x), Coordinate(p.y, factor, base.y, offset.y),
          Coordinate(p.z, factor, base.z, offset.z)};
}

bool Transform::is_identity() const { return factor == 1.0 && offset == Vec3{}; }

bool Transform::is_valid() const {
  return std::isfinite(factor) && factor > 0 && IsFinite(base) && IsFinite(offset);
}

namespace {

template <class TagT>
OwnerFrame FrameOf(const std::vector<TagT>& polyline) {
  constexpr long long k3dKinds = 8 | 16 | 64;  // 3D polyline, polygon mesh, polyface mesh
  OwnerFrame frame;
  frame.extrusion = ExtrusionOf(polyline);
  frame.is_3d = (OwnInteger(polyline, 70).value_or(0) & k3dKinds) != 0;
  return frame;
}

// Extended data keeps its meaning whatever the entity: 1011 is a world
// position, 1012 a displacement, 1041 a distance and 1042 a scale factor;
// 1010 (a plain point), 1013 (a direction) and 1040 (a plain real) keep.
void TransformXdata(TagTransformer* editor) {
  TagViews& tags = editor->tags();
  size_t i = XdataBegin(tags);
  while (i < tags.size()) {
    switch (tags[i].code) {
      case 1011:
        i += editor->Apply(Action::kWorldPoint, i);
        break;
      case 1012:
        i += editor->Apply(Action::kVector, i);
        break;
      case 1041:
      case 1042:
        i += editor->Apply(Action::kLength, i);
        break;
      default:
        ++i;
        break;
    }
  }
}

// Lets the rule decide on each tag of the entity's own data.
void TransformOwnData(EntityRule* rule, TagTransformer* editor) {
  TagViews& tags = editor->tags();
  OwnDataWalk walk(tags);
  size_t covered = 1;
  while (std::optional<size_t> i = walk.Next(covered)) {
    covered = editor->Apply(rule->Classify(walk.subclass(), tags[*i]), *i);
  }
}

}  // namespace

OwnerFrame OwnerFrameOf(const dxf::Tags& polyline) { return FrameOf(polyline); }
OwnerFrame OwnerFrameOf(const std::vector<dxf::TagView>& polyline) { return FrameOf(polyline); }

TransformResult TransformEntity(dxf::Tags* tags, const Transform& t) {
  return TransformEntity(tags, t, OwnerFrame{});
}

TransformResult TransformResultOf(std::string_view type) {
  // A rule's result follows from its type alone.
  return MakeEntityRule(type, TagViews{}, OwnerFrame{})->result();
}

TransformResult TransformEntity(dxf::Tags* tags, const Transform& t, const OwnerFrame& owner) {
  return TransformEntity(tags, std::span(&t, 1), owner);
}

TransformResult TransformEntity(dxf::Tags* tags, std::span<const Transform> chain,
                                const OwnerFrame& owner) {
  // Through views of the tags; the tags are then made anew from them.
  TagViews views = dxf::ViewsOf(*tags);
  TextArena arena;
  TransformResult result = TransformEntity(&views, &arena, chain, owner);
  dxf::Tags transformed = dxf::TagsOf(views);
  *tags = std::move(transformed);
  return result;
}

TransformResult TransformEntity(TagViews* tags, TextArena* arena, std::span<const Transform> chain,
                                const OwnerFrame& owner) {
  if (chain.empty()) return TransformResult::kDone;
  // The type views the record (or its first tag's text), which no transform
  // changes.
  const std::string_view type = RecordType(*tags);
  // The steps: the valid transforms that change anything, walked together.
  // A rule reads only flags, which no transform changes, so the rule of the
  // record as it stands serves every step.
  std::array<Transform, TagTransformer::kMaxSteps> steps;
  size_t count = 0;
  std::unique_ptr<EntityRule> rule;
  auto run = [&] {
    if (count == 0) return;
    rule = MakeEntityRule(type, *tags, owner);
    // A VERTEX has no extrusion of its own: its polyline's frame applies.
    Ocs ocs(type == "VERTEX" ? owner.extrusion : ExtrusionOf(*tags));
    TagTransformer editor(tags, arena, std::span(steps.data(), count), ocs);
    // The extended data first: the entity's data before it may grow.
    TransformXdata(&editor);
    TransformOwnData(rule.get(), &editor);
    for (size_t k = 0; k < count; ++k) {
      editor.set_step(k);
      rule->AddMissingDefaults(&editor);
    }
    count = 0;
  };
  for (const Transform& t : chain) {
    if (!t.is_valid() || t.is_identity()) continue;
    steps[count++] = t;
    if (count == steps.size()) run();
  }
  run();
  if (!chain.back().is_valid()) return TransformResult::kInvalid;
  if (!rule) rule = MakeEntityRule(type, *tags, owner);
  return rule->result();
}

}  // namespace host::geometry
