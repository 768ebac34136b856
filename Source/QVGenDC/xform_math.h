// Affine transforms in the row-vector form of the platform's XFORM:
// (x', y') = (x, y, 1) * [eM11 eM12; eM21 eM22; eDx eDy]. The entries are singles, as in the
// device context; products are formed in extended precision and stored back as singles.
#pragma once

#include <cmath>
#include <limits>

#include "qvplatform/wintypes.h"

namespace vellora {

using qvplatform::XFORM;

// An extended value stored as a single; beyond the single range it becomes an infinity (the
// callers test finiteness), never an undefined conversion.
inline float ToSingle(long double value) {
  constexpr long double kMax = std::numeric_limits<float>::max();
  if (std::isnan(value)) return std::numeric_limits<float>::quiet_NaN();
  if (value > kMax) return std::numeric_limits<float>::infinity();
  if (value < -kMax) return -std::numeric_limits<float>::infinity();
  return static_cast<float>(value);
}

constexpr XFORM IdentityXForm() { return XFORM{}; }

constexpr XFORM ScaleXForm(float sx, float sy, float dx = 0.0f, float dy = 0.0f) {
  return XFORM{sx, 0.0f, 0.0f, sy, dx, dy};
}

// a then b: Multiply(a, b) maps a point as b(a(p)).
inline XFORM Multiply(const XFORM& a, const XFORM& b) {
  using L = long double;
  XFORM r;
  r.eM11 = ToSingle(L(a.eM11) * b.eM11 + L(a.eM12) * b.eM21);
  r.eM12 = ToSingle(L(a.eM11) * b.eM12 + L(a.eM12) * b.eM22);
  r.eM21 = ToSingle(L(a.eM21) * b.eM11 + L(a.eM22) * b.eM21);
  r.eM22 = ToSingle(L(a.eM21) * b.eM12 + L(a.eM22) * b.eM22);
  r.eDx = ToSingle(L(a.eDx) * b.eM11 + L(a.eDy) * b.eM21 + b.eDx);
  r.eDy = ToSingle(L(a.eDx) * b.eM12 + L(a.eDy) * b.eM22 + b.eDy);
  return r;
}

inline bool IsFinite(const XFORM& m) {
  return std::isfinite(m.eM11) && std::isfinite(m.eM12) && std::isfinite(m.eM21) &&
         std::isfinite(m.eM22) && std::isfinite(m.eDx) && std::isfinite(m.eDy);
}

constexpr bool SameXForm(const XFORM& a, const XFORM& b) {
  return a.eM11 == b.eM11 && a.eM12 == b.eM12 && a.eM21 == b.eM21 && a.eM22 == b.eM22 &&
         a.eDx == b.eDx && a.eDy == b.eDy;
}

}  // namespace vellora
