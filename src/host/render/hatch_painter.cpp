// The boundary of a HATCH, path by path. The codes mean what the part of
// the record they stand in says: before the paths (91) 10 is the elevation
// point; in a polyline path 72 says whether bulges follow; in an edge path
// 72 is the edge type and 73 the arc direction (the rational flag for a
// spline edge); after the paths (75, 76) the pattern and the seeds follow.
#include <cmath>
#include <numbers>
#include <optional>

#include "host/geometry/entity_extents.h"
#include "host/geometry/ocs.h"
#include "host/geometry/record_walk.h"
#include "host/geometry/vector_math.h"
#include "host/render/entity_painter.h"
#include "host/render/tessellate.h"

namespace host::render {

namespace {

constexpr double kDegree = std::numbers::pi / 180;

enum EdgeType { kNoEdge = 0, kLineEdge = 1, kArcEdge = 2, kEllipseEdge = 3, kSplineEdge = 4 };

struct Edge {
  long long type = kNoEdge;
  std::vector<Vec3> points;  // line ends, or spline control points
  std::vector<Vec3> fit_points;
  std::vector<double> knots, weights;
  std::optional<Vec3> centre, axis;
  double radius = 0, ratio = 1, start = 0, end = 360;
  long long degree = 3;
  bool counter_clockwise = true;
};

class HatchPainter {
 public:
  HatchPainter(const Affine& frame, Rgb colour, Picture* picture)
      : frame_(frame), colour_(colour), picture_(picture) {}

  bool ok() const { return ok_; }
  void Tag(const std::vector<dxf::TagView>& tags, size_t i);
  void Finish() { FinishPath(); }

 private:
  void FinishPath();
  void FinishEdge();
  void Stroke(const std::vector<Point2>& points, bool closed) {
    if (ok_ && !points.empty()) ok_ = picture_->AddStroke(colour_, points, closed);
  }

