#include "host/geometry/extent_sink.h"

#include <cmath>
#include <numbers>

#include "host/geometry/vector_math.h"

namespace host::geometry {

namespace {

constexpr double kTwoPi = 2 * std::numbers::pi;

// t - t0 brought into [0, 2 pi).
double TurnFrom(double t0, double t) {
  double d = std::fmod(t - t0, kTwoPi);
  return d < 0 ? d + kTwoPi : d;
}

double Component(const Vec3& v, int axis) { return axis == 0 ? v.x : axis == 1 ? v.y : v.z; }

}  // namespace

void ExtentSink::Point(const Vec3& p) const { out_->Add(placement_.Point(p)); }

void ExtentSink::EllipticArc(const Vec3& c, const Vec3& u, const Vec3& v, double t0,
                             double t1) const {
  if (!std::isfinite(t0) || !std::isfinite(t1)) return;
  Vec3 wc = placement_.Point(c), wu = placement_.Vector(u), wv = placement_.Vector(v);
  auto at = [&](double t) { return wc + wu * std::cos(t) + wv * std::sin(t); };
  double span = t1 - t0;
  bool full = span >= kTwoPi || span <= -kTwoPi;
  if (!full) {
    span = TurnFrom(t0, t1);
    full = span == 0;
  }
  if (!full) {
    out_->Add(at(t0));
    out_->Add(at(t1));
  }
  // Along each world axis the coordinate c + u cos t + v sin t is extreme
  // where tan t = v/u: there and half a turn on.
  for (int axis = 0; axis < 3; ++axis) {
    double cu = Component(wu, axis), cv = Component(wv, axis);
    if (cu == 0 && cv == 0) continue;
    double t = std::atan2(cv, cu);
    for (double candidate : {t, t + std::numbers::pi}) {
      if (full || TurnFrom(t0, candidate) <= span) out_->Add(at(candidate));
    }
  }
}

void ExtentSink::BulgeSegment(const Vec3& p1, const Vec3& p2, double bulge) const {
  Point(p1);
  Point(p2);
  if (bulge == 0 || !std::isfinite(bulge)) return;
  double dx = p2.x - p1.x, dy = p2.y - p1.y;
  double chord = std::hypot(dx, dy);
  if (chord == 0 || !std::isfinite(chord)) return;
  // The bulge is tan(angle / 4); positive bulges turn counter-clockwise.
  // The centre lies on the chord's perpendicular bisector, at a signed
  // distance chord (1 - b^2) / (4 b) to the chord's left.
  double radius = chord * (1 + bulge * bulge) / (4 * std::fabs(bulge));
  double d = chord * (1 - bulge * bulge) / (4 * bulge);
  Vec3 centre{(p1.x + p2.x) / 2 - dy / chord * d, (p1.y + p2.y) / 2 + dx / chord * d, p1.z};
  double a1 = std::atan2(p1.y - centre.y, p1.x - centre.x);
  double a2 = std::atan2(p2.y - centre.y, p2.x - centre.x);
  Vec3 u{radius, 0, 0}, v{0, radius, 0};
  if (bulge > 0) {
    EllipticArc(centre, u, v, a1, a2);
  } else {
    EllipticArc(centre, u, v, a2, a1);
  }
}

}  // namespace host::geometry
