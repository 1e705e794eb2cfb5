// LWPOLYLINE, POLYLINE and VERTEX.
#include <cmath>
#include <memory>
#include <optional>

#include "host/geometry/entity_rules.h"
#include "host/geometry/record_walk.h"

namespace host::geometry {

namespace {

// POLYLINE flags (70).
constexpr long long k3dPolyline = 8;
constexpr long long k3dMesh = 16;
constexpr long long kPolyfaceMesh = 64;
// VERTEX flags (70).
constexpr long long k3dPolylineVertex = 32;
constexpr long long kMeshVertex = 64;
constexpr long long kFaceRecord = 128;

// LWPOLYLINE: 2D vertices in the OCS, elevation 38 (the OCS z), constant
// width 43 and per-vertex widths 40/41. Bulges 42 keep: a uniform scale
// keeps every arc's angle.
class LwPolylineRule : public EntityRule {
 public:
  Action Classify(std::string_view, const dxf::TagView& tag) override {
    switch (tag.code) {
      case 10:
        return Action::kOcsPoint2d;
      case 38:
        return Action::kOcsElevation;
      case 39:
      case 40:
      case 41:
      case 43:
        return Action::kLength;
      default:
        return Action::kKeep;
    }
  }

  // An absent elevation is 0; when the transform lifts the polyline off its
  // plane the elevation has to be written, before the first vertex.
  void AddMissingDefaults(TagTransformer* editor) override {
    TagViews& tags = editor->tags();
    bool has_elevation = false;
    std::optional<size_t> first_vertex;
    ForEachOwnTag(tags, [&](std::string_view, size_t i) {
      if (tags[i].code == 38) has_elevation = true;
      if (tags[i].code == 10 && !first_vertex) first_vertex = i;
    });
    if (has_elevation || !first_vertex) return;
    const Transform& t = editor->in_ocs();
    double z = Coordinate(0.0, t.factor, t.base.z, t.offset.z);
    if (z != 0.0 && std::isfinite(z)) editor->Insert(*first_vertex, 38, z, Action::kOcsElevation);
  }
};

// POLYLINE: its point 10 is (0, 0, elevation); only the z counts, in the
// OCS for 2D polylines and as a world z for 3D polylines and meshes.
// Default widths 40/41 scale. The vertices are records of their own.
class PolylineRule : public EntityRule {
 public:
  explicit PolylineRule(const TagViews& tags) {
    long long flags = OwnInteger(tags, 70).value_or(0);
    is_3d_ = (flags & (k3dPolyline | k3dMesh | kPolyfaceMesh)) != 0;
  }

  Action Classify(std::string_view, const dxf::TagView& tag) override {
    switch (tag.code) {
      case 10:
        return is_3d_ ? Action::kWorldElevationPoint : Action::kOcsElevationPoint;
      case 39:
      case 40:
      case 41:
        return Action::kLength;
      default:
        return Action::kKeep;
    }
  }

 private:
  bool is_3d_ = false;
};

// VERTEX: its point in the polyline's OCS (2D) or in world coordinates (3D
// polyline and mesh vertices); a polyface face record (flag 128 without 64)
// holds only vertex indices. Widths 40/41 scale; bulge 42 and the curve-fit
// tangent 50 keep.
class VertexRule : public EntityRule {
 public:
  VertexRule(const TagViews& tags, const OwnerFrame& owner) {
    long long flags = OwnInteger(tags, 70).value_or(0);
    face_record_ = (flags & kFaceRecord) != 0 && (flags & kMeshVertex) == 0;
    is_3d_ = owner.is_3d || (flags & (k3dPolylineVertex | kMeshVertex)) != 0;
  }

  Action Classify(std::string_view, const dxf::TagView& tag) override {
    switch (tag.code) {
      case 10:
        if (face_record_) return Action::kKeep;
        return is_3d_ ? Action::kWorldPoint : Action::kOcsPoint;
      case 40:
      case 41:
        return Action::kLength;
      default:
        return Action::kKeep;
    }
  }

 private:
  bool face_record_ = false;
  bool is_3d_ = false;
};

}  // namespace

std::unique_ptr<EntityRule> MakeLwPolylineRule() { return std::make_unique<LwPolylineRule>(); }
std::unique_ptr<EntityRule> MakePolylineRule(const TagViews& tags) {
  return std::make_unique<PolylineRule>(tags);
}
std::unique_ptr<EntityRule> MakeVertexRule(const TagViews& tags, const OwnerFrame& owner) {
  return std::make_unique<VertexRule>(tags, owner);
}

}  // namespace host::geometry
