// Around the text: its box and baseline, the clip bracket and the background, the fill of
// an empty opaque text, and underline and strike-out.
#include <algorithm>
#include <cmath>

#include "QVPdfDC/text_output.h"
#include "QVPdfDC/text_output_call.h"
#include "qvplatform/device_context.h"
#include "qvplatform/numbers.h"
#include "qvplatform/text_metrics.h"

namespace vellora {

namespace {

using qvplatform::ETO_CLIPPED;
using qvplatform::ETO_OPAQUE;

}  // namespace

bool TQVTextOutput::OpaqueWanted(std::uint32_t options) {
  const qvplatform::COLORREF bk = V().bkColor;
  return (options & ETO_OPAQUE) &&
         !(d_.modes.Has(qvWhiteBrushIsTransparent) && (bk == 0xFFFFFF || bk == 0xFF000000));
}

std::int32_t TQVTextOutput::GdiBaselineOffset() {
  qvplatform::TEXTMETRICW tm;
  if (qvplatform::GetTextMetricsW(d_.screenDC, &tm) == 0) return 0;
  const std::uint32_t align = V().textAlignFlags;
  if (align & kAlignBaseline) return 0;
  return DownSign() * ((align & kAlignBottom) ? -tm.tmDescent : tm.tmAscent);
}

TQVTextBox TQVTextOutput::ComputeBox(std::int32_t x, std::int32_t y, std::int32_t width,
                                     std::int32_t shift, std::int32_t first, std::int32_t second,
                                     const qvplatform::RECTL& clip) {
  TQVTextBox box;
  const std::uint32_t align = V().textAlignFlags;
  const std::int64_t down = DownSign();
  const std::int64_t h = second;
  std::int64_t above, below;  // extent above and below the reference point
  if (align & kAlignBaseline) {
    box.baselineOffset = 0;
    above = qvplatform::Round(h * 0.8L);
    below = h - above;
  } else if (align & kAlignBottom) {
    box.baselineOffset = qvplatform::ClampToInt32(down * (std::int64_t{first} - second));
    above = h;
    below = 0;
  } else {
    box.baselineOffset = qvplatform::ClampToInt32(down * first);
    above = 0;
    below = h;
  }
  if (std::int64_t{clip.right} - clip.left > 1 || std::int64_t{clip.bottom} - clip.top > 1) {
    box.left = clip.left;
    box.top = clip.top;
    box.right = clip.right;
    box.bottom = clip.bottom;
    return box;
  }
  box.left = qvplatform::ClampToInt32(std::int64_t{x} + shift);
  box.right = qvplatform::ClampToInt32(std::int64_t{box.left} + width);
  box.top = qvplatform::ClampToInt32(y - down * above);
  box.bottom = qvplatform::ClampToInt32(y + down * below);
  return box;
}

void TQVTextOutput::RectOperands(std::int32_t left, std::int32_t top, std::int32_t right,
                                 std::int32_t bottom, std::int32_t minWidth) {
  TQVGenericPSDevice& d = d_;
  const std::int64_t x0 = std::min(left, right), x1 = std::max(left, right);
  const std::int64_t y0 = d.DeviceY(top), y1 = d.DeviceY(bottom);
  d.workBuffer.AddCoord(qvplatform::ClampToInt32(x0));
  d.workBuffer.AddCoord(qvplatform::ClampToInt32(std::min(y0, y1)));
  d.workBuffer.AddCoord(qvplatform::ClampToInt32(std::max<std::int64_t>(x1 - x0, minWidth)));
  d.workBuffer.AddCoord(qvplatform::ClampToInt32(std::llabs(y1 - y0)));
}

void TQVTextOutput::BackgroundColor() {
  // A record only for the conversions the device asks for; the brush's own record may hold
  // a colour given by a comment record, which is not the background.
  TQVColorRecord record;
  const std::int32_t mode = d_.fillColorRecord.mode;
  if (mode == kColorModeToCMYK || mode == kColorModeToGrey) record.mode = mode;
  d_.workBuffer.AddColor(V().bkColor, &record, {}, 1);
}

bool TQVTextOutput::BoxAndBackground(const TQVTextBox& box, std::uint32_t options,
                                     const qvplatform::RECTL& clip, std::int32_t width) {
  TQVGenericPSDevice& d = d_;
  TQVDCStackVar& v = V();
  d.MarkBitmapRegion(box.left, box.top, v.textColor,
                     qvplatform::ClampToInt32(std::int64_t{box.right} - box.left),
                     qvplatform::ClampToInt32(std::int64_t{box.bottom} - box.top));
  if (d.slant) return false;
  const bool clipping = (options & ETO_CLIPPED) && !d.modes.Has(qvNoTextRectClipping) &&
                        !(v.textAlignFlags & kAlignRight);
  const bool opaque = OpaqueWanted(options);
  TQVPDFDeviceWorkBuffer& b = d.workBuffer;
  if (clipping && clip.right != clip.left) {
    d.PrepareDraw();
    b.AddString("q ");
    d.PushWriterState();
    // The background in a bracket of its own, so that its colour never becomes the text's.
    if (opaque) {
      b.AddString("q ");
      BackgroundColor();
      RectOperands(clip.left, clip.top, clip.right, clip.bottom, 0);
      b.AddString("re f Q ");
    }
    RectOperands(clip.left, clip.top, clip.right, clip.bottom, 0);
    b.AddString("re W n ");
    return true;
  }
  if (opaque) {
    // An opaque background mode fills behind the text itself; the opaque option alone fills
    // only its rectangle, so an empty one fills nothing (as producers use it with 0,0,0,0).
    const bool rectangleOnly = !v.opaque;
    if (rectangleOnly && (clip.right == clip.left || clip.bottom == clip.top)) return false;
    d.PrepareDraw();
    b.AddString("q ");
    BackgroundColor();
    if (rectangleOnly) {
      RectOperands(clip.left, clip.top, clip.right, clip.bottom, 0);
    } else {
      RectOperands(box.left, box.top, box.right, box.bottom, width);
    }
    b.AddString("re f Q ");
  }
  return false;
}

void TQVTextOutput::CloseClip(bool& open) {
  if (!open) return;
  open = false;
  TQVGenericPSDevice& d = d_;
  d.EndText();
  d.workBuffer.AddString("Q ");
  d.PopWriterState();
  // The text state written inside the bracket is gone with it.
  if (d.WriterDepth() > 0) d.WriterState().rewriteText = true;
  d.stateChanged = true;
}

void TQVTextOutput::EmptyText(Call& c) {
  const TQVTextRequest& r = c.r;
  if ((!r.wide && !r.ansi) || !OpaqueWanted(r.options) || r.clip.right == r.clip.left) return;
  const std::int32_t left = std::min(r.clip.left, r.clip.right);
  const std::int32_t right = std::max(r.clip.left, r.clip.right);
  d_.FillSolidRect(left, r.clip.top, qvplatform::ClampToInt32(std::int64_t{right} - left),
                   qvplatform::ClampToInt32(std::int64_t{r.clip.bottom} - r.clip.top), V().bkColor);
}

void TQVTextOutput::Lines(const qvplatform::LOGFONTW& font, std::int32_t baselineX,
                          std::int32_t baselineY, std::int32_t width, std::int32_t descent,
                          std::int32_t strikeOffset) {
  if (!font.lfUnderline && !font.lfStrikeOut) return;
  TQVGenericPSDevice& d = d_;
  TQVPDFDeviceWorkBuffer& b = d.workBuffer;
  // In content coordinates (y up when the matrix keeps the page's y direction).
  const long double angle = d.textRotated ? d.textAngle : 0.0L;
  const long double sy = d.dcStack.Matrix().eM22 < 0 ? -1 : 1;
  const long double turn = TurnSign();
  const long double dirX = std::cos(angle), dirY = sy * turn * std::sin(angle);
  const long double downX = turn * std::sin(angle), downY = -sy * std::cos(angle);
  const long double x0 = baselineX, y0 = d.DeviceY(baselineY);
  const long double thickness = descent / 4.0L;
  const auto line = [&](long double below) {
    const long double ax = x0 + below * downX, ay = y0 + below * downY;
    d.EndText();
    d.WriteTransform();
    b.AddString(" q ");
    if (d.dashWritten || (d.WriterDepth() > 0 && d.WriterState().dashStyle != kPenSolid))
      b.AddString("[] 0 d ");
    b.AddColor(V().textColor, &d.textColorRecord, {}, 0);
    b.AddScaledFloat(thickness);
    b.AddString("w 0 J ");
    b.AddScaledFloat(ax);
    b.AddScaledFloat(ay);
    b.AddString("m ");
    b.AddScaledFloat(ax + width * dirX);
    b.AddScaledFloat(ay + width * dirY);
    b.AddString("l s Q ");
  };
  if (font.lfUnderline) line(std::max(1, descent / 2));
  if (font.lfStrikeOut) line(-static_cast<long double>(strikeOffset));
}

}  // namespace vellora
