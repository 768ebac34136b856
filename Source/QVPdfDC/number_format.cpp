#include "QVPdfDC/number_format.h"

#include <algorithm>
#include <charconv>
#include <cmath>
#include <cstring>

namespace vellora {

namespace {

// Decimals to convert with: the request, cut so that no more than kSignificantDigits
// significant digits remain (powers of ten up to 10^16 are exact doubles).
int UsableDecimals(double magnitude, int decimals) {
  if (magnitude >= 1.0) {
    int digits = 1;
    double bound = 10.0;
    while (digits < 17 && magnitude >= bound) {
      ++digits;
      bound *= 10.0;
    }
    return std::clamp(kSignificantDigits - digits, 0, decimals);
  }
  // Zeros between the point and the first significant digit. The negative powers are not
  // exact, but a value that lands on the wrong side of one rounds to that power anyway.
  int zeros = 0;
  double bound = 0.1;
  while (zeros < kMaxDecimals && magnitude < bound) {
    ++zeros;
    bound /= 10.0;
  }
  return std::min(decimals, zeros + kSignificantDigits);
}

std::size_t Format(char* out, long double value, int decimals, bool pad) {
  decimals = std::clamp(decimals, 0, kMaxDecimals);
  if (!std::isfinite(value)) value = 0;
  value = std::clamp(value, -kMaxNumberMagnitude, kMaxNumberMagnitude);
  const double v = static_cast<double>(value);
  const int used = v == 0 ? 0 : UsableDecimals(std::fabs(v), decimals);

  char* const end = out + kMaxNumberChars;
  char* p = std::to_chars(out, end, v, std::chars_format::fixed, used).ptr;
  // A value that rounds to zero is written without its sign.
  if (out[0] == '-' && std::all_of(out + 1, p, [](char c) { return c == '0' || c == '.'; })) {
    std::memmove(out, out + 1, static_cast<std::size_t>(p - out - 1));
    --p;
  }
  if (pad) {
    if (used < decimals) {
      if (used == 0) *p++ = '.';
      for (int i = used; i < decimals; ++i) *p++ = '0';
    }
  } else if (used > 0) {
    while (p[-1] == '0') --p;
    if (p[-1] == '.') --p;
  }
  return static_cast<std::size_t>(p - out);
}

}  // namespace

std::size_t FormatFixed(char* out, long double value, int decimals) {
  return Format(out, value, decimals, false);
}

std::size_t FormatFixedPadded(char* out, long double value, int decimals) {
  return Format(out, value, decimals, true);
}

std::size_t FormatInt(char* out, std::int64_t value) {
  return static_cast<std::size_t>(std::to_chars(out, out + kMaxNumberChars, value).ptr - out);
}

}  // namespace vellora
