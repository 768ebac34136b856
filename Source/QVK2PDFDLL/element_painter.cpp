#include "QVK2PDFDLL/element_painter.h"

#include <algorithm>
#include <cstdint>
#include <limits>
#include <stdexcept>
#include <string_view>

#include "QVGenDC/face_name.h"
#include "QVK2PDFDLL/host_input.h"
#include "QVPDFDev/filters/image_jpeg_frame.h"
#include "QVPDFDev/images/pdf_image_writer.h"
#include "qvplatform/codepage.h"
#include "qvplatform/numbers.h"

namespace vellora {
namespace {

using qvplatform::COLORREF;
using qvplatform::POINTL;
using qvplatform::RECTL;

constexpr std::int64_t kTwipsPerInch = 1440;
constexpr COLORREF kWhite = 0xFFFFFF;
constexpr std::int32_t kOpaque = 2, kNoBackground = 0;
constexpr std::int32_t kBold = 700, kDefaultWeight = 0;
// "Arial Narrow" at 8 points is asked for at 8.5: the word processor sets it that way.
constexpr std::int32_t kNarrowSize = 8;
constexpr long double kNarrowHeight = 8.5L;
constexpr std::string_view kNarrowFace = "Arial Narrow";
constexpr std::int32_t kLargestHeight = std::numeric_limits<std::int32_t>::max();

bool MeansNoColor(COLORREF color) {
  return color == QVPDF_COLOR_NONE || color == QVPDF_COLOR_NONE_WINDOW ||
         color == QVPDF_COLOR_NONE_SYSTEM;
}

// number * numerator / denominator rounded half away from zero, clamped to 32 bits; exact
// for every 64-bit number and 32-bit factors.
std::int32_t MulDiv64(std::int64_t number, std::int64_t numerator, std::int64_t denominator) {
  const __int128 product = static_cast<__int128>(number) * numerator;
  const __int128 half = denominator / 2;
  const __int128 q = product >= 0 ? (product + half) / denominator : (product - half) / denominator;
  if (q > std::numeric_limits<std::int32_t>::max()) return std::numeric_limits<std::int32_t>::max();
  if (q < std::numeric_limits<std::int32_t>::min()) return std::numeric_limits<std::int32_t>::min();
  return static_cast<std::int32_t>(q);
}

// Element coordinates to the page's device units. Twips are turned into device units along
// each axis by its own resolution, so that the element lands where the word processor put it
// at any resolution (at 72 dpi a twentieth of the value, as points). Differences and sums are
// formed in 64 bits before they are converted, so that no extreme value wraps.
class TQVElementUnits {
 public:
  explicit TQVElementUnits(const TQVPDFEngineContext& c)
      : pageUnits_(c.elementResolution >= QVPDF_ELEMENT_PAGE_UNITS),
        xResolution_(c.xResolution),
        yResolution_(c.yResolution),
        originX_(c.originX) {}

  std::int32_t UX(std::int64_t v) const { return Convert(v, xResolution_); }
  std::int32_t UY(std::int64_t v) const { return Convert(v, yResolution_); }
  // An x position, from the page record's origin.
  std::int32_t X(std::int32_t v) const { return UX(std::int64_t{v} - originX_); }

 private:
  std::int32_t Convert(std::int64_t v, std::int32_t resolution) const {
    return pageUnits_ ? qvplatform::ClampToInt32(v) : MulDiv64(v, resolution, kTwipsPerInch);
  }

