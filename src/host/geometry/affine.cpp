#include "host/geometry/affine.h"

#include "host/geometry/vector_math.h"

namespace host::geometry {

Affine Affine::Translation(const Vec3& t) {
  Affine a;
  a.m_[0][3] = t.x;
  a.m_[1][3] = t.y;
  a.m_[2][3] = t.z;
  return a;
}

Affine Affine::Scaling(double sx, double sy, double sz) {
  Affine a;
  a.m_[0][0] = sx;
  a.m_[1][1] = sy;
  a.m_[2][2] = sz;
  return a;
}

Affine Affine::RotationZ(double degrees) {
  double c = 1, s = 0;
  CosSinDegrees(degrees, &c, &s);
  Affine a;
  a.m_[0][0] = c;
  a.m_[0][1] = -s;
  a.m_[1][0] = s;
  a.m_[1][1] = c;
  return a;
}

Affine Affine::FromOcs(const Ocs& ocs) {
  Affine a;
  const Vec3* axes[3] = {&ocs.x_axis(), &ocs.y_axis(), &ocs.z_axis()};
  for (int col = 0; col < 3; ++col) {
    a.m_[0][col] = axes[col]->x;
    a.m_[1][col] = axes[col]->y;
    a.m_[2][col] = axes[col]->z;
  }
  return a;
}

Vec3 Affine::Point(const Vec3& p) const {
  Vec3 v = Vector(p);
  return {v.x + m_[0][3], v.y + m_[1][3], v.z + m_[2][3]};
}

Vec3 Affine::Vector(const Vec3& v) const {
  return {m_[0][0] * v.x + m_[0][1] * v.y + m_[0][2] * v.z,
          m_[1][0] * v.x + m_[1][1] * v.y + m_[1][2] * v.z,
          m_[2][0] * v.x + m_[2][1] * v.y + m_[2][2] * v.z};
}

Affine operator*(const Affine& a, const Affine& b) {
  Affine r;
  for (int i = 0; i < 3; ++i) {
    for (int j = 0; j < 4; ++j) {
      double sum = j == 3 ? a.m_[i][3] : 0.0;
      for (int k = 0; k < 3; ++k) sum += a.m_[i][k] * b.m_[k][j];
      r.m_[i][j] = sum;
    }
  }
  return r;
}

bool Affine::keeps_axes() const {
  for (int col = 0; col < 3; ++col) {
    int nonzero = 0;
    for (int row = 0; row < 3; ++row) nonzero += m_[row][col] != 0.0;
    if (nonzero > 1) return false;
  }
  return true;
}

}  // namespace host::geometry
