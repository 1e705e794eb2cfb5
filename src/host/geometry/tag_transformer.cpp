#include "host/geometry/tag_transformer.h"

#include <cassert>
#include <cmath>
#include <optional>

namespace host::geometry {

double Coordinate(double v, double factor, double base, double offset) {
  // With factor 1 the base cancels out; leaving it out then avoids the
  // rounding of v - base + base.
  if (factor == 1.0) return v + offset;
  return base + factor * (v - base) + offset;
}

namespace {

double AxisOf(const Vec3& v, int axis) { return axis == 0 ? v.x : axis == 1 ? v.y : v.z; }

// One step of a number: the new value unless it equals the old one (the
// text then stays as it was) or is not finite (an overflow leaves the input).
bool StepTo(double* v, double new_value) {
  if (new_value == *v || !std::isfinite(new_value)) return false;
  *v = new_value;
  return true;
}

}  // namespace

TagTransformer::TagTransformer(TagViews* tags, TextArena* arena, std::span<const Transform> steps,
                               const Ocs& ocs)
    : tags_(tags), arena_(arena), steps_(steps.size()) {
  assert(!steps.empty() && steps.size() <= kMaxSteps);
  for (size_t k = 0; k < steps_; ++k) {
    const Transform& t = steps[k];
    world_[k] = t;
    ocs_[k] = Transform{t.factor, ocs.FromWorld(t.base), ocs.FromWorld(t.offset)};
  }
}

size_t TagTransformer::Apply(Action action, size_t i) {
  switch (action) {
    case Action::kKeep:
      return 1;
    case Action::kWorldPoint:
      return ApplyPoint(i, Frame::kWorld, Dims::k3d);
    case Action::kOcsPoint:
      return ApplyPoint(i, Frame::kOcs, Dims::k3d);
    case Action::kOcsPoint2d:
      return ApplyPoint(i, Frame::kOcs, Dims::k2d);
    case Action::kOcsElevationPoint:
      return ApplyPoint(i, Frame::kOcs, Dims::kZOnly);
    case Action::kWorldElevationPoint:
      return ApplyPoint(i, Frame::kWorld, Dims::kZOnly);
    case Action::kOcsElevation:
      ApplyCoordinate(i, Frame::kOcs, 2);
      return 1;
    case Action::kOcsX:
      ApplyCoordinate(i, Frame::kOcs, 0);
      return 1;
    case Action::kOcsY:
      ApplyCoordinate(i, Frame::kOcs, 1);
      return 1;
    case Action::kVector:
      return ApplyVector(i);
    case Action::kLength:
      ApplyLength(i);
      return 1;
  }
  return 1;
}

bool TagTransformer::CoordinateAfter(double* v, size_t from, Frame frame, int axis) const {
  bool written = false;
  for (size_t k = from; k < steps_; ++k) {
    const Transform& t = Step(frame, k);
    written |= StepTo(v, Coordinate(*v, t.factor, AxisOf(t.base, axis), AxisOf(t.offset, axis)));
  }
  return written;
}

bool TagTransformer::LengthAfter(double* v, size_t from) const {
  bool written = false;
  for (size_t k = from; k < steps_; ++k) written |= StepTo(v, *v * world_[k].factor);
  return written;
}

void TagTransformer::Write(dxf::TagView* tag, double value) {
  thread_local std::string text;
  dxf::FormatDouble(value, &text);
  tag->value = arena_->Store(text);
}

void TagTransformer::ApplyCoordinate(size_t i, Frame frame, int axis) {
  dxf::TagView& tag = (*tags_)[i];
  std::optional<double> v = dxf::ParseDouble(tag.value);
  if (!v || !std::isfinite(*v)) return;
  double value = *v;
  if (CoordinateAfter(&value, 0, frame, axis)) Write(&tag, value);
}

void TagTransformer::ApplyLength(size_t i) {
  dxf::TagView& tag = (*tags_)[i];
  std::optional<double> v = dxf::ParseDouble(tag.value);
  if (!v || !std::isfinite(*v)) return;
  double value = *v;
  if (LengthAfter(&value, 0)) Write(&tag, value);
}

size_t TagTransformer::ApplyVector(size_t i) {
  TagViews& tags = *tags_;
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

size_t TagTransformer::ApplyPoint(size_t i, Frame frame, Dims dims) {
  TagViews& tags = *tags_;
  int code = tags[i].code;
  bool has_y = i + 1 < tags.size() && tags[i + 1].code == code + 10;
  bool has_z = has_y && i + 2 < tags.size() && tags[i + 2].code == code + 20;
  if (dims != Dims::kZOnly) {
    ApplyCoordinate(i, frame, 0);
    if (has_y) ApplyCoordinate(i + 1, frame, 1);
  }
  if (has_z) {
    ApplyCoordinate(i + 2, frame, 2);
    return 3;
  }
  if (!has_y) return 1;  // a lone x (no y beside it) is transformed alone
  if (dims == Dims::k2d) return 2;
  // The file left z out (a 2D point, z = 0). The first step that lifts the
  // point off z = 0 adds it, and the steps after it move it on; plain 2D
  // drawings stay 2D.
  for (size_t k = 0; k < steps_; ++k) {
    const Transform& t = Step(frame, k);
    double z = Coordinate(0.0, t.factor, t.base.z, t.offset.z);
    if (z == 0.0 || !std::isfinite(z)) continue;
    CoordinateAfter(&z, k + 1, frame, 2);
    dxf::TagView added;
    added.code = code + 20;
    Write(&added, z);
    tags.insert(tags.begin() + static_cast<std::ptrdiff_t>(i + 2), added);
    return 3;
  }
  return 2;
}

void TagTransformer::Insert(size_t at, int code, double value, Action later) {
  switch (later) {
    case Action::kLength:
      LengthAfter(&value, step_ + 1);
      break;
    case Action::kOcsElevation:
      CoordinateAfter(&value, step_ + 1, Frame::kOcs, 2);
      break;
    default:
      assert(false && "defaults are lengths or elevations");
      break;
  }
  dxf::TagView added;
  added.code = code;
  Write(&added, value);
  tags_->insert(tags_->begin() + static_cast<std::ptrdiff_t>(at), added);
}

}  // namespace host::geometry
