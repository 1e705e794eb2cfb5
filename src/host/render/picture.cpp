#include "host/render/picture.h"

#include <algorithm>
#include <cmath>

namespace host::render {

namespace {

bool IsFinite(const Point2& p) { return std::isfinite(p.x) && std::isfinite(p.y); }

// The estimated advance of a character, in text heights, for the bounds of
// labels (the same estimate the extents of texts use).
constexpr double kCharacterWidth = 0.7;

}  // namespace

void Bounds::Add(const Point2& p) {
  if (!IsFinite(p)) return;
  if (empty) {
    min_x = max_x = p.x;
    min_y = max_y = p.y;
    empty = false;
    return;
  }
  min_x = std::min(min_x, p.x);
  max_x = std::max(max_x, p.x);
  min_y = std::min(min_y, p.y);
  max_y = std::max(max_y, p.y);
}

bool Picture::Room(size_t points) {
  if (truncated_) return false;
  if (primitives() + 1 > max_primitives_ || points_.size() + points > max_points_) {
    truncated_ = true;
    return false;
  }
  return true;
}

bool Picture::AddStroke(Rgb colour, const std::vector<Point2>& points, bool closed) {
  if (!Room(points.size())) return false;
  Stroke stroke{colour, points_.size(), 0, closed};
  for (const Point2& p : points) {
    if (!IsFinite(p)) continue;
    points_.push_back(p);
    bounds_.Add(p);
    ++stroke.count;
  }
  if (stroke.count == 0) return true;
  if (stroke.count < 3) stroke.closed = false;
  strokes_.push_back(stroke);
  return true;
}

bool Picture::AddLabel(Label label) {
  if (!Room(0)) return false;
  const Point2 &o = label.origin, &x = label.x_axis, &y = label.y_axis;
  if (!IsFinite(o) || !IsFinite(x) || !IsFinite(y) || label.text.empty()) return true;
  if (std::hypot(y.x, y.y) == 0) return true;  // seen edge-on: nothing shows
  // The box the line covers, from the anchor: its length estimated from the
  // number of characters (UTF-8 continuation bytes do not count).
  double length = 0;
  for (char c : label.text) length += (static_cast<unsigned char>(c) & 0xC0) != 0x80;
  length *= kCharacterWidth;
  double start = label.anchor == Label::kStart    ? 0
                 : label.anchor == Label::kMiddle ? -length / 2
                                                  : -length;
  for (double along : {start, start + length}) {
    for (double up : {0.0, 1.0}) {
      bounds_.Add({o.x + x.x * along + y.x * up, o.y + x.y * along + y.y * up});
    }
  }
  labels_.push_back(std::move(label));
  return true;
}

}  // namespace host::render
