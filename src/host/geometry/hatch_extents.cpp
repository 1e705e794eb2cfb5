// The boundary of a HATCH, walked path by path. The codes mean what the
// part of the record they stand in says (see hatch_rule.cpp).
#include <cmath>
#include <numbers>
#include <optional>

#include "host/geometry/entity_extents.h"
#include "host/geometry/record_walk.h"

namespace host::geometry {

namespace {

constexpr double kDegree = std::numbers::pi / 180;

// The edge being read and what has been read of it.
struct Edge {
  long long type = 0;  // 1 line, 2 arc, 3 ellipse, 4 spline
  std::optional<Vec3> centre, axis;
  double radius = 0, ratio = 1, start = 0, end = 360;
  bool counter_clockwise = true;
};

void FinishEdge(const Edge& edge, const ExtentSink& sink) {
  if (!edge.centre) return;
  const Vec3& c = *edge.centre;
  // Clockwise edges store their angles mirrored; their full curve is a safe
  // bound.
  double t0 = edge.counter_clockwise ? edge.start * kDegree : 0;
  double t1 = edge.counter_clockwise ? edge.end * kDegree : 2 * std::numbers::pi;
  if (edge.type == 2) {
    sink.EllipticArc(c, {edge.radius, 0, 0}, {0, edge.radius, 0}, t0, t1);
  } else if (edge.type == 3 && edge.axis) {
    Vec3 major = *edge.axis;
    Vec3 minor{-major.y * edge.ratio, major.x * edge.ratio, 0};
    sink.EllipticArc(c, major, minor, t0, t1);
  }
}

}  // namespace

void AddHatchBoundary(const std::vector<dxf::TagView>& tags, const ExtentSink& ocs_sink) {
  double elevation = 0;
  bool in_paths = false, polyline_path = false;
  std::optional<Vec3> first, previous;
  double bulge = 0;
  bool closed = false;
  Edge edge;
  auto finish_path = [&] {
    if (polyline_path && closed && first && previous) {
      ocs_sink.BulgeSegment(*previous, *first, bulge);
    }
    FinishEdge(edge, ocs_sink);
    edge = Edge();
    first.reset();
    previous.reset();
    bulge = 0;
  };
  ForEachOwnTag(tags, [&](std::string_view subclass, size_t i) {
    if (!subclass.empty() && subclass != "AcDbHatch") return;
    int code = tags[i].code;
    std::string_view value = tags[i].value;
    if (!in_paths) {
      if (code == 30) elevation = dxf::ParseDouble(value).value_or(0);  // of the elevation point
      if (code == 91) in_paths = true;
      return;
    }
    switch (code) {
      case 92:
        finish_path();
        polyline_path = (dxf::ParseInt(value).value_or(0) & 2) != 0;
        closed = false;
        return;
      case 75:  // the pattern part follows the paths
      case 76:
        finish_path();
        in_paths = false;
        return;
      default:
        break;
    }
    if (polyline_path) {
      if (code == 73) closed = dxf::ParseInt(value).value_or(0) != 0;
      if (code == 42) bulge = dxf::ParseDouble(value).value_or(0);
      if (code == 10) {
        std::optional<Vec3> p = PointAt(tags, i);
        if (!p) return;
        p->z = elevation;
        if (previous) ocs_sink.BulgeSegment(*previous, *p, bulge);
        if (!first) first = p;
        ocs_sink.Point(*p);
        previous = p;
        bulge = 0;
      }
      return;
    }
    if (code == 72) {
      FinishEdge(edge, ocs_sink);
      edge = Edge();
      edge.type = dxf::ParseInt(value).value_or(0);
      return;
    }
    std::optional<double> number = dxf::ParseDouble(value);
    switch (code) {
      case 10:
      case 11:
        if (std::optional<Vec3> p = PointAt(tags, i)) {
          p->z = elevation;
          if (edge.type == 1 || edge.type == 4) {
            ocs_sink.Point(*p);  // line ends, spline control and fit points
          } else if (code == 10) {
            edge.centre = p;
          } else {
            edge.axis = Vec3{p->x, p->y, 0};
          }
        }
        break;
      case 40:
        if (edge.type == 2) edge.radius = number.value_or(0);
        if (edge.type == 3) edge.ratio = number.value_or(1);
        break;
      case 50:
        edge.start = number.value_or(0);
        break;
      case 51:
        edge.end = number.value_or(360);
        break;
      case 73:
        if (edge.type == 2 || edge.type == 3) edge.counter_clockwise = number.value_or(1) != 0;
        break;
      default:
        break;
    }
  });
  if (in_paths) finish_path();
}

}  // namespace host::geometry
