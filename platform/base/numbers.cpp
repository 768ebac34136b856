#include "qvplatform/numbers.h"

#include <cmath>
#include <limits>

namespace qvplatform {

namespace {

// The largest long double below 2^63; anything from 2^63 on does not fit an int64_t.
constexpr long double kInt64Limit = 9223372036854775808.0L;

std::int64_t ClampedToInt64(long double integral) {
  if (std::isnan(integral)) return 0;
  if (integral >= kInt64Limit) return std::numeric_limits<std::int64_t>::max();
  if (integral < -kInt64Limit) return std::numeric_limits<std::int64_t>::min();
  return static_cast<std::int64_t>(integral);
}

}  // namespace

std::int64_t Round(long double value) {
  if (!std::isfinite(value)) return ClampedToInt64(value);
  return ClampedToInt64(std::nearbyintl(value));  // default rounding mode: halves to even
}

std::int64_t Trunc(long double value) { return ClampedToInt64(std::truncl(value)); }

std::int32_t ClampToInt32(std::int64_t value) {
  if (value > std::numeric_limits<std::int32_t>::max())
    return std::numeric_limits<std::int32_t>::max();
  if (value < std::numeric_limits<std::int32_t>::min())
    return std::numeric_limits<std::int32_t>::min();
  return static_cast<std::int32_t>(value);
}

std::int32_t Round32(long double value) { return ClampToInt32(Round(value)); }
std::int32_t Trunc32(long double value) { return ClampToInt32(Trunc(value)); }

std::int32_t MulDiv(std::int32_t number, std::int32_t numerator, std::int32_t denominator) {
  if (denominator == 0) return -1;
  const std::int64_t product = static_cast<std::int64_t>(number) * numerator;
  const std::int64_t d = denominator;
  // Half away from zero: add half the divisor in the direction of the quotient's sign.
  const bool negative = (product < 0) != (d < 0);
  const std::int64_t absProduct = product < 0 ? -product : product;
  const std::int64_t absD = d < 0 ? -d : d;
  std::int64_t q = (absProduct + absD / 2) / absD;
  if (negative) q = -q;
  if (q > std::numeric_limits<std::int32_t>::max() || q < std::numeric_limits<std::int32_t>::min())
    return -1;
  return static_cast<std::int32_t>(q);
}

}  // namespace qvplatform
