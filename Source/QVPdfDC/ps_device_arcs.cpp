// Ellipses and elliptic arcs as Bezier curves: Ellipse, Arc, ArcTo, Chord, Pie, AngleArc.
//
// Arcs are built in the content's frame (x, flipped y), in which angles run counter-clockwise
// with y pointing up, so that they land where drawn with and without the y flip; a matrix that
// mirrors the content reverses the direction as seen.
#include <algorithm>
#include <cmath>
#include <cstdlib>
#include <numbers>

#include "QVPdfDC/arc_tan2.h"
#include "QVPdfDC/ps_device.h"
#include "qvplatform/numbers.h"

namespace vellora {

namespace {

using L = long double;
constexpr L kPi = std::numbers::pi_v<L>;
constexpr L kHalfPi = kPi / 2;
constexpr L kTwoPi = 2 * kPi;
constexpr std::int32_t kR2Nop = 11;

// Radius of an arc's bounding box, at least the given minimum.
L Radius(std::int32_t a, std::int32_t b, L minimum) {
  const L r = (L(std::llabs(std::int64_t(a) - b)) - 1) / 2;
  return r > 0 ? r : minimum;
}

}  // namespace

void TQVGenericPSDevice::ArcSegment(L sweep, L start, L rx, L ry, L cyContent, L cx) {
  if (rx <= 0) rx = 0.001L;
  if (ry <= 0) ry = 0.001L;
  const L g = sweep / 2;
  const L cg = std::cos(g), sg = std::sin(g);
  // The handle height; a vanished sweep has vanished handles (no division by sin 0).
  const L k = std::fabs(sg) < 1e-12L ? 0 : (1 - cg) * (3 - cg) / (3 * sg);
  const L px[4] = {cg, (4 - cg) / 3, (4 - cg) / 3, cg};
  const L py[4] = {-sg, -k, k, sg};
  const L theta = start + g;
  const L ct = std::cos(theta), st = std::sin(theta);
  L out[8];
  for (int i = 0; i < 4; ++i) {
    out[2 * i] = cx + rx * (ct * px[i] - st * py[i]) + 0.001L;
    out[2 * i + 1] = cyContent + ry * (st * px[i] + ct * py[i]) + 0.001L;
  }
  for (const L v : out) {
    if (!std::isfinite(v)) {
      arcError = true;
      return;
    }
  }
  arcValues_.insert(arcValues_.end(), arcValues_.empty() ? out : out + 2, out + 8);
}

std::size_t TQVGenericPSDevice::ArcToBeziers(const RECTL& box, POINTL start, POINTL end,
                                             bool clockwise, std::size_t capacity) {
  arcValues_.clear();
  arcError = false;
  const L rx = Radius(box.left, box.right, 0.00001L);
  const L ry = Radius(box.top, box.bottom, 0.00001L);
  const L cx = (L(box.left) + box.right) / 2;
  const L cyContent = ContentY((L(box.top) + box.bottom) / 2);
  const auto angle = [&](POINTL p) {
    return ArcTan2(rx * (ContentY(p.y) - cyContent), ry * (p.x - cx));
  };
  const L startAngle = angle(start), endAngle = angle(end);
  L from, sweep;
  if (start.x == end.x && start.y == end.y) {
    from = endAngle;
    sweep = kTwoPi;
  } else if (clockwise) {
    from = endAngle;
    sweep = startAngle - endAngle;
  } else {
    from = startAngle;
    sweep = endAngle - startAngle;
  }
  if (sweep <= 0) sweep += kTwoPi;
  if (sweep > kTwoPi) sweep = kTwoPi;
  const L segment = sweep < kHalfPi ? sweep : std::max(sweep / 3, kPi / 10);
  L remaining = sweep;
  while (remaining > 1e-9L && arcValues_.size() + (arcValues_.empty() ? 8 : 6) <= capacity) {
    const L step = remaining - segment > 1e-7L ? segment : remaining;
    ArcSegment(step, from, rx, ry, cyContent, cx);
    if (arcError) break;
    from += step;
    remaining -= step;
  }
  // A clockwise run was built from the end point: turn it round to start at the start point.
  if (clockwise) {
    const std::size_t n = arcValues_.size() / 2;
    for (std::size_t i = 0; i < n / 2; ++i) {
      std::swap(arcValues_[2 * i], arcValues_[2 * (n - 1 - i)]);
      std::swap(arcValues_[2 * i + 1], arcValues_[2 * (n - 1 - i) + 1]);
    }
  }
  return arcValues_.size();
}

void TQVGenericPSDevice::WriteArcPoint(std::size_t index, bool rounded) {
  const long double x = arcValues_[2 * index], y = arcValues_[2 * index + 1];
  if (rounded)
    ContentPoint(qvplatform::Round32(x), qvplatform::Round32(y));
  else
    ContentPointF(x, y);
}

void TQVGenericPSDevice::WriteArcSegments(bool rounded) {
  const std::size_t points = arcValues_.size() / 2;
  for (std::size_t p = 1; p + 2 < points; p += 3) {
    WriteArcPoint(p, rounded);
    WriteArcPoint(p + 1, rounded);
    WriteArcPoint(p + 2, rounded);
    workBuffer.AddString("c ");
  }
}

void TQVGenericPSDevice::SetCurrentFromContent(L x, L yContent) {
  currentX = qvplatform::Round32(x);
  const std::int64_t y = qvplatform::Round32(yContent);
  currentY = qvplatform::ClampToInt32(dcStack.yFlip ? y - yOrigin : yOrigin - y);
}

void TQVGenericPSDevice::Ellipse(const RECTL& box, bool fill) {
  PrepareDraw();
  PenState(true, true);
  const L rx = Radius(box.left, box.right, 0.001L);
  const L ry = Radius(box.top, box.bottom, 0.001L);
  const L cx = (L(box.left) + box.right) / 2;
  const L cyContent = ContentY((L(box.top) + box.bottom) / 2);
  arcValues_.clear();
  arcError = false;
  for (int i = 0; i < 4; ++i) ArcSegment(kHalfPi, i * kHalfPi, rx, ry, cyContent, cx);
  if (arcError || arcValues_.size() < 8) return;
  WriteArcPoint(0, false);
  workBuffer.AddString("m ");
  WriteArcSegments(false);
  workBuffer.AddString("h ");
  stateChanged = true;
  figureOpen = false;
  Paint(true, fill, false);
}

void TQVGenericPSDevice::Arc(const RECTL& box, POINTL start, POINTL end, bool arcTo) {
  PrepareDraw();
  PenState(true, false);
  const bool clockwise = ClockwiseInContent(CurrentDCState().clockwise);
  if (ArcToBeziers(box, start, end, clockwise, 50) < 8) return;
  const bool nop = CurrentDCState().rop2 == kR2Nop;
  const std::size_t lastPoint = arcValues_.size() / 2 - 1;
  if (arcTo) {
    // Continues the figure at the current point; a new one starts there after a paint.
    EmitPendingMove();
    if (!nop) {
      WriteArcPoint(0, true);
      workBuffer.AddString("l ");
    }
  } else {
    WriteArcPoint(0, true);
    workBuffer.AddString("m ");
  }
  if (nop) {
    WriteArcPoint(lastPoint, true);
    workBuffer.AddString("m ");
  } else {
    WriteArcSegments(true);
  }
  if (arcTo) {
    SetCurrentFromContent(arcValues_[2 * lastPoint], arcValues_[2 * lastPoint + 1]);
    stateChanged = false;  // the content's current point is the arc's end
    figureOpen = true;
  } else {
    stateChanged = true;
    figureOpen = false;
  }
  Paint(true, false, false);
}

void TQVGenericPSDevice::Chord(const RECTL& box, POINTL start, POINTL end) {
  PrepareDraw();
  const bool clockwise = ClockwiseInContent(CurrentDCState().clockwise);
  if (ArcToBeziers(box, start, end, clockwise, 50) < 8) return;
  PenState(true, true);
  WriteArcPoint(0, true);
  workBuffer.AddString("m ");
  WriteArcSegments(true);
  workBuffer.AddString("h ");
  stateChanged = true;
  figureOpen = false;
  Paint(true, true, false);
}

void TQVGenericPSDevice::Pie(const RECTL& box, POINTL start, POINTL end) {
  PrepareDraw();
  const std::int64_t cx = (std::int64_t(box.left) + box.right) / 2;
  const std::int32_t cy = qvplatform::ClampToInt32((std::int64_t(box.top) + box.bottom) / 2);
  const bool clockwise = ClockwiseInContent(CurrentDCState().clockwise);
  if (ArcToBeziers(box, start, end, clockwise, 40) < 8) return;
  PenState(true, true);
  ContentPoint(cx, DeviceY(cy));
  workBuffer.AddString("m ");
  WriteArcPoint(0, true);
  workBuffer.AddString("l ");
  WriteArcSegments(true);
  ContentPoint(cx, DeviceY(cy));
  workBuffer.AddString("l ");
  stateChanged = true;
  figureOpen = false;
  Paint(true, true, false);
}

void TQVGenericPSDevice::AngleArc(std::int32_t centerX, std::int32_t centerY, std::int32_t radius,
                                  float startAngle, float sweepAngle) {
  PrepareDraw();
  if (!std::isfinite(startAngle) || !std::isfinite(sweepAngle)) return;
  L start = L(startAngle) / 360 * kTwoPi;
  L sweep = L(sweepAngle) / 360 * kTwoPi;
  // More than one turn draws the same circle again.
  if (std::fabs(sweep) > kTwoPi) sweep = std::copysign(kTwoPi, sweep);
  // Angles are counter-clockwise as seen; a mirroring matrix turns them round.
  if (ClockwiseInContent(false)) {
    start = -start;
    sweep = -sweep;
  }
  const L direction = sweep < 0 ? -1 : 1;
  const L cyContent = ContentY(centerY);
  arcValues_.clear();
  arcError = false;
  L remaining = std::fabs(sweep);
  while (remaining > kHalfPi && !arcError) {
    ArcSegment(direction * kHalfPi, start, radius, radius, cyContent, centerX);
    start += direction * kHalfPi;
    remaining -= kHalfPi;
  }
  if (remaining >= 0.0001L && !arcError)
    ArcSegment(direction * remaining, start, radius, radius, cyContent, centerX);
  if (arcError || arcValues_.size() < 8) return;
  PenState(true, false);
  EmitPendingMove();
  WriteArcPoint(0, true);
  workBuffer.AddString("l ");
  WriteArcSegments(true);
  const std::size_t lastPoint = arcValues_.size() / 2 - 1;
  SetCurrentFromContent(arcValues_[2 * lastPoint], arcValues_[2 * lastPoint + 1]);
  stateChanged = false;  // the content's current point is the arc's end
  figureOpen = false;
  Paint(true, false, false);
}

}  // namespace vellora
