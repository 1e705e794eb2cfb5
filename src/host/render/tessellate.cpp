#include "host/render/tessellate.h"

#include <algorithm>
#include <cmath>
#include <numbers>

#include "host/geometry/vector_math.h"

namespace host::render {

namespace {

using geometry::Length;

constexpr double kTurn = 2 * std::numbers::pi;

int SegmentsFor(double sweep) {
  return std::max(2, static_cast<int>(std::ceil(std::fabs(sweep) / kTurn * kSegmentsPerTurn)));
}

// Samples per knot span of a spline: enough for smooth curves, few enough
// for splines of thousands of control points.
constexpr int kSamplesPerSpan = 8;
constexpr size_t kMaxSplinePoints = 20000;

}  // namespace

Point2 Project(const Affine& placement, const Vec3& p) {
  Vec3 world = placement.Point(p);
  return {world.x, world.y};
}

void AppendEllipticArc(const Affine& placement, const Vec3& c, const Vec3& u, const Vec3& v,
                       double t0, double t1, std::vector<Point2>* out) {
  if (!std::isfinite(t0) || !std::isfinite(t1)) return;
  double sweep = t1 - t0;
  if (sweep <= 0) sweep += kTurn * std::ceil(-sweep / kTurn + 1e-12);
  if (sweep == 0 || sweep > kTurn) sweep = kTurn;
  int n = SegmentsFor(sweep);
  for (int k = 0; k <= n; ++k) {
    double t = t0 + sweep * k / n;
    out->push_back(Project(placement, c + u * std::cos(t) + v * std::sin(t)));
  }
}

void AppendBulgeSegment(const Affine& placement, const Vec3& p1, const Vec3& p2, double bulge,
                        std::vector<Point2>* out) {
  Vec3 d = p2 - p1;
  double chord = std::hypot(d.x, d.y);
  if (bulge == 0 || !std::isfinite(bulge) || chord == 0) {
    out->push_back(Project(placement, p2));
    return;
  }
  // The centre lies on the chord's perpendicular bisector, on the left for
  // a counter-clockwise arc shorter than half a turn.
  Vec3 left{-d.y / chord, d.x / chord, 0};
  double offset = chord / 2 * (1 - bulge * bulge) / (2 * bulge);
  Vec3 centre = (p1 + p2) * 0.5 + left * offset;
  double radius = Length(Vec3{p1.x - centre.x, p1.y - centre.y, 0});
  double start = std::atan2(p1.y - centre.y, p1.x - centre.x);
  double sweep = 4 * std::atan(bulge);
  int n = SegmentsFor(sweep);
  for (int k = 1; k < n; ++k) {
    double t = start + sweep * k / n;
    out->push_back(Project(
        placement, {centre.x + radius * std::cos(t), centre.y + radius * std::sin(t), p1.z}));
  }
  out->push_back(Project(placement, p2));
}

std::vector<Vec3> EvaluateSpline(int degree, const std::vector<double>& knots,
                                 const std::vector<Vec3>& control,
                                 const std::vector<double>& weights) {
  size_t n = control.size();
  if (degree < 1 || degree > 15 || n < static_cast<size_t>(degree) + 1) return {};
  if (knots.size() != n + degree + 1) return {};
  if (!weights.empty() && weights.size() != n) return {};
  for (size_t i = 1; i < knots.size(); ++i) {
    if (!(knots[i] >= knots[i - 1]) || !std::isfinite(knots[i])) return {};
  }
  for (double w : weights) {
    if (!(w > 0) || !std::isfinite(w)) return {};
  }
  auto weight = [&](size_t i) { return weights.empty() ? 1.0 : weights[i]; };
  size_t p = static_cast<size_t>(degree);
  std::vector<Vec3> out;
  // Homogeneous de Boor: points scaled by their weight, w kept beside.
  std::vector<Vec3> d(p + 1);
  std::vector<double> dw(p + 1);
  auto evaluate = [&](size_t span, double t) {
    for (size_t j = 0; j <= p; ++j) {
      size_t i = span - p + j;
      dw[j] = weight(i);
      d[j] = control[i] * dw[j];
    }
    for (size_t r = 1; r <= p; ++r) {
      for (size_t j = p; j >= r; --j) {
        size_t i = span - p + j;
        double denominator = knots[i + p + 1 - r] - knots[i];
        double a = denominator == 0 ? 0 : (t - knots[i]) / denominator;
        d[j] = d[j - 1] * (1 - a) + d[j] * a;
        dw[j] = dw[j - 1] * (1 - a) + dw[j] * a;
      }
    }
    out.push_back(dw[p] == 0 ? d[p] : d[p] * (1 / dw[p]));
  };
  size_t spans = n - p;
  int samples = static_cast<int>(
      std::clamp<size_t>(kMaxSplinePoints / std::max<size_t>(spans, 1), 1, kSamplesPerSpan));
  for (size_t span = p; span < n; ++span) {
    double t0 = knots[span], t1 = knots[span + 1];
    if (t1 <= t0) continue;
    for (int k = 0; k < samples; ++k) evaluate(span, t0 + (t1 - t0) * k / samples);
  }
  if (knots[n] > knots[p]) evaluate(n - 1, knots[n]);
  return out;
}

}  // namespace host::render
