// The object coordinate system (OCS) of a planar entity: the frame its
// points are stored in, derived from its extrusion direction (group 210) by
// the arbitrary-axis algorithm of the DXF format.
#pragma once

#include "host/geometry/transform.h"
#include "host/host_only.h"

namespace host::geometry {

class Ocs {
 public:
  // A missing, zero-length or non-finite extrusion gives the world frame,
  // as a CAD program reading such a file would use.
  explicit Ocs(const Vec3& extrusion = {0, 0, 1});

  // True when the frame is the world frame itself; points then need no
  // conversion (and keep their exact values).
  bool is_world() const { return world_; }
  const Vec3& x_axis() const { return ax_; }
  const Vec3& y_axis() const { return ay_; }
  const Vec3& z_axis() const { return az_; }

  Vec3 ToWorld(const Vec3& p) const;    // a point or vector given in this frame
  Vec3 FromWorld(const Vec3& p) const;  // a world point or vector in this frame

 private:
  bool world_ = true;
  Vec3 ax_{1, 0, 0}, ay_{0, 1, 0}, az_{0, 0, 1};
};

}  // namespace host::geometry
