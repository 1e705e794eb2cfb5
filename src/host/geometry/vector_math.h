// Arithmetic on Vec3, kept apart from transform.h so that the contract stays
// small.
#pragma once

#include <cmath>

#include "host/geometry/transform.h"
#include "host/host_only.h"

namespace host::geometry {

inline Vec3 operator+(const Vec3& a, const Vec3& b) { return {a.x + b.x, a.y + b.y, a.z + b.z}; }
inline Vec3 operator-(const Vec3& a, const Vec3& b) { return {a.x - b.x, a.y - b.y, a.z - b.z}; }
inline Vec3 operator*(const Vec3& a, double f) { return {a.x * f, a.y * f, a.z * f}; }
inline Vec3 operator*(double f, const Vec3& a) { return a * f; }
inline bool operator==(const Vec3& a, const Vec3& b) {
  return a.x == b.x && a.y == b.y && a.z == b.z;
}

inline double Dot(const Vec3& a, const Vec3& b) { return a.x * b.x + a.y * b.y + a.z * b.z; }
inline Vec3 Cross(const Vec3& a, const Vec3& b) {
  return {a.y * b.z - a.z * b.y, a.z * b.x - a.x * b.z, a.x * b.y - a.y * b.x};
}
inline double Length(const Vec3& a) { return std::sqrt(Dot(a, a)); }
inline bool IsFinite(const Vec3& a) {
  return std::isfinite(a.x) && std::isfinite(a.y) && std::isfinite(a.z);
}

// Cosine and sine of an angle in degrees, exact for multiples of 90 so that
// entities rotated by right angles keep exact coordinates.
void CosSinDegrees(double degrees, double* cos_value, double* sin_value);

}  // namespace host::geometry
