// What a picture of a drawing is made of before it becomes SVG: strokes
// (polylines in one colour) and labels (text lines placed by a frame), in
// world coordinates seen from above (x, y; z dropped), with limits on how
// much is collected.
#pragma once

#include <cstddef>
#include <string>
#include <vector>

#include "host/host_only.h"
#include "host/render/colour_index.h"

namespace host::render {

struct Point2 {
  double x = 0;
  double y = 0;
};

// A line of text. origin lies on the baseline at the anchor; x_axis is the
// image of one text height along the baseline (width factor included),
// y_axis the image of one text height upwards. Inserted blocks may turn,
// stretch or mirror both.
struct Label {
  Rgb colour = 0;
  std::string text;  // UTF-8, fit for XML once escaped
  Point2 origin, x_axis, y_axis;
  enum Anchor { kStart, kMiddle, kEnd } anchor = kStart;
};

struct Stroke {
  Rgb colour = 0;
  size_t first = 0;  // into Picture::points()
  size_t count = 0;
  bool closed = false;
};

struct Bounds {
  double min_x = 0, min_y = 0, max_x = 0, max_y = 0;
  bool empty = true;
  void Add(const Point2& p);
};

class Picture {
 public:
  Picture(size_t max_primitives, size_t max_points)
      : max_primitives_(max_primitives), max_points_(max_points) {}

  // Adds a polyline (one point draws a dot). Points that are not finite
  // are left out. False, with nothing added, once the picture is full.
  bool AddStroke(Rgb colour, const std::vector<Point2>& points, bool closed);
  bool AddLabel(Label label);
  // Marks the picture as cut short (the walk stopped early).
  void MarkTruncated() { truncated_ = true; }

  bool full() const { return truncated_; }
  bool truncated() const { return truncated_; }
  size_t primitives() const { return strokes_.size() + labels_.size(); }
  const std::vector<Stroke>& strokes() const { return strokes_; }
  const std::vector<Point2>& points() const { return points_; }
  const std::vector<Label>& labels() const { return labels_; }
  const Bounds& bounds() const { return bounds_; }

 private:
  bool Room(size_t points);

  size_t max_primitives_;
  size_t max_points_;
  bool truncated_ = false;
  std::vector<Stroke> strokes_;
  std::vector<Point2> points_;
  std::vector<Label> labels_;
  Bounds bounds_;
};

}  // namespace host::render
