// Clip paths, clip rectangles and regions, and save/restore of the graphics state.
#include <algorithm>
#include <cmath>

#include "QVPdfDC/ps_device.h"

namespace vellora {

namespace {

using L = long double;

// Half the side of the square, in page points, that a difference clip keeps outside the path:
// far beyond the largest page.
constexpr L kPageReach = 100000;

}  // namespace

void TQVGenericPSDevice::SelectClipPath(std::int32_t mode) {
  if (openObject != kOpenDrawing || !pathPending) return;
  invertClip = mode == 4;  // RGN_DIFF
  FinishPath(false, false, true);
  invertClip = false;
}

void TQVGenericPSDevice::InvertedClipRect() {
  // The page square mapped back into content units through the matrix in effect, so that the
  // rectangle covers the page whatever the scale; with the path inside it, the even-odd rule
  // keeps what lies outside the path.
  const XFORM& w = WriterState().matrix;
  const L det = L(w.eM11) * w.eM22 - L(w.eM12) * w.eM21;
  L lo[2] = {-kPageReach, -kPageReach}, hi[2] = {kPageReach, kPageReach};
  if (std::fabs(det) >= 1e-12L) {
    lo[0] = lo[1] = HUGE_VALL;
    hi[0] = hi[1] = -HUGE_VALL;
    for (const L px : {-kPageReach, kPageReach}) {
      for (const L py : {-kPageReach, kPageReach}) {
        const L a = px - w.eDx, b = py - w.eDy;
        const L x = (a * w.eM22 - b * w.eM21) / det;
        const L y = (b * w.eM11 - a * w.eM12) / det;
        lo[0] = std::min(lo[0], x), hi[0] = std::max(hi[0], x);
        lo[1] = std::min(lo[1], y), hi[1] = std::max(hi[1], y);
      }
    }
  }
  const L rect[4] = {lo[0], lo[1], hi[0] - lo[0], hi[1] - lo[1]};
  WriteNumbers(rect, 4, 3);
  workBuffer.AddString("re ");
}

void TQVGenericPSDevice::SelectClipRegion(std::int32_t mode, const RECTL& bounds,
                                          std::int32_t count, const RECTL* rects) {
  if (!modes.Has(qvClipRectSupport) || mode <= 0) return;
  PrepareDraw();
  const bool fromDevice = rects != nullptr;
  if (count > 1 && rects != nullptr) {
    for (std::int32_t i = 0; i < count; ++i)
      AddRectPath(rects[i].left, rects[i].top, rects[i].right, rects[i].bottom, true);
  } else {
    AddRectPath(bounds.left, bounds.top, bounds.right, bounds.bottom, fromDevice);
  }
  // Every combine mode intersects: the content can only narrow its clip.
  workBuffer.AddString("W n ");
}

void TQVGenericPSDevice::AddRectPath(std::int32_t left, std::int32_t top, std::int32_t right,
                                     std::int32_t bottom, bool fromDevice) {
  if (fromDevice) {
    dcStack.Matrix();  // settles N
    const XFORM& n = dcStack.logicalToViewport;
    if (n.eM12 != 0 || n.eM21 != 0) {
      // Turned or sheared, the device rectangle is a parallelogram in logical units.
      const POINTL corners[4] = {{left, top}, {right, top}, {right, bottom}, {left, bottom}};
      for (int i = 0; i < 4; ++i) {
        const POINTL p = dcStack.LogicalFromDevice(corners[i]);
        LogicalPoint(p.x, p.y);
        workBuffer.AddString(i == 0 ? "m " : "l ");
      }
      workBuffer.AddString("h ");
      return;
    }
    const POINTL a = dcStack.LogicalFromDevice(POINTL{left, top});
    const POINTL b = dcStack.LogicalFromDevice(POINTL{right, bottom});
    left = a.x, top = a.y, right = b.x, bottom = b.y;
  }
  if (left > right) std::swap(left, right);
  if (top > bottom) std::swap(top, bottom);
  std::int64_t height = std::int64_t(top) - bottom;
  if (dcStack.yFlip) height = -height;
  RectFigure(left, DeviceY(top), std::int64_t(right) - left, height);
}

void TQVGenericPSDevice::PushClip() {
  if (!outputOpen) {
    EnsureOutputOpen();
    if (!outputOpen) return;  // no content: nothing to save
  }
  EndText();
  if (openObject == kOpenNothing) openObject = kOpenDrawing;
  const std::size_t start = workBuffer.Size();
  workBuffer.AddString("q ");
  PushWriterState();
  PlaceBeforeOpenPath(start);
}

void TQVGenericPSDevice::PopClip() {
  if (!outputOpen) return;
  EndText();
  // The level of StartOutput belongs to the content's own bracket and stays.
  if (WriterDepth() > 1) {
    const XFORM inner = WriterState().matrix;
    const std::size_t start = workBuffer.Size();
    PopWriterState();
    workBuffer.AddString("Q ");
    // The points of the path so far were written under the inner level's matrix.
    if (openObject == kOpenDrawing && pathPending) RestoreWrittenMatrix(inner);
    PlaceBeforeOpenPath(start);
  }
  transformDirty = true;
}

void TQVGenericPSDevice::PlaceBeforeOpenPath(std::size_t start) {
  if (openObject == kOpenDrawing && pathPending)
    MoveStateBeforePath(start);
  else
    MarkPathStart();
}

// One "q" per saved level, so that RestoreDC gives back every part of the graphics state,
// the clip included, which the content cannot widen otherwise. The cap on saved levels bounds
// the nesting; a refused save writes nothing and its restore nothing.
std::int32_t TQVGenericPSDevice::SaveDC() {
  const std::int32_t depth = TQVGenericDevice::SaveDC();
  if (depth > 0) PushClip();
  return depth;
}

void TQVGenericPSDevice::RestoreDC(std::int32_t level) {
  const bool pops = dcStack.refusedSaves == 0;
  TQVGenericDevice::RestoreDC(level);
  if (pops) PopClip();
}

}  // namespace vellora
