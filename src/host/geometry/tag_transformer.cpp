#include "host/geometry/tag_transformer.h"

#include <cmath>
#include <optional>

namespace host::geometry {

void SetNumber(dxf::Tag* tag, double old_value, double new_value) {
  if (new_value == old_value || !std::isfinite(new_value)) return;
  tag->value = dxf::FormatDouble(new_value);
}

double Coordinate(double v, double factor, double base, double offset) {
  // With factor 1 the base cancels out; leaving it out then avoids the
  // rounding of v - base + base.
  if (factor == 1.0) return v + offset;
  return base + factor * (v - base) + offset;
}

TagTransformer::TagTransformer(dxf::Tags* tags, const Transform& t, const Ocs& ocs)
    : tags_(tags), world_(t), ocs_{t.factor, ocs.FromWorld(t.base), ocs.FromWorld(t.offset)} {}

size_t TagTransformer::Apply(Action action, size_t i) {
  switch (action) {
    case Action::kKeep:
      return 1;
    case Action::kWorldPoint:
      return ApplyPoint(i, world_, Dims::k3d);
    case Action::kOcsPoint:
      return ApplyPoint(i, ocs_, Dims::k3d);
    case Action::kOcsPoint2d:
      return ApplyPoint(i, ocs_, Dims::k2d);
    case Action::kOcsElevationPoint:
      return ApplyPoint(i, ocs_, Dims::kZOnly);
    case Action::kWorldElevationPoint:
      return ApplyPoint(i, world_, Dims::kZOnly);
    case Action::kOcsElevation:
      ApplyCoordinate(i, ocs_.base.z, ocs_.offset.z);
      return 1;
    case Action::kOcsX:
      ApplyCoordinate(i, ocs_.base.x, ocs_.offset.x);
      return 1;
    case Action::kOcsY:
      ApplyCoordinate(i, ocs_.base.y, ocs_.offset.y);
      return 1;
    case Action::kVector:
      return ApplyVector(i);
    case Action::kLength:
      ApplyLength(i);
      return 1;
  }
  return 1;
}

void TagTransformer::ApplyCoordinate(size_t i, double base, double offset) {
  dxf::Tag& tag = (*tags_)[i];
  std::optional<double> v = dxf::ParseDouble(tag.value);
  if (!v || !std::isfinite(*v)) return;
  SetNumber(&tag, *v, Coordinate(*v, world_.factor, base, offset));
}

void TagTransformer::ApplyLength(size_t i) {
  dxf::Tag& tag = (*tags_)[i];
  std::optional<double> v = dxf::ParseDouble(tag.value);
  if (!v || !std::isfinite(*v)) return;
  SetNumber(&tag, *v, *v * world_.factor);
}

size_t TagTransformer::ApplyVector(size_t i) {
  dxf::Tags& tags = *tags_;
  int code = tags[i].code;
  size_t n = 1;
  ApplyLength(i);
  if (i + 1 < tags.size() && tags[i + 1].code == code + 10) {
    ApplyLength(i + 1);
    ++n;
    if (i + 2 < tags.size() && tags[i + 2].code == code + 20) {
      ApplyLength(i + 2);
      ++n;
    }
  }
  return n;
}

size_t TagTransformer::ApplyPoint(size_t i, const Transform& t, Dims dims) {
  dxf::Tags& tags = *tags_;
  int code = tags[i].code;
  bool has_y = i + 1 < tags.size() && tags[i + 1].code == code + 10;
  bool has_z = has_y && i + 2 < tags.size() && tags[i + 2].code == code + 20;
  if (dims != Dims::kZOnly) {
    ApplyCoordinate(i, t.base.x, t.offset.x);
    if (has_y) ApplyCoordinate(i + 1, t.base.y, t.offset.y);
  }
  if (has_z) {
    ApplyCoordinate(i + 2, t.base.z, t.offset.z);
    return 3;
  }
  if (!has_y) return 1;  // a lone x (no y beside it) is transformed alone
  if (dims == Dims::k2d) return 2;
  // The file left z out (a 2D point, z = 0). Add it only when the transform
  // lifts the point off z = 0, so that plain 2D drawings stay 2D.
  double z = Coordinate(0.0, t.factor, t.base.z, t.offset.z);
  if (z == 0.0 || !std::isfinite(z)) return 2;
  Insert(i + 2, code + 20, z);
  return 3;
}

void TagTransformer::Insert(size_t at, int code, double value) {
  tags_->insert(tags_->begin() + static_cast<std::ptrdiff_t>(at),
                dxf::Tag(code, dxf::FormatDouble(value)));
}

}  // namespace host::geometry
