// The engine's one number formatter for PDF output. It never consults the host's locale:
// the decimal separator is always ".", there is no grouping and never an exponent.
#pragma once

#include <cstddef>
#include <cstdint>

namespace vellora {

// Significant digits kept by the fixed notation.
constexpr int kSignificantDigits = 7;
// Largest number of decimals honoured; larger requests are lowered to it.
constexpr int kMaxDecimals = 15;
// Magnitudes beyond this are written as this bound (far outside any page, and it keeps
// every number short enough for kMaxNumberChars).
constexpr long double kMaxNumberMagnitude = 1e15L;
// Room that any of the writers below may need.
constexpr std::size_t kMaxNumberChars = 40;

// Fixed notation: value rounded to at most kSignificantDigits significant digits and at
// most `decimals` decimals, then trailing zeros and a trailing point dropped. Values of
// 10^7 and above are written in full, rounded to an integer. NaN and infinities give "0",
// and no result is ever "-0". Writes to out (room for kMaxNumberChars), returns the length.
// Examples: 12.5 -> "12.5", 1234.56789 -> "1234.568", 12345678 -> "12345678".
std::size_t FormatFixed(char* out, long double value, int decimals);

// The same rounding, but always exactly `decimals` decimals (0.5 with 3 -> "0.500").
std::size_t FormatFixedPadded(char* out, long double value, int decimals);

// Decimal digits with "-" before a negative value.
std::size_t FormatInt(char* out, std::int64_t value);

}  // namespace vellora
