#include "qvplatform/metafile_canvas.h"

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <cstring>

#include "qvplatform/device_context.h"
#include "qvplatform/font_service.h"
#include "qvplatform/text_measure.h"
#include "qvplatform/text_metrics.h"

namespace qvplatform {

namespace {

// a + b in 32 bits, clamped where a host's values would overflow.
LONG ClampedSum(std::int64_t a, std::int64_t b) {
  return static_cast<LONG>(std::clamp<std::int64_t>(a + b, INT32_MIN, INT32_MAX));
}

LONG HundredthsOfMm(LONG pixels, LONG resolution) {
  return ClampedSum(std::llround(static_cast<double>(pixels) * 2540.0 / resolution), 0);
}

LONG Millimeters(LONG hundredths) {
  return static_cast<LONG>((std::int64_t{hundredths} + 50) / 100);
}

RECTL Normalized(RECTL r) {
  return {std::min(r.left, r.right), std::min(r.top, r.bottom), std::max(r.left, r.right),
          std::max(r.top, r.bottom)};
}

}  // namespace

TMetafileCanvas::TMetafileCanvas(TMetafile& target, LONG width, LONG height, LONG xRes, LONG yRes)
    : target_(target),
      width_(std::max<LONG>(width, 1)),
      height_(std::max<LONG>(height, 1)),
      xRes_(xRes >= 1 ? xRes : 72),
      yRes_(yRes >= 1 ? yRes : 72) {}

TMetafileCanvas::~TMetafileCanvas() { Close(); }

template <class T>
void TMetafileCanvas::Record(DWORD type, const T& fixed, const void* tail, std::size_t tailSize) {
  if (!closed_) writer_.AppendFixed(type, fixed, tail, tailSize);
}

void TMetafileCanvas::Close() {
  if (closed_) return;
  // No palette; the record's last value repeats its size.
  const DWORD eofSize = sizeof(EMREOF) + sizeof(DWORD);
  Record(EMR_EOF, EMREOF{{}, 0, sizeof(EMREOF)}, &eofSize, sizeof eofSize);
  closed_ = true;
  if (measure_ != 0) DeleteDC(measure_);
  if (measureFont_ != 0) DeleteObject(measureFont_);
  measure_ = 0;
  measureFont_ = 0;

  ENHMETAHEADER h;
  h.iType = EMR_HEADER;
  h.rclBounds = bounds_;
  h.rclFrame = {0, 0, HundredthsOfMm(width_, xRes_), HundredthsOfMm(height_, yRes_)};
  h.dSignature = ENHMETA_SIGNATURE;
  h.nVersion = 0x10000;
  h.nHandles = static_cast<WORD>(std::min<std::size_t>(slotsInUse_.size(), 0xFFFF));
  h.szlDevice = {width_, height_};
  h.szlMillimeters = {Millimeters(h.rclFrame.right), Millimeters(h.rclFrame.bottom)};
  h.szlMicrometers = {ClampedSum(std::int64_t{h.rclFrame.right} * 10, 0),
                      ClampedSum(std::int64_t{h.rclFrame.bottom} * 10, 0)};
  h.nSize = EmfHeaderRecordSize(kEmfHeaderExtension2Size, 0);
  h.nBytes = static_cast<DWORD>(h.nSize + writer_.Body().size());
  h.nRecords = writer_.RecordCount() + 1;
  std::vector<BYTE> bytes = EmfHeaderRecord(h, kEmfHeaderExtension2Size);
  bytes.insert(bytes.end(), writer_.Body().begin(), writer_.Body().end());
  writer_.Clear();
  target_.SetBytes(std::move(bytes));
}

int TMetafileCanvas::GetDeviceCaps(int index) const {
  switch (index) {
    case LOGPIXELSX:
      return xRes_;
    case LOGPIXELSY:
      return yRes_;
    case HORZRES:
      return width_;
    case VERTRES:
      return height_;
    case HORZSIZE:
      return Millimeters(HundredthsOfMm(width_, xRes_));
    case VERTSIZE:
      return Millimeters(HundredthsOfMm(height_, yRes_));
    case TECHNOLOGY:
      return DT_RASDISPLAY;
    default:
      return 0;
  }
}

void TMetafileCanvas::SaveDC() {
  Record(EMR_SAVEDC, EMRSAVEDC{});
  ++savedLevels_;
}

void TMetafileCanvas::RestoreDC(LONG relative) {
  Record(EMR_RESTOREDC, EMRRESTOREDC{{}, relative});
  // A negative value counts back from the current level, a positive one names a level.
  const int left = relative < 0 ? savedLevels_ + relative : static_cast<int>(relative) - 1;
  savedLevels_ = std::clamp(left, 0, savedLevels_);
  if (savedLevels_ > 0) return;
  // No state left that could select an object replaced meanwhile.
  for (DWORD slot : kept_) {
    Record(EMR_DELETEOBJECT, EMRDELETEOBJECT{{}, slot});
    slotsInUse_[slot] = false;
  }
  kept_.clear();
}

DWORD TMetafileCanvas::NewObjectSlot() {
  const auto free = std::find(slotsInUse_.begin() + 1, slotsInUse_.end(), false);
  const auto slot = static_cast<DWORD>(free - slotsInUse_.begin());
  if (free == slotsInUse_.end()) slotsInUse_.push_back(true);
  slotsInUse_[slot] = true;
  return slot;
}

void TMetafileCanvas::ReplaceSelected(DWORD& selected, DWORD slot) {
  Record(EMR_SELECTOBJECT, EMRSELECTOBJECT{{}, slot});
  if (selected != 0) {
    if (savedLevels_ > 0) {
      kept_.push_back(selected);
    } else {
      Record(EMR_DELETEOBJECT, EMRDELETEOBJECT{{}, selected});
      slotsInUse_[selected] = false;
    }
  }
  selected = slot;
}

void TMetafileCanvas::SetPen(UINT style, LONG width, COLORREF color) {
  if (closed_) return;
  const DWORD slot = NewObjectSlot();
  Record(EMR_CREATEPEN, EMRCREATEPEN{{}, slot, LOGPEN{style, {width, 0}, color}});
  ReplaceSelected(pen_, slot);
}

void TMetafileCanvas::SetBrush(UINT style, COLORREF color, DWORD hatch) {
  if (closed_) return;
  const DWORD slot = NewObjectSlot();
  Record(EMR_CREATEBRUSHINDIRECT, EMRCREATEBRUSHINDIRECT{{}, slot, LOGBRUSH{style, color, hatch}});
  ReplaceSelected(brush_, slot);
}

void TMetafileCanvas::SetFont(const LOGFONTW& font) {
  if (closed_) return;
  const DWORD slot = NewObjectSlot();
  Record(EMR_EXTCREATEFONTINDIRECTW, EMREXTCREATEFONTINDIRECTW{{}, slot, font});
  ReplaceSelected(font_, slot);
  const HFONT measured = CreateFontIndirectW(&font);
  SelectObject(MeasureDC(), measured);
  if (measureFont_ != 0) DeleteObject(measureFont_);
  measureFont_ = measured;
}

void TMetafileCanvas::SetTextColor(COLORREF color) {
  Record(EMR_SETTEXTCOLOR, EMRSETTEXTCOLOR{{}, color});
}
void TMetafileCanvas::SetBkColor(COLORREF color) {
  Record(EMR_SETBKCOLOR, EMRSETBKCOLOR{{}, color});
}
void TMetafileCanvas::SetBkMode(DWORD mode) { Record(EMR_SETBKMODE, EMRSETBKMODE{{}, mode}); }
void TMetafileCanvas::SetTextAlign(UINT align) {
  Record(EMR_SETTEXTALIGN, EMRSETTEXTALIGN{{}, align});
  qvplatform::SetTextAlign(MeasureDC(), align);
}

HDC TMetafileCanvas::MeasureDC() {
  // A screen DC starts with the stock font a metafile's text uses until a font is selected.
  if (measure_ == 0) measure_ = CreateCompatibleDC(0);
  return measure_;
}

void TMetafileCanvas::AddBounds(RECTL box) {
  box = Normalized(box);
  if (bounds_.right < bounds_.left) {
    bounds_ = box;
    return;
  }
  bounds_ = {std::min(bounds_.left, box.left), std::min(bounds_.top, box.top),
             std::max(bounds_.right, box.right), std::max(bounds_.bottom, box.bottom)};
}

void TMetafileCanvas::AddPointBounds(const std::vector<POINTL>& points) {
  for (const POINTL& p : points) AddBounds({p.x, p.y, p.x, p.y});
}

void TMetafileCanvas::MoveTo(LONG x, LONG y) { Record(EMR_MOVETOEX, EMRMOVETOEX{{}, {x, y}}); }

void TMetafileCanvas::LineTo(LONG x, LONG y) {
  Record(EMR_LINETO, EMRLINETO{{}, {x, y}});
  AddBounds({x, y, x, y});
}

void TMetafileCanvas::Polyline(const std::vector<POINTL>& points) {
  Record(EMR_POLYLINE, EMRPOLYLINE{{}, {}, static_cast<DWORD>(points.size())}, points.data(),
         points.size() * sizeof(POINTL));
  AddPointBounds(points);
}

void TMetafileCanvas::Polygon(const std::vector<POINTL>& points) {
  Record(EMR_POLYGON, EMRPOLYLINE{{}, {}, static_cast<DWORD>(points.size())}, points.data(),
         points.size() * sizeof(POINTL));
  AddPointBounds(points);
}

void TMetafileCanvas::Rectangle(RECTL box) {
  Record(EMR_RECTANGLE, EMRRECTANGLE{{}, box});
  AddBounds(box);
}

void TMetafileCanvas::Ellipse(RECTL box) {
  Record(EMR_ELLIPSE, EMRELLIPSE{{}, box});
  AddBounds(box);
}

void TMetafileCanvas::IntersectClipRect(RECTL clip) {
  Record(EMR_INTERSECTCLIPRECT, EMRINTERSECTCLIPRECT{{}, clip});
}
void TMetafileCanvas::ExcludeClipRect(RECTL clip) {
  Record(EMR_EXCLUDECLIPRECT, EMREXCLUDECLIPRECT{{}, clip});
}

void TMetafileCanvas::ExtTextOutW(LONG x, LONG y, UINT options, const RECTL* clip,
                                  std::u16string_view text, const INT* dx) {
  if (closed_) return;
  const std::size_t count = text.size();
  std::vector<INT>& advances = advances_;
  advances.assign(count, 0);
  std::int64_t width = 0;  // a host's advances may add up beyond 32 bits
  for (std::size_t i = 0; i < count; ++i) {
    if (dx != nullptr) {
      advances[i] = dx[i];
    } else {
      const UINT code = text[i];
      GetCharWidth32W(MeasureDC(), code, code, &advances[i]);
    }
    width += advances[i];
  }
  // The string padded to 4 bytes, then the advances.
  const std::size_t stringBytes = (count * sizeof(char16_t) + 3) / 4 * 4;
  std::vector<BYTE>& tail = scratch_;
  tail.assign(stringBytes + count * sizeof(INT), 0);
  if (count != 0) {
    std::memcpy(tail.data(), text.data(), count * sizeof(char16_t));
    std::memcpy(tail.data() + stringBytes, advances.data(), count * sizeof(INT));
  }
  EMREXTTEXTOUTW fixed;
  fixed.iGraphicsMode = 1;  // GM_COMPATIBLE
  fixed.emrtext.ptlReference = {x, y};
  fixed.emrtext.nChars = static_cast<DWORD>(count);
  fixed.emrtext.offString = sizeof(EMREXTTEXTOUTW);
  fixed.emrtext.fOptions = options;
  if (clip != nullptr) fixed.emrtext.rcl = *clip;
  fixed.emrtext.offDx = static_cast<DWORD>(sizeof(EMREXTTEXTOUTW) + stringBytes);
  TEXTMETRICW metrics;
  const LONG height = GetTextMetricsW(MeasureDC(), &metrics) ? metrics.tmHeight : 0;
  fixed.rclBounds = {x, y, ClampedSum(x, width), ClampedSum(y, height)};
  Record(EMR_EXTTEXTOUTW, fixed, tail.data(), tail.size());
  if (count != 0) AddBounds(fixed.rclBounds);
}

void TMetafileCanvas::StretchDIBits(RECTL dest, RECTL source, const void* info,
                                    std::size_t infoSize, const void* bits, std::size_t bitsSize,
                                    DWORD usage, DWORD rop) {
  if (closed_) return;
  const std::size_t infoPadded = (infoSize + 3) / 4 * 4;
  std::vector<BYTE>& tail = scratch_;
  tail.assign(infoPadded + bitsSize, 0);
  if (infoSize != 0) std::memcpy(tail.data(), info, infoSize);
  if (bitsSize != 0) std::memcpy(tail.data() + infoPadded, bits, bitsSize);
  EMRSTRETCHDIBITS fixed;
  fixed.rclBounds =
      Normalized({dest.left, dest.top, ClampedSum(dest.right, -1), ClampedSum(dest.bottom, -1)});
  fixed.xDest = dest.left;
  fixed.yDest = dest.top;
  fixed.cxDest = ClampedSum(dest.right, -std::int64_t{dest.left});
  fixed.cyDest = ClampedSum(dest.bottom, -std::int64_t{dest.top});
  fixed.xSrc = source.left;
  fixed.ySrc = source.top;
  fixed.cxSrc = ClampedSum(source.right, -std::int64_t{source.left});
  fixed.cySrc = ClampedSum(source.bottom, -std::int64_t{source.top});
  fixed.offBmiSrc = sizeof(EMRSTRETCHDIBITS);
  fixed.cbBmiSrc = static_cast<DWORD>(infoSize);
  fixed.offBitsSrc = static_cast<DWORD>(sizeof(EMRSTRETCHDIBITS) + infoPadded);
  fixed.cbBitsSrc = static_cast<DWORD>(bitsSize);
  fixed.iUsageSrc = usage;
  fixed.dwRop = rop;
  Record(EMR_STRETCHDIBITS, fixed, tail.data(), tail.size());
  AddBounds(fixed.rclBounds);
}

void TMetafileCanvas::GdiComment(const void* data, std::size_t size) {
  Record(EMR_GDICOMMENT, EMRGDICOMMENT{{}, static_cast<DWORD>(size)}, data, size);
}

}  // namespace qvplatform