  bool pageUnits_;
  std::int32_t xResolution_, yResolution_, originX_;
};

std::int32_t Clamped(std::int64_t v) { return qvplatform::ClampToInt32(v); }

// The face of the record (code page 1252, up to its first zero within the field) as the
// level's face, at most the 31 units a logical font holds; none gives "Arial", as selecting a
// font without a face does.
void SetFace(TQVDCStackVar& v, const TQVPDFElement& e) {
  const std::string_view face = FieldText(e.FaceName);
  const int units = static_cast<int>(std::min<std::size_t>(face.size(), kMaxFaceNameLength));
  std::fill(std::begin(v.font.lfFaceName), std::end(v.font.lfFaceName), u'\0');
  if (units > 0)
    qvplatform::MultiByteToWideChar(1252, 0, face.data(), units, v.font.lfFaceName, units);
  v.faceName = FaceNameText(v.font);
  if (v.faceName.empty()) AssignFaceName(v.font, v.faceName, "Arial");
}

// A character height in device units (negative: the em size). At 72 dpi as at every other
// resolution the size is asked for as a character height, so that a run has the same size
// whatever the page's resolution.
std::int32_t FontHeight(const TQVPDFEngineContext& c, const TQVPDFElement& e,
                        std::string_view face) {
  const long double scale = c.fontScale != 0 ? c.fontScale : 1.0L;
  const long double size =
      e.FontSize == kNarrowSize && face == kNarrowFace ? kNarrowHeight : e.FontSize;
  const std::int64_t rounded = qvplatform::Round(size * scale);
  return static_cast<std::int32_t>(
      -std::clamp<std::int64_t>(rounded, -kLargestHeight, kLargestHeight));
}

void PaintText(TQVPDFEngineContext& c, const TQVPDFElement& e, const TQVPDFElementRect& r,
               const char* text, const TQVElementUnits& u) {
  TQVPDFDeviceEX& d = c.device;
  TQVDCStackVar& v = d.CurrentDCState();
  v.font.lfItalic = (e.Style & QVPDF_ELEMENT_ITALIC) != 0;
  v.font.lfWeight = (e.Style & QVPDF_ELEMENT_BOLD) != 0 ? kBold : kDefaultWeight;
  v.font.lfUnderline = 0;
  v.font.lfStrikeOut = (e.Style & QVPDF_ELEMENT_STRIKEOUT) != 0;
  v.superscript = (e.Style & QVPDF_ELEMENT_SUPERSCRIPT) != 0;
  v.subscript = (e.Style & QVPDF_ELEMENT_SUBSCRIPT) != 0;
  SetFace(v, e);
  if ((e.Flags & QVPDF_ELEMENT_CHARSET_VALID) != 0) v.font.lfCharSet = e.Charset;
  std::int32_t height = FontHeight(c, e, FieldText(e.FaceName));
  if (v.superscript || v.subscript) height = MulDiv64(height, 2, 3);
  v.font.lfHeight = height;
  // The face, weight and slant may have changed: as after selecting a font.
  d.ObjectSelected();

  const bool pageColor = e.UsePageColor != 0 && c.color != QVPDF_COLOR_NONE;
  d.SetTextColor(pageColor ? c.color : e.TextColor);
  if (MeansNoColor(e.BackColor) || e.BackColor == kWhite) {
    d.SetBkMode(kNoBackground);
  } else {
    d.SetBkColor(e.BackColor);
    d.SetBkMode(kOpaque);
  }

  const std::int32_t x = u.X(r.Left);
  const std::int32_t y = u.UY(e.Baseline);
  const RECTL clip{x, u.UY(r.Top), u.X(r.Right), u.UY(r.Bottom)};
  if (!HostText(text, kMaxHostText, c.elementText))
    throw std::runtime_error("Element text too long");
  if (e.TextForm == QVPDF_ELEMENT_WIDE_TEXT && e.WideTextOrData != nullptr) {
    // The UTF-16 form is as long as the 8-bit text at most, and may end sooner.
    HostWideTextPrefix(e.WideTextOrData, c.elementText.size(), c.elementWideText);
    d.TextOutDirectEx(x, y, c.elementWideText.c_str(), nullptr,
                      Clamped(static_cast<std::int64_t>(c.elementWideText.size())), &clip);
  } else {
    d.TextOutDirect(x, y, c.elementText.c_str(), &clip);
  }
  v.superscript = false;
  v.subscript = false;
}

// The image of an element from its data: JPEG data carries its size in its frame header,
// which stands in for a bitmap handle's size when there is none.
std::int32_t AddElementImageData(TQVPDFDeviceEX& d, const TQVPDFElement& e) {
  if (e.ImageDataSize <= 0) return -1;
  const auto* data = static_cast<const std::uint8_t*>(e.WideTextOrData);
  const auto length = static_cast<std::size_t>(e.ImageDataSize);
  std::int32_t width = 0, height = 0;
  TQVJPEGFrame frame;
  const bool jpeg = e.TextForm == qvImageJPEGRGB || e.TextForm == qvImageJPEGCMYK ||
                    e.TextForm == qvImageJPEGGray;
  if (e.ImageSource == 0 && jpeg && ReadJPEGFrame(data, length, &frame)) {
    width = frame.width;
    height = frame.height;
  }
  return d.Images().AddImageData(e.ImageSource, data, length, e.TextForm, width, height);
}

void PaintImage(TQVPDFEngineContext& c, TQVPDFElement& e, const TQVPDFElementRect& r,
                const TQVElementUnits& u) {
  TQVPDFDeviceEX& d = c.device;
  c.drawn = true;
  if (e.ImageNumber < 0) {
    const bool fromData = (e.Flags & QVPDF_ELEMENT_IMAGE_DATA) != 0 &&
                          e.WideTextOrData != nullptr && !c.stored.convertJpegData;
    e.ImageNumber = fromData ? AddElementImageData(d, e) : d.Images().AddBitmap(e.ImageSource);
  }
  if (e.ImageNumber <= 0) return;  // none made, or none given
  d.Images().DrawImage(e.ImageNumber, static_cast<float>(u.X(r.Left)),
                       static_cast<float>(u.UY(r.Top)),
                       static_cast<float>(u.UX(std::int64_t{r.Right} - r.Left)),
                       static_cast<float>(u.UY(std::int64_t{r.Bottom} - r.Top)));
}

// A two-point line with the element's pen width (a negative width is none); the level's pen
// width goes back to 0 after it.
void PaintLine(TQVPDFDeviceEX& d, const TQVPDFElement& e, POINTL from, POINTL to) {
  TQVDCStackVar& v = d.CurrentDCState();
  const std::int32_t width = e.PenWidth;  // a copy: the record is packed
  v.penWidth = width > 0 ? width : 0;
  const POINTL points[2] = {from, to};
  d.Polyline(points, 2, false, true, true);
  v.penWidth = 0;
}

void PaintFilledRect(TQVPDFEngineContext& c, const TQVPDFElement& e, const TQVPDFElementRect& r,
                     const TQVElementUnits& u) {
  c.filledRect = e.FillStyle == QVPDF_ELEMENT_SHADING_FILL;
  c.drawn = true;
  // White stays white unless the device mode makes white brushes transparent (FillSolidRect).
  if (MeansNoColor(e.BackColor)) return;
  c.device.FillSolidRect(u.X(r.Left), u.UY(r.Top), u.UX(std::int64_t{r.Right} - r.Left),
                         u.UY(std::int64_t{r.Bottom} - r.Top + 1), e.BackColor);
}

void Paint(TQVPDFEngineContext& c, TQVPDFElement& e, const TQVPDFElementRect& r, const char* text) {
  const TQVElementUnits u(c);
  TQVPDFDeviceEX& d = c.device;
  switch (e.Kind) {
    case QVPDF_ELEMENT_TEXT:
      PaintText(c, e, r, text, u);
      break;
    case QVPDF_ELEMENT_IMAGE:
      PaintImage(c, e, r, u);
      break;
    case QVPDF_ELEMENT_LINE_TOP:
    case QVPDF_ELEMENT_LINE_BOTTOM: {
      const std::int32_t y =
          e.Kind == QVPDF_ELEMENT_LINE_TOP ? u.UY(r.Top) : u.UY(std::int64_t{r.Bottom} - 1);
      PaintLine(d, e, POINTL{u.X(r.Left), y}, POINTL{u.X(r.Right), y});
      break;
    }
    case QVPDF_ELEMENT_LINE_LEFT:
    case QVPDF_ELEMENT_LINE_RIGHT: {
      const std::int32_t x = u.X(e.Kind == QVPDF_ELEMENT_LINE_LEFT ? r.Left : r.Right);
      PaintLine(d, e, POINTL{x, u.UY(r.Top)}, POINTL{x, u.UY(std::int64_t{r.Bottom} - 1)});
      break;
    }
    case QVPDF_ELEMENT_FILLED_RECT:
      PaintFilledRect(c, e, r, u);
      break;
    case QVPDF_ELEMENT_BASELINE_LINE: {
      // One pixel of the page below the baseline.
      const std::int32_t y = Clamped(std::int64_t{u.UY(e.Baseline)} + d.yResolution / 72);
      PaintLine(d, e, POINTL{u.X(r.Left), y}, POINTL{u.X(r.Right), y});
      break;
    }
    default:
      break;
  }
}

// A running element counts as a command of the context: from inside the engine's callback
// neither another element nor a document-changing command may run.
class TQVElementRun {
 public:
  explicit TQVElementRun(TQVPDFEngineContext& c) : c_(c) {
    ++c_.commandDepth;
    c_.device.SetResolution(c_.xResolution, c_.yResolution);
  }
  ~TQVElementRun() {
    c_.device.SetResolution(0, 0);
    --c_.commandDepth;
  }
  TQVElementRun(const TQVElementRun&) = delete;
  TQVElementRun& operator=(const TQVElementRun&) = delete;

 private:
  TQVPDFEngineContext& c_;
};

}  // namespace

void PaintElement(TQVPDFEngineContext& c, TQVPDFElement* element, const TQVPDFElementRect* rect,
                  const char* text) {
  if (element == nullptr || rect == nullptr || c.commandDepth > 0 || !c.device.PageOpen()) return;
  c.PassCallbackToDevice();
  const TQVElementRun run(c);
  Paint(c, *element, *rect, text);
}

}  // namespace vellora
