// Affine maps of 3D space (a 3x3 linear part and a translation), used to
// carry block contents to where an INSERT places them.
#pragma once

#include "host/geometry/ocs.h"
#include "host/geometry/transform.h"
#include "host/host_only.h"

namespace host::geometry {

class Affine {
 public:
  Affine() = default;  // the identity

  static Affine Translation(const Vec3& t);
  static Affine Scaling(double sx, double sy, double sz);
  static Affine RotationZ(double degrees);
  static Affine FromOcs(const Ocs& ocs);  // OCS coordinates to world

  Vec3 Point(const Vec3& p) const;
  Vec3 Vector(const Vec3& v) const;  // the linear part only

  // (a * b) applied to p is a applied to b applied to p.
  friend Affine operator*(const Affine& a, const Affine& b);

  // True when every axis maps onto an axis (only right-angle rotations,
  // mirrors and scales): the image of a box is then exactly a box.
  bool keeps_axes() const;

 private:
  double m_[3][4] = {{1, 0, 0, 0}, {0, 1, 0, 0}, {0, 0, 1, 0}};
};

}  // namespace host::geometry
