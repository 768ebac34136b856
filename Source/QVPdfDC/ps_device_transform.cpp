// The content's matrix: written relative to the one in effect at the current "q" level.
#include <algorithm>
#include <cmath>
#include <cstring>

#include "QVGenDC/scale_rounding.h"
#include "QVPdfDC/number_format.h"
#include "QVPdfDC/ps_device.h"
#include "qvplatform/numbers.h"

namespace vellora {

namespace {

using L = long double;

bool SameBytes(const XFORM& a, const XFORM& b) { return std::memcmp(&a, &b, sizeof(XFORM)) == 0; }

XFORM ToXForm(const L* p) {
  return XFORM{ToSingle(p[0]), ToSingle(p[1]), ToSingle(p[2]),
               ToSingle(p[3]), ToSingle(p[4]), ToSingle(p[5])};
}

}  // namespace

void TQVGenericPSDevice::WriteNumbers(const long double* values, std::size_t count, int decimals) {
  char text[kMaxNumberChars + 1];
  for (std::size_t i = 0; i < count; ++i) {
    std::size_t n = FormatFixed(text, values[i], decimals);
    text[n++] = ' ';
    workBuffer.AddString(std::string_view(text, n));
  }
}

bool TQVGenericPSDevice::RelativeMatrix(const long double* m, const XFORM& written,
                                        long double* out) {
  const XFORM& w = written;
  const L det = L(w.eM11) * w.eM22 - L(w.eM12) * w.eM21;
  if (!(std::fabs(det) >= 1e-12L)) return false;
  const L i1 = w.eM22 / det, i2 = -w.eM12 / det, i3 = -w.eM21 / det, i4 = w.eM11 / det;
  const L i5 = -(i1 * w.eDx + i3 * w.eDy), i6 = -(i2 * w.eDx + i4 * w.eDy);
  out[0] = m[0] * i1 + m[1] * i3;
  out[1] = m[0] * i2 + m[1] * i4;
  out[2] = m[2] * i1 + m[3] * i3;
  out[3] = m[2] * i2 + m[3] * i4;
  out[4] = m[4] * i1 + m[5] * i3 + i5;
  out[5] = m[4] * i2 + m[5] * i4 + i6;
  return true;
}

void TQVGenericPSDevice::RestoreWrittenMatrix(const XFORM& matrix) {
  const XFORM& written = WriterState().matrix;
  if (SameBytes(matrix, written)) return;
  const L values[6] = {matrix.eM11, matrix.eM12, matrix.eM21, matrix.eM22, matrix.eDx, matrix.eDy};
  L relative[6];
  if (!RelativeMatrix(values, written, relative)) return;
  WriteNumbers(relative, 6, 9);
  workBuffer.AddString("cm ");
  WriterState().matrix = matrix;
}

void TQVGenericPSDevice::FollowMatrixInPath(const long double* page, long double divisor) {
  const XFORM target = ToXForm(page);
  const XFORM& written = WriterState().matrix;
  const L bufferDivisor = workBuffer.Divisor() > 1 ? workBuffer.Divisor() : 1;
  if (SameBytes(target, written) && divisor == bufferDivisor) {
    // Back to the matrix in effect: the points are written as they are.
    if (pathRemap_ && stateChanged) EmitPendingMove();
    pathRemap_ = false;
    transformDirty = false;
    return;
  }
  if (pathRemap_ && SameBytes(target, pathTarget_) && divisor == pathDivisor_) return;
  L relative[6];
  // A written matrix that cannot be inverted leaves the points as they are (the path so far
  // has collapsed under it anyway).
  if (!RelativeMatrix(page, written, relative)) return;
  // The current point was fixed under the matrix of its moment.
  if (stateChanged) EmitPendingMove();
  for (int i = 0; i < 4; ++i) relative[i] /= divisor;
  std::copy(relative, relative + 6, pathMatrix_);
  pathTarget_ = target;
  pathDivisor_ = divisor;
  pathRemap_ = true;
  // Still dirty: the matrix is written once the path is painted.
}

void TQVGenericPSDevice::ContentPoint(std::int64_t x, std::int64_t y) {
  if (pathRemap_) return ContentPointF(qvplatform::ClampToInt32(x), qvplatform::ClampToInt32(y));
  Coord(x);
  Coord(y);
}

void TQVGenericPSDevice::ContentPointF(long double x, long double y) {
  if (!pathRemap_) {
    workBuffer.AddScaledFloat(x);
    workBuffer.AddScaledFloat(y);
    return;
  }
  const L* r = pathMatrix_;
  workBuffer.AddFloat(x * r[0] + y * r[2] + r[4], 3);
  workBuffer.AddFloat(x * r[1] + y * r[3] + r[5], 3);
}

void TQVGenericPSDevice::WriteTransform() {
  if (!transformDirty) return;
  FinishPendingPath();
  const XFORM& m = dcStack.Matrix();  // settles the coordinate divisor too
  const bool inPath = pathNesting > 0 && pathPending;
  if (!inPath) {
    workBuffer.SetDivisor(coordinateDivisor);
    pathRemap_ = false;
  }
  const L d = coordinateDivisor > 1 ? coordinateDivisor : 1;
  const L h = dcStack.pageOrigin.x;
  // Content coordinates are logical x and the flipped y, divided by d; P maps them to the
  // page, so all four linear entries carry d.
  const L p[6] = {RoundToDecimals(d * m.eM11, 4),  RoundToDecimals(-d * m.eM12, 4),
                  RoundToDecimals(-d * m.eM21, 4), RoundToDecimals(d * m.eM22, 4),
                  RoundToDecimals(h + m.eDx, 3),   RoundToDecimals(-L(m.eDy), 4)};
  // No "cm" is allowed while a path is under construction.
  if (inPath) return FollowMatrixInPath(p, d);
  const XFORM pf = ToXForm(p);
  TQVWriterStackVar& level = WriterState();
  if (SameBytes(pf, level.matrix)) {
    transformDirty = false;
    return;
  }
  const XFORM w = level.matrix;
  const L det = L(w.eM11) * w.eM22 - L(w.eM12) * w.eM21;

  // Only the translation moved: solve t x W = (dx, dy) with the inverse of W's 2x2 part, so
  // that rotations and shears move by the right amount.
  if (std::fabs(p[0] - w.eM11) < 0.001L && std::fabs(p[1] - w.eM12) < 0.001L &&
      std::fabs(p[2] - w.eM21) < 0.001L && std::fabs(p[3] - w.eM22) < 0.001L &&
      std::fabs(det) >= 1e-12L) {
    const L a = p[4] - w.eDx, b = p[5] - w.eDy;
    L t[2];
    if (w.eM12 == 0 && w.eM21 == 0) {
      t[0] = a / w.eM11;
      t[1] = b / w.eM22;
    } else {
      t[0] = (a * w.eM22 - b * w.eM21) / det;
      t[1] = (b * w.eM11 - a * w.eM12) / det;
    }
    if (a != 0 || b != 0) {
      workBuffer.AddString("1 0 0 1 ");
      WriteNumbers(t, 2, 5);
      workBuffer.AddString("cm ");
      stateChanged = true;
    }
    // The linear part in effect is still W's.
    level.matrix.eDx = pf.eDx;
    level.matrix.eDy = pf.eDy;
    transformDirty = false;
    return;
  }

  if (modes.Has(qvDontStackWorldModifications) || std::fabs(det) < 1e-12L ||
      (contentOptions.pdfAConformance && det < 0.1L)) {
    // Start again from the page's own matrix.
    const std::int32_t depth = WriterDepth();
    for (std::int32_t i = 0; i < depth; ++i) {
      PopWriterState();
      workBuffer.AddString("Q ");
    }
    for (std::int32_t i = 0; i < depth; ++i) {
      PushWriterState();
      workBuffer.AddString("q ");
    }
    pathStartValid_ = false;
    WriteNumbers(p, 6, 5);
    workBuffer.AddString("cm ");
    dcStack.MarkDirty();
  } else {
    const L i1 = w.eM22 / det, i2 = -w.eM12 / det, i3 = -w.eM21 / det, i4 = w.eM11 / det;
    const L inverse[6] = {i1, i2, i3, i4, -(i1 * w.eDx + i3 * w.eDy), -(i2 * w.eDx + i4 * w.eDy)};
    if (!(inverse[0] == 1 && inverse[1] == 0 && inverse[2] == 0 && inverse[3] == 1 &&
          inverse[4] == 0 && inverse[5] == 0)) {
      WriteNumbers(inverse, 6, 9);
      workBuffer.AddString("cm ");
    }
    WriteNumbers(p, 6, 6);
    workBuffer.AddString("cm ");
  }
  WriterState().matrix = pf;
  stateChanged = true;
  transformDirty = false;
}

TQVGenericPSDevice::POINTL TQVGenericPSDevice::TransformPoint(std::int32_t x, std::int32_t y) {
  const XFORM& m = dcStack.Matrix();
  const L px = L(x) * m.eM11 + L(y) * m.eM21 + m.eDx;
  const L py = L(x) * m.eM12 + L(y) * m.eM22 + m.eDy + yOffset;
  return POINTL{qvplatform::Round32(px), qvplatform::Round32(py)};
}

bool TQVGenericPSDevice::ClockwiseInContent(bool clockwiseAsSeen) {
  const XFORM& m = dcStack.Matrix();
  const bool mirrored = L(m.eM11) * m.eM22 - L(m.eM12) * m.eM21 < 0;
  return clockwiseAsSeen != mirrored;
}

long double TQVGenericPSDevice::ContentY(long double y) const {
  return dcStack.yFlip ? yOrigin + y : yOrigin - y;
}

}  // namespace vellora
