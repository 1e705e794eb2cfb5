#include "host/geometry/vector_math.h"

#include <numbers>

namespace host::geometry {

void CosSinDegrees(double degrees, double* cos_value, double* sin_value) {
  double turns = degrees / 90.0;
  if (std::isfinite(turns) && turns == std::floor(turns) && std::fabs(turns) < 1e15) {
    static constexpr double kCos[4] = {1, 0, -1, 0};
    static constexpr double kSin[4] = {0, 1, 0, -1};
    long long quarter = static_cast<long long>(turns) % 4;
    if (quarter < 0) quarter += 4;
    *cos_value = kCos[quarter];
    *sin_value = kSin[quarter];
    return;
  }
  double radians = degrees * (std::numbers::pi / 180.0);
  *cos_value = std::cos(radians);
  *sin_value = std::sin(radians);
}

}  // namespace host::geometry
