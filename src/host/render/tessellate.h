// Curves as the polylines a picture draws: elliptic arcs, polyline bulges
// and B-splines, carried by a placement into world coordinates.
#pragma once

#include <vector>

#include "host/geometry/affine.h"
#include "host/host_only.h"
#include "host/render/picture.h"

namespace host::render {

using geometry::Affine;
using geometry::Vec3;

// Segments of a full turn; arcs get their share, at least two.
inline constexpr int kSegmentsPerTurn = 72;

// The point seen from above.
Point2 Project(const Affine& placement, const Vec3& p);

// Appends c + u cos t + v sin t for t from t0 to t1 (radians, counter-
// clockwise; t1 below t0 wraps through 2 pi; equal ends or a span of a full
// turn or more give the whole ellipse), both ends included.
void AppendEllipticArc(const Affine& placement, const Vec3& c, const Vec3& u, const Vec3& v,
                       double t0, double t1, std::vector<Point2>* out);

// Appends the segment a polyline draws from p1 to p2 with bulge b (the
// tangent of a quarter of the arc's angle, negative clockwise): the points
// after p1, p2 included. A bulge of 0 (or a segment of no length) is a
// straight line.
void AppendBulgeSegment(const Affine& placement, const Vec3& p1, const Vec3& p2, double bulge,
                        std::vector<Point2>* out);

// A B-spline of the given degree through its control points and knots
// (weights empty, or one per control point for a rational spline). Empty
// when the data do not make a spline (knots != control points + degree +
// 1, knots decreasing, weights not positive).
std::vector<Vec3> EvaluateSpline(int degree, const std::vector<double>& knots,
                                 const std::vector<Vec3>& control,
                                 const std::vector<double>& weights);

}  // namespace host::render
