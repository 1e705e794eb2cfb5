#include "host/render/entity_painter.h"

#include <cmath>
#include <numbers>
#include <optional>

#include "host/geometry/entity_extents.h"
#include "host/geometry/ocs.h"
#include "host/geometry/record_walk.h"
#include "host/geometry/vector_math.h"
#include "host/render/tessellate.h"

namespace host::render {

namespace {

using geometry::Ocs;
using Views = std::vector<dxf::TagView>;

constexpr double kDegree = std::numbers::pi / 180;

Affine InOcs(const Views& tags, const Affine& placement) {
  return placement * Affine::FromOcs(Ocs(geometry::ExtrusionOf(tags)));
}

// Every point with this x code among the record's own data, in order.
std::vector<Vec3> OwnPoints(const Views& tags, int code) {
  std::vector<Vec3> points;
  geometry::ForEachOwnTag(tags, [&](std::string_view subclass, size_t i) {
    if (tags[i].code != code || subclass == geometry::kEmbeddedObject) return;
    if (std::optional<Vec3> p = geometry::PointAt(tags, i)) points.push_back(*p);
  });
  return points;
}

std::vector<double> OwnNumbers(const Views& tags, int code) {
  std::vector<double> numbers;
  geometry::ForEachOwnTag(tags, [&](std::string_view, size_t i) {
    if (tags[i].code == code) numbers.push_back(dxf::ParseDouble(tags[i].value).value_or(NAN));
  });
  return numbers;
}

bool Polyline(const Affine& placement, const std::vector<Vec3>& points, bool closed, Rgb colour,
              Picture* picture) {
  if (points.empty()) return true;
  std::vector<Point2> projected;
  projected.reserve(points.size());
  for (const Vec3& p : points) projected.push_back(Project(placement, p));
  return picture->AddStroke(colour, projected, closed);
}

bool CircleOrArc(const Views& tags, bool arc, const Affine& placement, Rgb colour,
                 Picture* picture) {
  std::optional<Vec3> centre = geometry::OwnPoint(tags, 10);
  double r = geometry::OwnNumber(tags, 40).value_or(0);
  if (!centre || !(r > 0) || !std::isfinite(r)) return true;
  double t0 = 0, t1 = 2 * std::numbers::pi;
  if (arc) {
    t0 = geometry::OwnNumber(tags, 50).value_or(0) * kDegree;
    t1 = geometry::OwnNumber(tags, 51).value_or(360) * kDegree;
  }
  std::vector<Point2> points;
  AppendEllipticArc(InOcs(tags, placement), *centre, {r, 0, 0}, {0, r, 0}, t0, t1, &points);
  return picture->AddStroke(colour, points, !arc);
}

bool Ellipse(const Views& tags, const Affine& placement, Rgb colour, Picture* picture) {
  std::optional<Vec3> centre = geometry::OwnPoint(tags, 10);
  std::optional<Vec3> major = geometry::OwnPoint(tags, 11);
  if (!centre || !major) return true;
  double ratio = geometry::OwnNumber(tags, 40).value_or(1);
  Vec3 minor = geometry::Cross(Ocs(geometry::ExtrusionOf(tags)).z_axis(), *major) * ratio;
  double t0 = geometry::OwnNumber(tags, 41).value_or(0);
  double t1 = geometry::OwnNumber(tags, 42).value_or(2 * std::numbers::pi);
  std::vector<Point2> points;
  AppendEllipticArc(placement, *centre, *major, minor, t0, t1, &points);
  bool whole = std::fabs(std::fabs(t1 - t0) - 2 * std::numbers::pi) < 1e-9 || t1 == t0;
  return picture->AddStroke(colour, points, whole);
}

bool LwPolyline(const Views& tags, const Affine& placement, Rgb colour, Picture* picture) {
  Affine frame = InOcs(tags, placement);
  double elevation = geometry::OwnNumber(tags, 38).value_or(0);
  bool closed = (geometry::OwnInteger(tags, 70).value_or(0) & 1) != 0;
  std::optional<Vec3> first, previous;
  double bulge = 0;  // of the segment that starts at the previous vertex
  std::vector<Point2> points;
  geometry::ForEachOwnTag(tags, [&](std::string_view, size_t i) {
    if (tags[i].code == 42) {
      bulge = dxf::ParseDouble(tags[i].value).value_or(0);
    } else if (tags[i].code == 10) {
      std::optional<Vec3> p = geometry::PointAt(tags, i);
      if (!p) return;
      p->z = elevation;
      if (previous) {
        AppendBulgeSegment(frame, *previous, *p, bulge, &points);
      } else {
        first = p;
        points.push_back(Project(frame, *p));
      }
      previous = p;
      bulge = 0;
    }
  });
  // The bulge after the last vertex belongs to the closing segment.
  if (closed && first && previous && bulge != 0) {
    AppendBulgeSegment(frame, *previous, *first, bulge, &points);
    points.pop_back();  // the first point again; the stroke closes itself
  }
  return picture->AddStroke(colour, points, closed);
}

bool Spline(const Views& tags, const Affine& placement, Rgb colour, Picture* picture) {
  int degree = static_cast<int>(geometry::OwnInteger(tags, 71).value_or(3));
  bool closed = (geometry::OwnInteger(tags, 70).value_or(0) & 1) != 0;
  std::vector<Vec3> control = OwnPoints(tags, 10);
  std::vector<double> weights = OwnNumbers(tags, 41);
  if (weights.size() != control.size()) weights.clear();
  std::vector<Vec3> curve = EvaluateSpline(degree, OwnNumbers(tags, 40), control, weights);
  if (curve.empty()) curve = OwnPoints(tags, 11);  // fit points lie on the curve
  if (curve.empty()) curve = std::move(control);
  return Polyline(placement, curve, closed && curve.size() > 2, colour, picture);
}

// SOLID and TRACE: the corners run 10, 11, 13, 12 round the outline; a
// triangle repeats its third corner.
bool Solid(const Views& tags, const Affine& placement, Rgb colour, Picture* picture) {
  std::optional<Vec3> corners[4];
  for (int k = 0; k < 4; ++k) corners[k] = geometry::OwnPoint(tags, 10 + k);
  if (!corners[0] || !corners[1] || !corners[2]) return true;
  if (!corners[3]) corners[3] = corners[2];
  std::vector<Vec3> outline{*corners[0], *corners[1], *corners[3], *corners[2]};
  return Polyline(InOcs(tags, placement), outline, true, colour, picture);
}

// 3DFACE: the corners in order; bits of 70 hide edges 1 to 4.
bool Face(const Views& tags, const Affine& placement, Rgb colour, Picture* picture) {
  std::optional<Vec3> corners[4];
  for (int k = 0; k < 4; ++k) corners[k] = geometry::OwnPoint(tags, 10 + k);
  if (!corners[0] || !corners[1] || !corners[2]) return true;
  if (!corners[3]) corners[3] = corners[2];
  long long hidden = geometry::OwnInteger(tags, 70).value_or(0);
  if ((hidden & 15) == 0) {
    return Polyline(placement, {*corners[0], *corners[1], *corners[2], *corners[3]}, true, colour,
                    picture);
  }
  for (int k = 0; k < 4; ++k) {
    if (hidden & (1 << k)) continue;
    if (!Polyline(placement, {*corners[k], *corners[(k + 1) % 4]}, false, colour, picture))
      return false;
  }
  return true;
}

bool Rectangle(const Affine& placement, const Vec3& origin, const Vec3& u, const Vec3& v,
               Rgb colour, Picture* picture) {
  return Polyline(placement, {origin, origin + u, origin + u + v, origin + v}, true, colour,
                  picture);
}

bool Viewport(const Views& tags, const Affine& placement, Rgb colour, Picture* picture) {
  // The layout's own viewport (id 1) is the sheet, not a frame on it.
  if (geometry::OwnInteger(tags, 69).value_or(0) == 1) return true;
  std::optional<Vec3> centre = geometry::OwnPoint(tags, 10);
  double w = geometry::OwnNumber(tags, 40).value_or(0),
         h = geometry::OwnNumber(tags, 41).value_or(0);
  if (!centre || !(w > 0) || !(h > 0)) return true;
  return Rectangle(placement, *centre - Vec3{w / 2, h / 2, 0}, {w, 0, 0}, {0, h, 0}, colour,
                   picture);
}

bool Image(const Views& tags, const Affine& placement, Rgb colour, Picture* picture) {
  std::optional<Vec3> origin = geometry::OwnPoint(tags, 10);
  std::optional<Vec3> u = geometry::OwnPoint(tags, 11), v = geometry::OwnPoint(tags, 12);
  std::optional<Vec3> size = geometry::OwnPoint(tags, 13);
  if (!origin || !u || !v || !size) return true;
  return Rectangle(placement, *origin, *u * size->x, *v * size->y, colour, picture);
}

}  // namespace

bool PaintOwnGeometry(std::string_view type, const Views& tags, const Affine& placement, Rgb colour,
                      Picture* picture) {
  if (type == "LINE") {
    std::optional<Vec3> a = geometry::OwnPoint(tags, 10), b = geometry::OwnPoint(tags, 11);
    if (!a || !b) return true;
    return Polyline(placement, {*a, *b}, false, colour, picture);
  }
  if (type == "POINT") {
    std::optional<Vec3> p = geometry::OwnPoint(tags, 10);
    return !p || Polyline(placement, {*p}, false, colour, picture);
  }
  if (type == "CIRCLE" || type == "ARC")
    return CircleOrArc(tags, type == "ARC", placement, colour, picture);
  if (type == "ELLIPSE") return Ellipse(tags, placement, colour, picture);
  if (type == "LWPOLYLINE") return LwPolyline(tags, placement, colour, picture);
  if (type == "SPLINE") return Spline(tags, placement, colour, picture);
  if (type == "SOLID" || type == "TRACE") return Solid(tags, placement, colour, picture);
  if (type == "3DFACE") return Face(tags, placement, colour, picture);
  if (type == "LEADER") return Polyline(placement, OwnPoints(tags, 10), false, colour, picture);
  if (type == "HATCH") return PaintHatchBoundary(tags, placement, colour, picture);
  if (type == "VIEWPORT") return Viewport(tags, placement, colour, picture);
  if (type == "IMAGE" || type == "WIPEOUT") return Image(tags, placement, colour, picture);
  return true;
}

}  // namespace host::render
