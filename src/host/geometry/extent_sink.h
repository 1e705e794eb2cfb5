// Where entity geometry goes when extents are collected: points and arcs
// given in the coordinates of the records being walked, carried by the
// placement (block insertions, OCS) into world coordinates.
#pragma once

#include "host/geometry/affine.h"
#include "host/geometry/extents.h"
#include "host/host_only.h"

namespace host::geometry {

class ExtentSink {
 public:
  ExtentSink(const Affine& placement, Extents* out) : placement_(placement), out_(out) {}

  // The same target seen through one more map (for example an entity's OCS).
  ExtentSink Within(const Affine& local) const { return ExtentSink(placement_ * local, out_); }

  void Point(const Vec3& p) const;
  // The elliptic arc c + u cos t + v sin t for t running counter-clockwise
  // from t0 to t1 (radians; t1 below t0 wraps through 2 pi). Arcs of a full
  // turn or more, and equal ends, give the whole ellipse. Bounded exactly,
  // whatever the placement.
  void EllipticArc(const Vec3& c, const Vec3& u, const Vec3& v, double t0, double t1) const;
  // The arc a polyline segment with bulge b draws from p1 to p2 (both in the
  // plane z = p1.z); a bulge of 0 adds the two points.
  void BulgeSegment(const Vec3& p1, const Vec3& p2, double bulge) const;

  const Affine& placement() const { return placement_; }
  Extents* out() const { return out_; }

 private:
  Affine placement_;
  Extents* out_;
};

}  // namespace host::geometry
