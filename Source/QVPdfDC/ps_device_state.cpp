// The open-object machine, path painting, and the pen, brush and dash state of the content.
#include <algorithm>
#include <climits>
#include <cmath>

#include "QVGenDC/assertion_failed.h"
#include "QVPdfDC/ps_device.h"

namespace vellora {

namespace {

constexpr qvplatform::COLORREF kWhite = 0xFFFFFF;

// A hatch as the pattern hook takes it; negative values are reserved for "no pattern".
std::int32_t HatchArgument(std::uint32_t hatch) {
  return static_cast<std::int32_t>(std::min<std::uint32_t>(hatch, INT32_MAX - 1));
}

}  // namespace

void TQVGenericPSDevice::PrepareDraw() {
  if (!outputOpen) {
    EnsureOutputOpen();
    if (!outputOpen) throw EQVAssertionFailed("Output is not open!");
  }
  if (openObject == kOpenText) EndText();
  // A path left behind by a bracket that was never painted (an aborted path) must neither be
  // painted by the next primitive nor keep operators out of the content.
  if (pathNesting <= 0 && pathPending) {
    workBuffer.AddString("n ");
    pathPending = false;
    pathRemap_ = false;
  }
  if (openObject == kOpenNothing) openObject = kOpenDrawing;
  WriteTransform();
  // Inside a bracket the path begins with its first operator.
  if (pathNesting <= 0 || !pathPending) MarkPathStart();
}

void TQVGenericPSDevice::MarkPathStart() {
  pathStart_ = workBuffer.Size();
  pathStartValid_ = true;
}

void TQVGenericPSDevice::ObjectSelected() {
  TQVDCStackVar& v = CurrentDCState();
  v.italicFaceAvailable = true;
  v.boldFaceAvailable = true;
}

void TQVGenericPSDevice::BeginText(std::int32_t& x, std::int32_t& y) {
  if (!outputOpen) {
    EnsureOutputOpen();
    if (!outputOpen) throw EQVAssertionFailed("Output is not open!");
  }
  if (openObject == kOpenDrawing) ClosePendingPath();
  // Settles the text rotation first, so that a change of it is known below.
  const XFORM r = dcStack.TextMatrix();
  const long double scale = dcStack.aspect;
  if (openObject == kOpenText && (transformDirty || textRotationChanged || scale != 1)) EndText();
  if (openObject == kOpenNothing) {
    if (pathPending) {
      workBuffer.AddString("h n ");
      pathPending = false;
    }
    WriteTransform();
    workBuffer.AddString("\nBT ");
    openObject = kOpenText;
    textMatrixPending = true;
    textDeltaX = textDeltaY = 0;
    WriterState().rewriteText = true;
  }
  if (!textMatrixPending && !textRotationChanged && !dcStack.yFlip && scale == 1) return;

  long double tx = 0, ty = 0;
  if (textRotationChanged || slant) {
    tx = x;
    ty = y;
    if (coordinateDivisor > 1) {
      tx /= coordinateDivisor;
      ty /= coordinateDivisor;
    }
    ty = dcStack.yFlip ? yOrigin + ty : yOrigin - ty;
    x = 0;
    y = 0;
  }
  // The text matrix sits inside the written "cm": glyphs stand upright when its y sign and
  // the content matrix's agree, so v follows the mapping's y mirror, not the map mode's y flip.
  const long double v = dcStack.yMirrored ? -1 : 1;
  long double m[6] = {scale * r.eM11, r.eM12, r.eM21, v * r.eM22, tx + r.eDx, ty + r.eDy};
  if (slant) {
    m[0] -= 0.15L;
    m[2] += 0.15L;
  }
  WriteNumbers(m, 6, 4);
  workBuffer.AddString("Tm\n");
  textMatrixPending = false;
  textRotationChanged = false;
  textDeltaX = textDeltaY = 0;
  pathPending = false;
}

void TQVGenericPSDevice::EndText() {
  if (openObject != kOpenText) return;
  workBuffer.AddString("ET ");
  openObject = kOpenNothing;
  stateChanged = true;
  transformDirty = true;
  if (WriterDepth() > 0) {
    TQVWriterStackVar& level = WriterState();
    level.rewriteText = true;
    level.rewritePen = false;
    level.dashStyle = kPenSolid;
  }
}

void TQVGenericPSDevice::ClosePendingPath() {
  if (openObject != kOpenDrawing) return;
  FinishPendingPath();
  // Whatever is still unpainted (an open bracket at the end of a picture) ends here.
  if (pathPending) {
    workBuffer.AddString("n ");
    pathPending = false;
  }
  pathStartValid_ = false;
  pathRemap_ = false;
  openObject = kOpenNothing;
}

void TQVGenericPSDevice::FinishPendingPath() {
  const TQVDCStackVar& v = CurrentDCState();
  switch (pendingPathKind) {
    case kPathStroke:
      FinishPath(v.penStyle != kPenNull, false, false);
      break;
    case kPathFill:
      FinishPath(false, v.brushStyle != kBrushNull, false);
      break;
    case kPathStrokeFill:
      FinishPath(v.penStyle != kPenNull, v.brushStyle != kBrushNull, false);
      break;
    case kPathClip:
      FinishPath(false, false, true);
      break;
    default:
      break;
  }
}

void TQVGenericPSDevice::PaintCurrentPath(bool stroke, bool fill) {
  pathPending = true;
  if (pathNesting <= 0) FinishPath(stroke, fill, false);
}

void TQVGenericPSDevice::FinishPath(bool stroke, bool fill, bool clip) {
  const TQVDCStackVar& v = CurrentDCState();
  if (fill && modes.Has(qvNeverFill)) {
    fill = false;
    stroke = true;
  }
  if (fill && v.brushColor == kWhite && modes.Has(qvWhiteBrushIsTransparent)) fill = false;
  if (fill && v.brushStyle == kBrushNull) fill = false;
  if (stroke && v.penStyle == kPenNull) stroke = false;
  if (!writePenStateSuppressed) {
    const std::size_t before = workBuffer.Size();
    WritePenState(stroke, fill, &workBuffer);
    // Colours, widths and dashes are not allowed inside a path object.
    if (workBuffer.Size() > before) MoveStateBeforePath(before);
  }
  // GDI closes open figures when it fills or clips, never when it only strokes.
  if (figureOpen && (fill || clip)) workBuffer.AddString("h ");
  const bool winding = v.winding;
  if (clip) {
    if (invertClip) {
      InvertedClipRect();
      workBuffer.AddString("W* ");
    } else {
      workBuffer.AddString(winding ? "W " : "W* ");
    }
    pathPending = true;
  }
  if (stroke && fill)
    workBuffer.AddString(winding ? "b " : "b* ");
  else if (stroke)
    workBuffer.AddString("S ");
  else if (fill)
    workBuffer.AddString(winding ? "f " : "f* ");
  else if (pathPending)
    workBuffer.AddString("n ");
  pendingPathKind = kPathNone;
  pathPending = false;
  stateChanged = true;
  pathStartValid_ = false;
  pathRemap_ = false;  // the matrix, still dirty, is written before the next drawing
}

void TQVGenericPSDevice::MoveStateBeforePath(std::size_t stateStart) {
  if (!pathStartValid_ || pathStart_ == 0 || pathStart_ >= stateStart ||
      stateStart >= workBuffer.Size())
    return;
  const std::string_view text = workBuffer.Text();
  pathScratch_.assign(text.substr(stateStart));
  pathScratch_.append(text.substr(pathStart_, stateStart - pathStart_));
  const std::size_t stateSize = text.size() - stateStart;
  workBuffer.Truncate(pathStart_);
  workBuffer.AddString(pathScratch_);
  pathStart_ += stateSize;
}

void TQVGenericPSDevice::WritePenState(bool stroke, bool fill, TQVPDFDeviceWorkBuffer* buffer) {
  if (buffer == nullptr) return;
  const TQVDCStackVar& v = CurrentDCState();
  TQVWriterStackVar& level = WriterState();

  // Fill side.
  const std::int32_t hatch = HatchArgument(v.brushHatch);
  const std::int32_t pattern = v.brushStyle == kBrushPattern   ? 1
                               : v.brushStyle == kBrushHatched ? hatch + 1
                                                               : 0;
  if ((fill || level.rewriteBrush) &&
      (v.brushColor != level.brushColor || v.brushHatch != level.brushHatch ||
       pattern != level.patternState || level.rewriteBrush)) {
    if (level.patternState != 0 && v.brushStyle != kBrushHatched)
      SelectBrushColorSpace(buffer, -1, 0);
    if (v.brushStyle == kBrushPattern || v.brushStyle == kBrushHatched) {
      SelectBrushColorSpace(buffer, hatch, v.brushColor);
    } else {
      buffer->AddColor(v.brushColor, &fillColorRecord, {}, 1);
    }
    level.patternState = pattern;
    level.brushColor = v.brushColor;
    level.brushHatch = v.brushHatch;
    level.rewriteBrush = false;
  }

  // Stroke side.
  if (!stroke && !level.rewritePen) return;
  if (v.penColor != level.penColor || level.rewritePen) {
    buffer->AddColor(v.penColor, &strokeColorRecord, {}, 0);
    level.penColor = v.penColor;
  }
  const long double s = MatrixScale();
  const float width = static_cast<float>(v.penWidth);
  if (level.rewritePen || width != level.penWidth || buffer->Divisor() > 1) {
    buffer->AddScaledFloat(width);
    buffer->AddString("w ");
    level.penWidth = width;
  }
  if (pendingPathKind == kPathNone) {
    if (v.penCap != level.penCap || level.rewritePen) {
      buffer->AddString(v.penCap == kPenCapRound    ? "1 J "
                        : v.penCap == kPenCapSquare ? "2 J "
                                                    : "0 J ");
      level.penCap = v.penCap;
    }
    if (v.penJoin != level.penJoin || level.rewritePen) {
      if (v.penJoin == kPenJoinMiter) {
        buffer->AddFloat(v.miterLimit, 3);
        buffer->AddString("M 0 j ");
      } else {
        buffer->AddString(v.penJoin == kPenJoinBevel ? "2 j " : "1 j ");
      }
      level.penJoin = v.penJoin;
    }
  }
  if (v.penStyle != level.dashStyle || dashWritten) {
    long double w = width;
    if (w < 1) w = 1 / s;
    const long double u = DashUnit(true);
    if (pendingPathKind == kPathNone)
      WriteDashArray(*buffer, v.penStyle, w, u, CosmeticDashMinimum(v, s));
    level.dashStyle = v.penStyle;
  }
  level.rewritePen = false;
}

void TQVGenericPSDevice::WriteDash() {
  if (pendingPathKind != kPathNone) return;
  // Inside a path under construction the dash waits for the painting (FinishPath).
  if (pathPending) return;
  const TQVDCStackVar& v = CurrentDCState();
  TQVWriterStackVar& level = WriterState();
  if (v.penStyle == level.dashStyle) return;
  long double w = v.penWidth == 1 ? 0.5L : v.penWidth == 0 ? 0.0L : v.penWidth;
  const long double u = DashUnit(false);
  if (w < 1) w = u;
  WriteDashArray(workBuffer, v.penStyle, w, u, CosmeticDashMinimum(v, MatrixScale()));
  level.dashStyle = v.penStyle;
}

long double TQVGenericPSDevice::MatrixScale() {
  const XFORM& m = dcStack.Matrix();
  const long double s = std::min(std::max(std::fabs(m.eM11), std::fabs(m.eM12)),
                                 std::max(std::fabs(m.eM21), std::fabs(m.eM22)));
  return s > 0 && std::isfinite(s) ? s : 1;  // never divide by a vanished scale
}

long double TQVGenericPSDevice::CosmeticDashMinimum(const TQVDCStackVar& v, long double s) {
  if (v.penGeometric || v.penWidth > 1) return 0;
  // A cosmetic pen's pattern is drawn in the reference device's pixels, whatever the logical
  // units: its unit is never finer than one such pixel as it lands on the page.
  const long double resolution = dcStack.naturalResolutionX;
  const long double pixelPoints = 72.0L / resolution * std::fabs(dcStack.extraScaleX);
  const long double pixel = pixelPoints / s;
  return resolution > 0 && std::isfinite(pixel) ? pixel : 0;
}

long double TQVGenericPSDevice::DashUnit(bool reduce) {
  const long double s = MatrixScale();
  const long double x = TransformPoint(10, 10).x;
  long double u = std::fabs(x * (1 / s) / 10) / 10;
  if (reduce) {
    if (u > 100000)
      u /= 10000;
    else if (u > 10000)
      u /= 1000;
    else if (u > 1000)
      u /= 100;
  }
  return u;
}

void TQVGenericPSDevice::WriteDashArray(TQVPDFDeviceWorkBuffer& buffer, std::uint8_t style,
                                        long double w, long double u, long double minimum) {
  // A cosmetic pen's pattern is measured in pixels: its width is at least one, its unit (a
  // tenth of the dash) at least a tenth of one, so the pattern keeps its shape.
  w = std::max(w, minimum);
  u = std::max(u, minimum / 10);
  long double values[6];
  std::size_t count = 0;
  const long double half = w / 2;
  switch (style) {
    case 1:  // PS_DASH
      values[0] = 10 * u, values[1] = 10 * u + half;
      count = 2;
      break;
    case 2:  // PS_DOT
      values[0] = half, values[1] = 4 * w;
      count = 2;
      break;
    case 3:  // PS_DASHDOT
      values[0] = 10 * u, values[1] = 4 * u + half, values[2] = u, values[3] = 4 * u + half;
      count = 4;
      break;
    case 4:  // PS_DASHDOTDOT
      values[0] = 7 * u, values[1] = 10 * u + half, values[2] = 1;
      values[3] = 10 * u + half, values[4] = 1, values[5] = 10 * u + half;
      count = 6;
      break;
    case kPenNull:
      return;
    default:
      break;
  }
  // An array whose entries all vanish is not a valid dash pattern: draw solid.
  bool visible = false;
  for (std::size_t i = 0; i < count; ++i) visible |= values[i] >= 0.0005L;
  if (count == 0 || !visible) {
    buffer.AddString("[] 0 d ");
    dashWritten = false;
    return;
  }
  buffer.AddString("[");
  buffer.AddColorComponents(values, count, 3);
  buffer.AddString("] 0 d ");
  dashWritten = true;
}

}  // namespace vellora
