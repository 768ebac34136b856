// Rounding of matrix scales to a fixed number of decimals, and the floor that keeps a scale
// that is later divided by from becoming 0.
#pragma once

#include <cmath>

#include "qvplatform/numbers.h"

namespace vellora {

// value rounded to decimals places (0..5), halves to even. Values too large to carry that many
// decimals (and non-finite ones) are returned as they are.
inline long double RoundToDecimals(long double value, int decimals) {
  constexpr long double kPowers[] = {1.0L, 10.0L, 100.0L, 1000.0L, 10000.0L, 100000.0L};
  const long double factor = kPowers[decimals < 0 ? 0 : decimals > 5 ? 5 : decimals];
  const long double scaled = value * factor;
  if (!(std::fabs(scaled) < 4.0e18L)) return value;
  return static_cast<long double>(qvplatform::Round(scaled)) / factor;
}

// A rounded scale that came out as 0 becomes 0.001 with the sign of the scale before
// rounding; a negative scale is the ordinary y-mirrored case.
inline long double NonZeroScale(long double rounded, long double original) {
  if (rounded != 0) return rounded;
  return std::signbit(original) ? -0.001L : 0.001L;
}

// The scale rounded to 3 decimals that the y-origin rule divides by, never 0.
inline long double DivisorScale(long double scale) {
  return NonZeroScale(RoundToDecimals(scale, 3), scale);
}

}  // namespace vellora
