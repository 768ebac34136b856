// Number conversions with the rounding rules of the original platform.
#pragma once

#include <cstdint>

namespace qvplatform {

// Rounds to the nearest integer, halves to even (0.5 -> 0, 1.5 -> 2, -2.5 -> -2).
// NaN gives 0; values beyond the 64-bit range are clamped to it.
std::int64_t Round(long double value);

// Rounds towards zero, with the same treatment of NaN and out-of-range values as Round.
std::int64_t Trunc(long double value);

// Round and Trunc clamped to the 32-bit range, for values that land in 32-bit fields.
std::int32_t Round32(long double value);
std::int32_t Trunc32(long double value);

// number * numerator / denominator with a 64-bit intermediate, rounded half away from zero;
// -1 when the denominator is 0 or the result does not fit in 32 bits.
std::int32_t MulDiv(std::int32_t number, std::int32_t numerator, std::int32_t denominator);

// Clamps a 64-bit value into the 32-bit range.
std::int32_t ClampToInt32(std::int64_t value);

}  // namespace qvplatform
