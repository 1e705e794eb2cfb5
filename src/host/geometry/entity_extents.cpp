#include "host/geometry/entity_extents.h"

#include <cmath>
#include <numbers>

#include "host/geometry/ocs.h"
#include "host/geometry/record_walk.h"
#include "host/geometry/text_extents.h"
#include "host/geometry/vector_math.h"

namespace host::geometry {

namespace {

using Views = std::vector<dxf::TagView>;

constexpr double kDegree = std::numbers::pi / 180;

// Every point with one of the x codes among the record's own data.
void AddPoints(const Views& tags, std::initializer_list<int> codes, const ExtentSink& sink) {
  ForEachOwnTag(tags, [&](std::string_view subclass, size_t i) {
    if (subclass == kEmbeddedObject) return;
    for (int code : codes) {
      if (tags[i].code != code) continue;
      if (std::optional<Vec3> p = PointAt(tags, i)) sink.Point(*p);
    }
  });
}

ExtentSink InOcs(const Views& tags, const ExtentSink& sink) {
  return sink.Within(Affine::FromOcs(Ocs(ExtrusionOf(tags))));
}

void AddCircleOrArc(const Views& tags, bool arc, const ExtentSink& sink) {
  std::optional<Vec3> centre = OwnPoint(tags, 10);
  double r = OwnNumber(tags, 40).value_or(0);
  if (!centre || !std::isfinite(r)) return;
  double t0 = 0, t1 = 2 * std::numbers::pi;
  if (arc) {
    t0 = OwnNumber(tags, 50).value_or(0) * kDegree;
    t1 = OwnNumber(tags, 51).value_or(360) * kDegree;
  }
  InOcs(tags, sink).EllipticArc(*centre, {r, 0, 0}, {0, r, 0}, t0, t1);
}

void AddEllipse(const Views& tags, const ExtentSink& sink) {
  std::optional<Vec3> centre = OwnPoint(tags, 10);
  std::optional<Vec3> major = OwnPoint(tags, 11);
  if (!centre || !major) return;
  double ratio = OwnNumber(tags, 40).value_or(1);
  Vec3 n = Ocs(ExtrusionOf(tags)).z_axis();
  Vec3 minor = Cross(n, *major) * ratio;
  sink.EllipticArc(*centre, *major, minor, OwnNumber(tags, 41).value_or(0),
                   OwnNumber(tags, 42).value_or(2 * std::numbers::pi));
}

// LWPOLYLINE: 2D vertices with bulges at elevation 38, in the OCS. Wide
// polylines grow by half their widest width on every side.
void AddLwPolyline(const Views& tags, const ExtentSink& sink) {
  ExtentSink ocs_sink = InOcs(tags, sink);
  double elevation = OwnNumber(tags, 38).value_or(0);
  bool closed = (OwnInteger(tags, 70).value_or(0) & 1) != 0;
  double half_width = std::fabs(OwnNumber(tags, 43).value_or(0)) / 2;
  std::optional<Vec3> first, previous;
  double bulge = 0;  // of the segment that starts at the previous vertex
  Extents own;
  ExtentSink own_sink(ocs_sink.placement(), &own);
  ForEachOwnTag(tags, [&](std::string_view, size_t i) {
    int code = tags[i].code;
    if (code == 42) {
      bulge = dxf::ParseDouble(tags[i].value).value_or(0);
    } else if (code == 40 || code == 41) {
      double w = dxf::ParseDouble(tags[i].value).value_or(0);
      if (std::isfinite(w)) half_width = std::max(half_width, std::fabs(w) / 2);
    } else if (code == 10) {
      std::optional<Vec3> p = PointAt(tags, i);
      if (!p) return;
      p->z = elevation;
      if (previous) {
        own_sink.BulgeSegment(*previous, *p, bulge);
      } else {
        first = p;
        own_sink.Point(*p);
      }
      previous = p;
      bulge = 0;
    }
  });
  // The bulge after the last vertex belongs to the closing segment.
  if (closed && first && previous) own_sink.BulgeSegment(*previous, *first, bulge);
  PadInPlane(ocs_sink.placement(), half_width, &own);
  sink.out()->Add(own);
}

void AddViewport(const Views& tags, const ExtentSink& sink) {
  std::optional<Vec3> centre = OwnPoint(tags, 10);
  double w = OwnNumber(tags, 40).value_or(0) / 2, h = OwnNumber(tags, 41).value_or(0) / 2;
  if (!centre) return;
  for (double dx : {-w, w}) {
    for (double dy : {-h, h}) sink.Point(*centre + Vec3{dx, dy, 0});
  }
}

void AddImage(const Views& tags, const ExtentSink& sink) {
  std::optional<Vec3> origin = OwnPoint(tags, 10);
  std::optional<Vec3> u = OwnPoint(tags, 11), v = OwnPoint(tags, 12);
  std::optional<Vec3> size = OwnPoint(tags, 13);
  if (!origin) return;
  sink.Point(*origin);
  if (!u || !v || !size) return;
  for (double a : {0.0, size->x}) {
    for (double b : {0.0, size->y}) sink.Point(*origin + *u * a + *v * b);
  }
}

// MULTILEADER: the points of its context data (content base, text location,
// leader points and vertices); outside it, 10 is a scale.
void AddMultiLeader(const Views& tags, const ExtentSink& sink) {
  bool in_context = false;
  ForEachOwnTag(tags, [&](std::string_view, size_t i) {
    int code = tags[i].code;
    if (code == 300) in_context = true;
    if (code == 301) in_context = false;
    if (in_context && (code == 10 || code == 12)) {
      if (std::optional<Vec3> p = PointAt(tags, i)) sink.Point(*p);
    }
  });
}

}  // namespace

std::optional<Vec3> OwnPoint(const Views& tags, int code) {
  OwnDataWalk walk(tags);
  while (std::optional<size_t> i = walk.Next()) {
    if (tags[*i].code != code || walk.subclass() == kEmbeddedObject) continue;
    if (std::optional<Vec3> p = PointAt(tags, *i)) return p;
  }
  return std::nullopt;
}

std::string_view OwnText(const Views& tags, int code) {
  std::string_view text;
  bool found = false;
  ForEachOwnTag(tags, [&](std::string_view subclass, size_t i) {
    if (!found && tags[i].code == code && subclass != kEmbeddedObject) {
      text = tags[i].value;
      found = true;
    }
  });
  return text;
}

void PadInPlane(const Affine& placement, double half_width, Extents* extents) {
  if (extents->empty() || !(half_width > 0) || !std::isfinite(half_width)) return;
  // A disc of radius w in the plane reaches (|x| + |y|) w along each world
  // axis at most, x and y being the plane's axes as placed.
  Vec3 x = placement.Vector({1, 0, 0}), y = placement.Vector({0, 1, 0});
  Vec3 pad{(std::fabs(x.x) + std::fabs(y.x)) * half_width,
           (std::fabs(x.y) + std::fabs(y.y)) * half_width,
           (std::fabs(x.z) + std::fabs(y.z)) * half_width};
  Vec3 low = extents->min - pad, high = extents->max + pad;
  extents->Add(low);
  extents->Add(high);
}

std::optional<Vec3> PointAt(const Views& tags, size_t i) {
  int code = tags[i].code;
  std::optional<double> x = dxf::ParseDouble(tags[i].value);
  if (!x || i + 1 >= tags.size() || tags[i + 1].code != code + 10) return std::nullopt;
  std::optional<double> y = dxf::ParseDouble(tags[i + 1].value);
  std::optional<double> z = 0.0;
  if (i + 2 < tags.size() && tags[i + 2].code == code + 20) z = dxf::ParseDouble(tags[i + 2].value);
  if (!y || !z) return std::nullopt;
  return Vec3{*x, *y, *z};
}

bool AddOwnGeometry(std::string_view type, const Views& tags, const ExtentSink& sink) {
  if (type == "LINE") {
    AddPoints(tags, {10, 11}, sink);
  } else if (type == "POINT" || type == "TOLERANCE" || type == "MESH") {
    AddPoints(tags, {10}, sink);
  } else if (type == "3DFACE") {
    AddPoints(tags, {10, 11, 12, 13}, sink);
  } else if (type == "SOLID" || type == "TRACE") {
    AddPoints(tags, {10, 11, 12, 13}, InOcs(tags, sink));
  } else if (type == "CIRCLE" || type == "ARC") {
    AddCircleOrArc(tags, type == "ARC", sink);
  } else if (type == "ELLIPSE") {
    AddEllipse(tags, sink);
  } else if (type == "LWPOLYLINE") {
    AddLwPolyline(tags, sink);
  } else if (type == "SPLINE" || type == "HELIX") {
    // The curve lies within the hull of its control points; fit points lie
    // on it.
    AddPoints(tags, {10, 11}, sink);
  } else if (type == "LEADER" || type == "MLINE") {
    AddPoints(tags, {10, 11}, sink);
  } else if (type == "TEXT" || type == "ATTRIB" || type == "ATTDEF") {
    AddTextBox(type, tags, sink);
  } else if (type == "MTEXT") {
    AddMTextBox(tags, sink);
  } else if (type == "HATCH") {
    AddHatchBoundary(tags, InOcs(tags, sink));
  } else if (type == "VIEWPORT") {
    AddViewport(tags, sink);
  } else if (type == "IMAGE" || type == "WIPEOUT") {
    AddImage(tags, sink);
  } else if (type == "SHAPE") {
    AddPoints(tags, {10}, InOcs(tags, sink));
  } else if (type == "MULTILEADER" || type == "MLEADER") {
    AddMultiLeader(tags, sink);
  } else if (type == "INSERT" || type == "DIMENSION" || type == "POLYLINE" || type == "VERTEX" ||
             type == "SEQEND" || type == "ARC_DIMENSION" || type == "LARGE_RADIAL_DIMENSION") {
    return false;
  } else if (type == "XLINE" || type == "RAY" || type == "ENDBLK" || type == "BLOCK") {
    // Infinite lines do not count towards extents.
  } else if (type == "3DSOLID" || type == "REGION" || type == "BODY" || type.ends_with("SURFACE")) {
    // ACIS data: not readable here.
  } else {
    // Unknown types: their insertion-like points (code 10).
    AddPoints(tags, {10}, sink);
  }
  return true;
}

}  // namespace host::geometry
