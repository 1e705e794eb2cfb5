#include <algorithm>
#include <cmath>
#include <cstdio>

#include "cli/data_check.h"
#include "cli/entity_points.h"

namespace cli {

namespace {

constexpr size_t kSample = 2048;
constexpr double kTolerance = 1e-6;

double Median(std::vector<double> values) {
  auto middle = values.begin() + static_cast<std::ptrdiff_t>(values.size() / 2);
  std::nth_element(values.begin(), middle, values.end());
  return *middle;
}

std::string Point(double x, double y) {
  char text[64];
  std::snprintf(text, sizeof text, "(%.6g, %.6g)", x, y);
  return text;
}

}  // namespace

std::vector<EntityPoint> PlacementSample(const std::vector<EntityPoint>& measured) {
  size_t placed = 0;
  for (const EntityPoint& entity : measured) placed += entity.has_point;
  size_t step = std::max<size_t>(1, placed / kSample);
  std::vector<EntityPoint> sample;
  sample.reserve(placed / step + 1);
  size_t n = 0;
  for (const EntityPoint& entity : measured) {
    if (!entity.has_point) continue;
    if (n++ % step == 0) sample.push_back(entity);
  }
  return sample;
}

void CheckPlacement(const std::vector<EntityPoint>& sample, host::ContainerId space, double factor,
                    const host::Drawing& after, DataCheckResult* result) {
  struct Pair {
    const EntityPoint* entity;
    double x, y;  // after
  };
  std::vector<Pair> pairs;
  for (const EntityPoint& before : sample) {
    const host::Entity& entity = after.entity(before.id);
    if (entity.erased || entity.container == space) continue;
    Pair pair{&before, 0, 0};
    if (FirstPoint(after, before.id, &pair.x, &pair.y)) pairs.push_back(pair);
  }
  if (pairs.empty()) return;
  // The entity that moved by the median offset is where the others are
  // measured from: each must lie from it as it lay before, times the factor.
  // (Measured from a computed translation instead, a point a world away
  // would hide the others' loss in the rounding of that translation.)
  auto median_by = [&](auto offset) {
    std::vector<size_t> order(pairs.size());
    for (size_t i = 0; i < order.size(); ++i) order[i] = i;
    auto middle = order.begin() + static_cast<std::ptrdiff_t>(order.size() / 2);
    std::nth_element(order.begin(), middle, order.end(),
                     [&](size_t a, size_t b) { return offset(pairs[a]) < offset(pairs[b]); });
    return pairs[*middle];
  };
  const Pair rx = median_by([&](const Pair& p) { return p.x - factor * p.entity->x; });
  const Pair ry = median_by([&](const Pair& p) { return p.y - factor * p.entity->y; });
  std::vector<double> xs, ys;
  for (const Pair& pair : pairs) {
    xs.push_back(pair.entity->x);
    ys.push_back(pair.entity->y);
  }
  double mx = Median(xs), my = Median(ys);
  std::vector<double> distances;
  for (const Pair& pair : pairs)
    distances.push_back(std::max(std::fabs(pair.entity->x - mx), std::fabs(pair.entity->y - my)));
  double allowed = kTolerance * std::fabs(factor) * std::max(Median(distances), 1.0);
  auto expected_x = [&](const Pair& p) { return rx.x + factor * (p.entity->x - rx.entity->x); };
  auto expected_y = [&](const Pair& p) { return ry.y + factor * (p.entity->y - ry.entity->y); };
  std::vector<const Pair*> off;
  double first_off = 0;
  for (const Pair& pair : pairs) {
    double ox = (pair.x - rx.x) - factor * (pair.entity->x - rx.entity->x);
    double oy = (pair.y - ry.y) - factor * (pair.entity->y - ry.entity->y);
    // Written so that a NaN counts as off.
    double distance = std::max(std::fabs(ox), std::fabs(oy));
    if (distance <= allowed) continue;
    if (off.empty()) first_off = distance;
    off.push_back(&pair);
  }
  if (off.empty()) return;
  const Pair& first = *off.front();
  std::string text = std::to_string(off.size()) + " of " + std::to_string(pairs.size()) +
                     " sampled entities are not where the conversion's move and scale put "
                     "them (scaled by " +
                     std::to_string(factor) + "): ";
  for (size_t i = 0; i < off.size() && i < 10; ++i)
    text += (i ? ", " : "") +
            (off[i]->entity->handle.empty() ? std::string("(no handle)") : off[i]->entity->handle);
  if (off.size() > 10) text += ", ...";
  char offset[32];
  std::snprintf(offset, sizeof offset, "%.3g", first_off);
  text += "; e.g. " +
          (first.entity->handle.empty() ? std::string("the first") : first.entity->handle) +
          " lies " + offset + " drawing units from its place " +
          Point(expected_x(first), expected_y(first));
  result->problems.push_back(text);
}

}  // namespace cli
