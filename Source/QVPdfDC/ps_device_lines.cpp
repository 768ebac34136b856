// Lines, polylines, polygons, Bezier curves, pixels and point lists with types.
#include "QVPdfDC/ps_device.h"
#include "qvplatform/numbers.h"

namespace vellora {

namespace {

// PolyDraw point types.
constexpr std::uint8_t kPtCloseFigure = 1, kPtLineTo = 2, kPtBezierTo = 4, kPtMoveTo = 6;

}  // namespace

void TQVGenericPSDevice::PenState(bool stroke, bool fill) {
  if (pathNesting <= 0) WritePenState(stroke, fill, &workBuffer);
}

void TQVGenericPSDevice::Paint(bool stroke, bool fill, bool suppressPen) {
  const bool saved = writePenStateSuppressed;
  if (suppressPen) writePenStateSuppressed = true;
  PaintCurrentPath(stroke, fill);
  writePenStateSuppressed = saved;
}

void TQVGenericPSDevice::Coord(std::int64_t value) {
  workBuffer.AddCoord(qvplatform::ClampToInt32(value));
}

void TQVGenericPSDevice::LogicalPoint(std::int32_t x, std::int32_t y) {
  ContentPoint(x, DeviceY(y));
}

bool TQVGenericPSDevice::EmitPendingMove() {
  WriteDash();
  if (!stateChanged) return false;
  LogicalPoint(currentX, currentY);
  workBuffer.AddString("m ");
  stateChanged = false;
  movePending = false;
  return true;
}

void TQVGenericPSDevice::MoveTo(std::int32_t x, std::int32_t y, POINTL* previous) {
  if (previous != nullptr) *previous = POINTL{currentX, currentY};
  // Inside a path the point is fixed by the matrix of this moment, as GDI adds it to the path.
  if (transformDirty && pathNesting > 0 && pathPending) {
    stateChanged = false;  // the previous current point is replaced, never drawn
    WriteTransform();
  }
  currentX = figureStartX = x;
  currentY = figureStartY = y;
  figureStartValid = true;
  stateChanged = true;
  movePending = true;
}

void TQVGenericPSDevice::LineTo(std::int32_t x, std::int32_t y) {
  PrepareDraw();
  PenState(true, false);
  EmitPendingMove();
  LogicalPoint(x, y);
  workBuffer.AddString("l ");
  currentX = x;
  currentY = y;
  Paint(true, false, true);
}

void TQVGenericPSDevice::Polyline(const POINTL* points, std::int32_t count,
                                  bool continueFromCurrent, bool prepare, bool stroke) {
  if (points == nullptr || count <= 0) return;
  if (prepare) {
    PrepareDraw();
    PenState(true, false);
  }
  if (continueFromCurrent) {
    EmitPendingMove();
    for (std::int32_t i = 0; i < count; ++i) {
      LogicalPoint(points[i].x, points[i].y);
      workBuffer.AddString("l ");
    }
    currentX = points[count - 1].x;
    currentY = points[count - 1].y;
  } else {
    for (std::int32_t i = 0; i < count; ++i) {
      LogicalPoint(points[i].x, points[i].y);
      workBuffer.AddString(i == 0 ? "m " : "l ");
    }
  }
  stateChanged = !continueFromCurrent;
  figureOpen = continueFromCurrent;
  if (stroke) Paint(true, false, true);
  closeFigurePending = false;
}

void TQVGenericPSDevice::Polygon(const POINTL* points, std::int32_t count) {
  if (points == nullptr || count <= 0) return;
  PrepareDraw();
  PenState(true, true);
  for (std::int32_t i = 0; i < count; ++i) {
    LogicalPoint(points[i].x, points[i].y);
    workBuffer.AddString(i == 0 ? "m " : "l ");
  }
  if (pathNesting > 0) {
    LogicalPoint(points[0].x, points[0].y);
    workBuffer.AddString("l ");
  } else {
    workBuffer.AddString("h ");
  }
  // The content's current point is the polygon's, not the device's.
  stateChanged = true;
  Paint(true, true, false);
  figureOpen = false;
}

void TQVGenericPSDevice::PolyBezier(const POINTL* points, std::int32_t count,
                                    bool continueFromCurrent) {
  figureOpen = false;
  if (points == nullptr || count <= (continueFromCurrent ? 2 : 3)) return;
  writePenStateSuppressed = true;
  PrepareDraw();
  PenState(true, false);
  std::int32_t i = 0;
  if (!continueFromCurrent) {
    LogicalPoint(points[0].x, points[0].y);
    workBuffer.AddString("m ");
    stateChanged = true;
    i = 1;
  } else {
    EmitPendingMove();
  }
  for (; i + 2 < count; i += 3) {
    for (std::int32_t k = 0; k < 3; ++k) LogicalPoint(points[i + k].x, points[i + k].y);
    workBuffer.AddString("c ");
    if (continueFromCurrent) {
      currentX = points[i + 2].x;
      currentY = points[i + 2].y;
      figureOpen = true;
    }
  }
  PaintCurrentPath(true, false);
  writePenStateSuppressed = false;
}

void TQVGenericPSDevice::SetPixel(std::int32_t x, std::int32_t y, COLORREF color) {
  // The pixel is one logical unit square in the record's colour, not the pen's: a stroke one
  // unit wide across its middle with butt caps covers exactly that square, and where the
  // picture is scaled below a device pixel readers still draw such a stroke at their thinnest
  // line, so the pixel never vanishes. Pen state stays untouched behind "q" and "Q".
  PrepareDraw();
  const std::size_t start = workBuffer.Size();
  workBuffer.AddString("q ");
  workBuffer.AddColor(color, &strokeColorRecord, {}, 0);
  workBuffer.AddScaledFloat(1);
  workBuffer.AddString("w 0 J [] 0 d ");
  const long double middle = static_cast<long double>(DeviceY(y)) + (dcStack.yFlip ? 0.5L : -0.5L);
  ContentPointF(x, middle);
  workBuffer.AddString("m ");
  ContentPointF(static_cast<long double>(x) + 1, middle);
  workBuffer.AddString("l S Q ");
  PlaceBeforeOpenPath(start);
}

void TQVGenericPSDevice::PolyDraw(const POINTL* points, const std::uint8_t* types,
                                  std::int32_t count) {
  if (points == nullptr || types == nullptr || count <= 0) return;
  PrepareDraw();
  PenState(true, false);
  // A first line or curve starts at the current point, as in GDI.
  if ((types[0] & kPtMoveTo) != kPtMoveTo) EmitPendingMove();
  const POINTL start{currentX, currentY};
  POINTL last = start;
  const long double yScale = dcStack.yFlip ? -1 : 1;
  WritePathPoints(points, types, count, 0, yOrigin, 1, yScale, workBuffer, &start, &last);
  currentX = last.x;
  currentY = last.y;
  figureOpen = true;
  Paint(true, false, false);
}

bool TQVGenericPSDevice::WritePathPoints(const POINTL* points, const std::uint8_t* types,
                                         std::int32_t count, long double xOffset,
                                         long double yOffset, long double xScale,
                                         long double yScale, TQVPDFDeviceWorkBuffer& buffer,
                                         const POINTL* start, POINTL* last) {
  if (points == nullptr || types == nullptr || count <= 0) return false;
  const auto put = [&](const POINTL& p) {
    const long double x = xOffset + xScale * p.x, y = yOffset - yScale * p.y;
    if (&buffer == &workBuffer) return ContentPointF(x, y);
    buffer.AddScaledFloat(x);
    buffer.AddScaledFloat(y);
  };
  POINTL figure = start != nullptr ? *start : points[0];
  bool drawn = false;
  std::int32_t i = 0;
  while (i < count) {
    const std::uint8_t type = types[i];
    std::int32_t used = 1;
    if ((type & kPtMoveTo) == kPtMoveTo) {
      figure = points[i];
      put(points[i]);
      buffer.AddString("m ");
    } else if (type & kPtLineTo) {
      put(points[i]);
      buffer.AddString("l ");
      drawn = true;
    } else if (type & kPtBezierTo) {
      if (i + 2 >= count) break;
      for (std::int32_t k = 0; k < 3; ++k) put(points[i + k]);
      buffer.AddString("c ");
      drawn = true;
      used = 3;
    } else {
      break;
    }
    i += used;
    if (last != nullptr) *last = points[i - 1];
    if (types[i - 1] & kPtCloseFigure) {
      put(figure);
      buffer.AddString("l h ");
    }
  }
  return drawn;
}

}  // namespace vellora