  Affine frame_;
  Rgb colour_;
  Picture* picture_;
  bool ok_ = true;
  double elevation_ = 0;
  bool in_paths_ = false;
  bool polyline_path_ = false;
  std::vector<Vec3> vertices_;
  std::vector<double> bulges_;  // one per vertex, for the segment it starts
  Edge edge_;
};

void HatchPainter::Tag(const std::vector<dxf::TagView>& tags, size_t i) {
  int code = tags[i].code;
  std::string_view value = tags[i].value;
  if (!in_paths_) {
    if (code == 30) elevation_ = dxf::ParseDouble(value).value_or(0);
    if (code == 91) in_paths_ = true;
    return;
  }
  if (code == 92) {
    FinishPath();
    polyline_path_ = (dxf::ParseInt(value).value_or(0) & 2) != 0;
    return;
  }
  if (code == 75 || code == 76) {
    FinishPath();
    in_paths_ = false;
    return;
  }
  std::optional<double> number = dxf::ParseDouble(value);
  if (polyline_path_) {
    if (code == 42 && !bulges_.empty()) bulges_.back() = number.value_or(0);
    if (code == 10) {
      if (std::optional<Vec3> p = geometry::PointAt(tags, i)) {
        p->z = elevation_;
        vertices_.push_back(*p);
        bulges_.push_back(0);
      }
    }
    return;
  }
  if (code == 72) {
    FinishEdge();
    edge_.type = number ? static_cast<long long>(*number) : static_cast<long long>(kNoEdge);
    return;
  }
  auto point = [&]() -> std::optional<Vec3> {
    std::optional<Vec3> p = geometry::PointAt(tags, i);
    if (p) p->z = elevation_;
    return p;
  };
  switch (code) {
    case 10:
      if (std::optional<Vec3> p = point()) {
        if (edge_.type == kArcEdge || edge_.type == kEllipseEdge) {
          edge_.centre = p;
        } else {
          edge_.points.push_back(*p);
        }
      }
      break;
    case 11:
      if (std::optional<Vec3> p = point()) {
        if (edge_.type == kEllipseEdge) edge_.axis = Vec3{p->x, p->y, 0};
        if (edge_.type == kLineEdge) edge_.points.push_back(*p);
        if (edge_.type == kSplineEdge) edge_.fit_points.push_back(*p);
      }
      break;
    case 40:
      if (edge_.type == kArcEdge) edge_.radius = number.value_or(0);
      if (edge_.type == kEllipseEdge) edge_.ratio = number.value_or(1);
      if (edge_.type == kSplineEdge) edge_.knots.push_back(number.value_or(NAN));
      break;
    case 42:
      if (edge_.type == kSplineEdge) edge_.weights.push_back(number.value_or(NAN));
      break;
    case 50:
      edge_.start = number.value_or(0);
      break;
    case 51:
      edge_.end = number.value_or(360);
      break;
    case 73:
      if (edge_.type == kArcEdge || edge_.type == kEllipseEdge)
        edge_.counter_clockwise = number.value_or(1) != 0;
      break;
    case 94:
      if (edge_.type == kSplineEdge) edge_.degree = static_cast<long long>(number.value_or(3));
      break;
    default:
      break;
  }
}

void HatchPainter::FinishEdge() {
  Edge edge = std::move(edge_);
  edge_ = Edge();
  std::vector<Point2> points;
  // A clockwise edge stores the complements (360 - angle) of its angles: it
  // covers the counter-clockwise span from -end to -start.
  double t0 = edge.counter_clockwise ? edge.start : -edge.end;
  double t1 = edge.counter_clockwise ? edge.end : -edge.start;
  switch (edge.type) {
    case kLineEdge:
      if (edge.points.size() == 2) {
        points = {Project(frame_, edge.points[0]), Project(frame_, edge.points[1])};
      }
      break;
    case kArcEdge:
      if (edge.centre && edge.radius > 0) {
        AppendEllipticArc(frame_, *edge.centre, {edge.radius, 0, 0}, {0, edge.radius, 0},
                          t0 * kDegree, t1 * kDegree, &points);
      }
      break;
    case kEllipseEdge:
      if (edge.centre && edge.axis) {
        Vec3 major = *edge.axis;
        Vec3 minor{-major.y * edge.ratio, major.x * edge.ratio, 0};
        // The angles are those of the points on the ellipse; the curve's
        // parameter runs at the angle scaled by the axes.
        auto parameter = [&](double degrees) {
          double a = degrees * kDegree;
          return std::atan2(std::sin(a) / (edge.ratio == 0 ? 1 : edge.ratio), std::cos(a));
        };
        double p0 = parameter(t0), p1 = parameter(t1);
        if (std::fabs(t1 - t0) >= 360) p1 = p0;  // whole
        AppendEllipticArc(frame_, *edge.centre, major, minor, p0, p1, &points);
      }
      break;
    case kSplineEdge: {
      std::vector<Vec3> curve =
          EvaluateSpline(static_cast<int>(edge.degree), edge.knots, edge.points, edge.weights);
      if (curve.empty()) curve = edge.fit_points.empty() ? edge.points : edge.fit_points;
      for (const Vec3& p : curve) points.push_back(Project(frame_, p));
      break;
    }
    default:
      break;
  }
  Stroke(points, false);
}

void HatchPainter::FinishPath() {
  FinishEdge();
  if (vertices_.empty()) return;
  std::vector<Point2> points{Project(frame_, vertices_[0])};
  for (size_t k = 1; k < vertices_.size(); ++k) {
    AppendBulgeSegment(frame_, vertices_[k - 1], vertices_[k], bulges_[k - 1], &points);
  }
  // Boundary paths are closed whatever their flag says; a closing bulge
  // draws its arc.
  if (vertices_.size() > 2 && bulges_.back() != 0) {
    AppendBulgeSegment(frame_, vertices_.back(), vertices_.front(), bulges_.back(), &points);
    points.pop_back();
  }
  Stroke(points, true);
  vertices_.clear();
  bulges_.clear();
}

}  // namespace

bool PaintHatchBoundary(const std::vector<dxf::TagView>& tags, const Affine& placement, Rgb colour,
                        Picture* picture) {
  HatchPainter painter(placement * Affine::FromOcs(geometry::Ocs(geometry::ExtrusionOf(tags))),
                       colour, picture);
  geometry::ForEachOwnTag(tags, [&](std::string_view subclass, size_t i) {
    if (!subclass.empty() && subclass != "AcDbHatch") return;
    if (painter.ok()) painter.Tag(tags, i);
  });
  painter.Finish();
  return painter.ok();
}

}  // namespace host::render
