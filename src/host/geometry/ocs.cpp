#include "host/geometry/ocs.h"

#include <cmath>

#include "host/geometry/vector_math.h"

namespace host::geometry {

namespace {

Vec3 Normalized(const Vec3& v) {
  double len = Length(v);
  return v * (1.0 / len);
}

}  // namespace

Ocs::Ocs(const Vec3& extrusion) {
  double len = Length(extrusion);
  if (!std::isfinite(len) || len < 1e-12) return;  // world frame
  Vec3 n = extrusion * (1.0 / len);
  // An extrusion within rounding of +Z is the world frame; treating it so
  // keeps such entities' coordinates untouched by the conversion.
  if (std::fabs(n.x) < 1e-12 && std::fabs(n.y) < 1e-12 && n.z > 0) return;
  world_ = false;
  // Arbitrary-axis algorithm: near the Z axis (within 1/64 in X and Y) the
  // OCS X axis is world Y x N, otherwise world Z x N.
  constexpr double kThreshold = 1.0 / 64.0;
  Vec3 ref =
      (std::fabs(n.x) < kThreshold && std::fabs(n.y) < kThreshold) ? Vec3{0, 1, 0} : Vec3{0, 0, 1};
  az_ = n;
  ax_ = Normalized(Cross(ref, n));
  ay_ = Normalized(Cross(n, ax_));
}

Vec3 Ocs::ToWorld(const Vec3& p) const {
  if (world_) return p;
  return ax_ * p.x + ay_ * p.y + az_ * p.z;
}

Vec3 Ocs::FromWorld(const Vec3& p) const {
  if (world_) return p;
  return {Dot(p, ax_), Dot(p, ay_), Dot(p, az_)};
}

}  // namespace host::geometry
