// Rectangles: outlined and filled, solid fills, rounded corners.
#include <algorithm>
#include <cstdlib>

#include "QVPdfDC/ps_device.h"

namespace vellora {

namespace {

constexpr qvplatform::COLORREF kWhite = 0xFFFFFF;

}  // namespace

void TQVGenericPSDevice::Rectangle(const RECTL& box) {
  PrepareDraw();
  PenState(true, true);
  const std::int64_t height =
      dcStack.yFlip ? std::int64_t(box.bottom) - box.top : std::int64_t(box.top) - box.bottom;
  RectFigure(box.left, DeviceY(box.top), std::int64_t(box.right) - box.left, height);
  stateChanged = true;  // "re" leaves the content's current point at the corner
  Paint(true, true, true);
}

void TQVGenericPSDevice::FillSolidRect(std::int32_t x, std::int32_t y, std::int32_t width,
                                       std::int32_t height, COLORREF color) {
  if (color == kWhite && modes.Has(qvWhiteBrushIsTransparent)) return;
  PrepareDraw();
  const std::size_t start = workBuffer.Size();
  workBuffer.AddString("q ");
  const TQVDCStackVar& v = CurrentDCState();
  if (v.brushStyle == kBrushDibPattern)
    SelectBrushColorSpace(&workBuffer, 70000, v.brushHatch);
  else if (v.brushStyle == kBrushHatched)
    SelectBrushColorSpace(
        &workBuffer, static_cast<std::int32_t>(std::min<std::uint32_t>(v.brushHatch, 0x7FFFFFFE)),
        color);
  else
    workBuffer.AddColor(color, &fillColorRecord, {}, 1);
  RectFigure(x, DeviceY(y), width, dcStack.yFlip ? std::int64_t(height) : -std::int64_t(height));
  workBuffer.AddString("f Q ");
  // Not part of the path: painted in front of one under construction.
  PlaceBeforeOpenPath(start);
}

void TQVGenericPSDevice::FillSolidRectF(COLORREF color, float x, float y, float width,
                                        float height) {
  PrepareDraw();
  const std::size_t start = workBuffer.Size();
  workBuffer.AddString("q ");
  workBuffer.AddColor(color, &fillColorRecord, {}, 1);
  RectFigureF(x, DeviceYF(y), width, dcStack.yFlip ? height : -height);
  workBuffer.AddString("f Q ");
  PlaceBeforeOpenPath(start);
}

void TQVGenericPSDevice::RectFigure(std::int64_t x, std::int64_t y, std::int64_t width,
                                    std::int64_t height) {
  if (pathRemap_) return RectFigureF(x, y, width, height);
  Coord(x);
  Coord(y);
  Coord(width);
  Coord(height);
  workBuffer.AddString("re ");
}

void TQVGenericPSDevice::RectFigureF(long double x, long double y, long double width,
                                     long double height) {
  if (!pathRemap_) {
    for (const long double v : {x, y, width, height}) workBuffer.AddScaledFloat(v);
    workBuffer.AddString("re ");
    return;
  }
  // Through a turning matrix a rectangle is no longer one for "re": its corners, as "re" runs.
  ContentPointF(x, y);
  workBuffer.AddString("m ");
  ContentPointF(x + width, y);
  workBuffer.AddString("l ");
  ContentPointF(x + width, y + height);
  workBuffer.AddString("l ");
  ContentPointF(x, y + height);
  workBuffer.AddString("l h ");
}

void TQVGenericPSDevice::RoundRect(const RECTL& box, std::int32_t cornerWidth,
                                   std::int32_t cornerHeight) {
  PrepareDraw();
  PenState(true, true);
  // Ordered so that the outline runs the same way whichever corners the box names, with the
  // corner ellipse no larger than the box (as GDI limits it).
  const std::int64_t l = std::min(box.left, box.right), r = std::max(box.left, box.right);
  const std::int64_t y1 = DeviceY(box.top), y2 = DeviceY(box.bottom);
  const std::int64_t t = std::max(y1, y2), b = std::min(y1, y2);
  const std::int64_t a = std::min<std::int64_t>(std::llabs(cornerWidth), r - l) / 4;
  const std::int64_t c = std::min<std::int64_t>(std::llabs(cornerHeight), t - b) / 4;
  const auto point = [this](std::int64_t x, std::int64_t y) { ContentPoint(x, y); };
  const auto op = [this](const char* text) { workBuffer.AddString(text); };
  point(l + 2 * a, t), op("m ");
  point(r - 2 * a, t), op("l ");
  point(r - a, t), point(r, t - c), point(r, t - 2 * c), op("c ");
  point(r, b + 2 * c), op("l ");
  point(r, b + c), point(r - a, b), point(r - 2 * a, b), op("c ");
  point(l + 2 * a, b), op("l ");
  point(l + a, b), point(l, b + c), point(l, b + 2 * c), op("c ");
  point(l, t - 2 * c), op("l ");
  point(l, t - c), point(l + a, t), point(l + 2 * a, t), op("c ");
  stateChanged = true;
  figureOpen = false;
  Paint(true, true, false);
}

}  // namespace vellora
