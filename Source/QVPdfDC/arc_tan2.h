// The two-argument arc tangent used by the arc primitives.
#pragma once

#include <cmath>

namespace vellora {

// The angle of the vector (b, a) in radians, -pi..pi, the quadrant taken from both signs
// (a vertical, b horizontal). 0 for (0, 0) and, so that no NaN reaches an arc, for NaN input.
inline long double ArcTan2(long double a, long double b) {
  if (std::isnan(a) || std::isnan(b)) return 0;
  return std::atan2(a, b);
}

}  // namespace vellora
