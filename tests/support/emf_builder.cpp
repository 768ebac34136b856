#include "emf_builder.h"

#include <algorithm>
#include <cstring>

namespace vellora_test {
namespace {

template <class T>
void Put(std::vector<BYTE>& out, const T& value) {
  const auto* p = reinterpret_cast<const BYTE*>(&value);
  out.insert(out.end(), p, p + sizeof(T));
}

void PadTo4(std::vector<BYTE>& out) {
  while (out.size() % 4 != 0) out.push_back(0);
}

template <class Point>
RECTL BoundsOf(const std::vector<Point>& points) {
  if (points.empty()) return RECTL{0, 0, -1, -1};
  RECTL r{points[0].x, points[0].y, points[0].x, points[0].y};
  for (const Point& p : points) {
    r.left = std::min<LONG>(r.left, p.x);
    r.top = std::min<LONG>(r.top, p.y);
    r.right = std::max<LONG>(r.right, p.x);
    r.bottom = std::max<LONG>(r.bottom, p.y);
  }
  return r;
}

XFORM Identity() { return XFORM{}; }

}  // namespace

std::vector<BYTE> Le32(std::initializer_list<std::uint32_t> values) {
  std::vector<BYTE> out;
  for (std::uint32_t v : values) {
    for (int i = 0; i < 4; ++i) out.push_back(static_cast<BYTE>(v >> (8 * i)));
  }
  return out;
}

TestDib TestDib::Filled(LONG width, LONG height, WORD bitCount, BYTE fill) {
  TestDib dib;
  dib.width = width;
  dib.height = height;
  dib.bitCount = bitCount;
  if (bitCount <= 8) {
    for (unsigned i = 0; i < (1u << bitCount); ++i) {
      const BYTE v = static_cast<BYTE>(i * 255 / ((1u << bitCount) - 1));
      dib.colors.push_back(RGBQUAD{v, v, v, 0});
    }
  }
  dib.bits = dib.PixelBytes();
  std::fill(dib.bits.begin(), dib.bits.end(), fill);
  return dib;
}

std::vector<BYTE> TestDib::InfoBytes() const {
  std::vector<BYTE> out;
  if (core) {
    Put(out,
        BITMAPCOREHEADER{12, static_cast<WORD>(width), static_cast<WORD>(height), 1, bitCount});
    for (const RGBQUAD& c : colors) Put(out, RGBTRIPLE{c.rgbBlue, c.rgbGreen, c.rgbRed});
    return out;
  }
  BITMAPINFOHEADER h;
  h.biSize = 40;
  h.biWidth = width;
  h.biHeight = height;
  h.biPlanes = 1;
  h.biBitCount = bitCount;
  h.biCompression = compression;
  h.biSizeImage = static_cast<DWORD>(PixelBytes().size());
  h.biClrUsed = static_cast<DWORD>(colors.size());
  Put(out, h);
  for (DWORD m : masks) Put(out, m);
  for (const RGBQUAD& c : colors) Put(out, c);
  return out;
}

std::vector<BYTE> TestDib::PixelBytes() const {
  if (!bits.empty()) return bits;
  const std::size_t stride = (std::size_t(width) * bitCount + 31) / 32 * 4;
  return std::vector<BYTE>(stride * std::size_t(height < 0 ? -height : height), 0);
}

EmfBuilder::EmfBuilder() {
  header_.iType = EMR_HEADER;
  header_.rclBounds = RECTL{0, 0, 99, 99};
  header_.rclFrame = RECTL{0, 0, 2645, 2645};
  header_.dSignature = ENHMETA_SIGNATURE;
  header_.nVersion = 0x10000;
  header_.nHandles = 1;
  header_.szlDevice = SIZEL{960, 960};  // exactly 96 dpi
  header_.szlMillimeters = SIZEL{254, 254};
  header_.szlMicrometers = SIZEL{254000, 254000};
}

EmfBuilder& EmfBuilder::SetBounds(RECTL bounds) {
  header_.rclBounds = bounds;
  return *this;
}
EmfBuilder& EmfBuilder::SetFrame(RECTL frame) {
  header_.rclFrame = frame;
  return *this;
}
EmfBuilder& EmfBuilder::SetDevice(SIZEL pixels) {
  header_.szlDevice = pixels;
  return *this;
}
EmfBuilder& EmfBuilder::SetMillimeters(SIZEL millimeters) {
  header_.szlMillimeters = millimeters;
  header_.szlMicrometers = SIZEL{millimeters.cx * 1000, millimeters.cy * 1000};
  return *this;
}
EmfBuilder& EmfBuilder::SetHandles(WORD handles) {
  header_.nHandles = handles;
  return *this;
}
EmfBuilder& EmfBuilder::SetDescription(const std::u16string& description) {
  description_ = description;
  return *this;
}
EmfBuilder& EmfBuilder::SetHeaderSize(DWORD size) {
  headerFields_ = size;
  return *this;
}
EmfBuilder& EmfBuilder::ForceHeaderSize(DWORD size) {
  forcedHeaderSize_ = size;
  return *this;
}
EmfBuilder& EmfBuilder::ForceRecordCount(DWORD records) {
  forcedRecords_ = records;
  return *this;
}
EmfBuilder& EmfBuilder::ForceByteCount(DWORD bytes) {
  forcedBytes_ = bytes;
  return *this;
}

std::vector<BYTE> EmfBuilder::HeaderBytes(std::size_t total) const {
  ENHMETAHEADER h = header_;
  h.nSize = forcedHeaderSize_.value_or(EmfHeaderRecordSize(headerFields_, description_.size()));
  h.nBytes = forcedBytes_.value_or(static_cast<DWORD>(total));
  h.nRecords = forcedRecords_.value_or(RecordCount());
  return EmfHeaderRecord(h, headerFields_, description_);
}

std::vector<BYTE> EmfBuilder::Bytes() const {
  const std::size_t headerSize = HeaderBytes(0).size();
  std::vector<BYTE> out = HeaderBytes(headerSize + writer_.Body().size());
  out.insert(out.end(), writer_.Body().begin(), writer_.Body().end());
  return out;
}

std::size_t EmfBuilder::Offset() const { return HeaderBytes(0).size() + writer_.Body().size(); }

EmfBuilder& EmfBuilder::Append(DWORD type, const void* body, std::size_t size) {
  writer_.Append(type, body, size);
  return *this;
}

EmfBuilder& EmfBuilder::Append(DWORD type, std::initializer_list<DWORD> body) {
  const std::vector<BYTE> bytes = Le32(body);
  return Append(type, bytes.data(), bytes.size());
}

EmfBuilder& EmfBuilder::AppendRaw(DWORD type, DWORD declaredSize, const std::vector<BYTE>& body) {
  const EMR head{type, declaredSize};
  writer_.AppendBytes(&head, sizeof head, true);
  writer_.AppendBytes(body.data(), body.size(), false);
  return *this;
}

EmfBuilder& EmfBuilder::AppendBytes(const std::vector<BYTE>& bytes, bool countAsRecord) {
  writer_.AppendBytes(bytes.data(), bytes.size(), countAsRecord);
  return *this;
}

EmfBuilder& EmfBuilder::Poly(DWORD type, const std::vector<POINTL>& points) {
  std::vector<BYTE> tail;
  for (const POINTL& p : points) Put(tail, p);
  return AppendFixed(type, EMRPOLYLINE{{}, BoundsOf(points), DWORD(points.size())}, tail);
}

EmfBuilder& EmfBuilder::Poly16(DWORD type, const std::vector<POINTS>& points) {
  std::vector<BYTE> tail;
  for (const POINTS& p : points) Put(tail, p);
  return AppendFixed(type, EMRPOLYLINE16{{}, BoundsOf(points), DWORD(points.size())}, tail);
}

EmfBuilder& EmfBuilder::PolyPoly(DWORD type, const std::vector<std::vector<POINTL>>& polys) {
  std::vector<BYTE> counts, points;
  std::vector<POINTL> all;
  for (const auto& poly : polys) {
    Put(counts, DWORD(poly.size()));
    for (const POINTL& p : poly) Put(points, p);
    all.insert(all.end(), poly.begin(), poly.end());
  }
  counts.insert(counts.end(), points.begin(), points.end());
  return AppendFixed(
      type, EMRPOLYPOLYLINE{{}, BoundsOf(all), DWORD(polys.size()), DWORD(all.size())}, counts);
}

EmfBuilder& EmfBuilder::PolyPoly16(DWORD type, const std::vector<std::vector<POINTS>>& polys) {
  std::vector<BYTE> counts, points;
  std::vector<POINTS> all;
  for (const auto& poly : polys) {
    Put(counts, DWORD(poly.size()));
    for (const POINTS& p : poly) Put(points, p);
    all.insert(all.end(), poly.begin(), poly.end());
  }
  counts.insert(counts.end(), points.begin(), points.end());
  return AppendFixed(
      type, EMRPOLYPOLYLINE16{{}, BoundsOf(all), DWORD(polys.size()), DWORD(all.size())}, counts);
}

EmfBuilder& EmfBuilder::MoveTo(LONG x, LONG y) {
  return AppendFixed(EMR_MOVETOEX, EMRMOVETOEX{{}, {x, y}});
}
EmfBuilder& EmfBuilder::LineTo(LONG x, LONG y) {
  return AppendFixed(EMR_LINETO, EMRLINETO{{}, {x, y}});
}
EmfBuilder& EmfBuilder::Rectangle(RECTL box) {
  return AppendFixed(EMR_RECTANGLE, EMRRECTANGLE{{}, box});
}
EmfBuilder& EmfBuilder::Ellipse(RECTL box) { return AppendFixed(EMR_ELLIPSE, EMRELLIPSE{{}, box}); }
EmfBuilder& EmfBuilder::RoundRect(RECTL box, SIZEL corner) {
  return AppendFixed(EMR_ROUNDRECT, EMRROUNDRECT{{}, box, corner});
}
EmfBuilder& EmfBuilder::ArcFamily(DWORD type, RECTL box, POINTL start, POINTL end) {
  return AppendFixed(type, EMRARC{{}, box, start, end});
}
EmfBuilder& EmfBuilder::AngleArc(POINTL center, DWORD radius, float start, float sweep) {
  return AppendFixed(EMR_ANGLEARC, EMRANGLEARC{{}, center, radius, start, sweep});
}

EmfBuilder& EmfBuilder::CreatePen(DWORD handle, UINT style, LONG width, COLORREF color) {
  return AppendFixed(EMR_CREATEPEN, EMRCREATEPEN{{}, handle, LOGPEN{style, {width, 0}, color}});
}

EmfBuilder& EmfBuilder::ExtCreatePen(DWORD handle, DWORD style, DWORD width, COLORREF color,
                                     DWORD brushStyle, DWORD hatch,
                                     const std::vector<DWORD>& styleEntries) {
  EMREXTCREATEPEN r;
  r.ihPen = handle;
  r.offBmi = r.offBits = sizeof(EMREXTCREATEPEN);
  r.elp = EXTLOGPEN32{style, width, brushStyle, color, hatch, DWORD(styleEntries.size())};
  std::vector<BYTE> tail;
  for (DWORD e : styleEntries) Put(tail, e);
  return AppendFixed(EMR_EXTCREATEPEN, r, tail);
}

EmfBuilder& EmfBuilder::CreateBrush(DWORD handle, UINT style, COLORREF color, DWORD hatch) {
  return AppendFixed(EMR_CREATEBRUSHINDIRECT,
                     EMRCREATEBRUSHINDIRECT{{}, handle, LOGBRUSH{style, color, hatch}});
}

LOGFONTW EmfBuilder::Font(const std::u16string& face, LONG height, LONG weight) {
  LOGFONTW f;
  f.lfHeight = height;
  f.lfWeight = weight;
  for (std::size_t i = 0; i < face.size() && i + 1 < LF_FACESIZE; ++i) f.lfFaceName[i] = face[i];
  return f;
}

EmfBuilder& EmfBuilder::CreateFont(DWORD handle, const LOGFONTW& font) {
  // Writers store the longer description form after the logical font: 332 bytes in all.
  return AppendFixed(EMR_EXTCREATEFONTINDIRECTW, EMREXTCREATEFONTINDIRECTW{{}, handle, font},
                     std::vector<BYTE>(332 - sizeof(EMREXTCREATEFONTINDIRECTW), 0));
}

EmfBuilder& EmfBuilder::CreatePalette(DWORD handle, const std::vector<PALETTEENTRY>& entries) {
  std::vector<BYTE> tail;
  for (const PALETTEENTRY& e : entries) Put(tail, e);
  return AppendFixed(EMR_CREATEPALETTE,
                     EMRCREATEPALETTE{{}, handle, 0x300, static_cast<WORD>(entries.size())}, tail);
}

EmfBuilder& EmfBuilder::SelectObject(DWORD handle) {
  return AppendFixed(EMR_SELECTOBJECT, EMRSELECTOBJECT{{}, handle});
}
EmfBuilder& EmfBuilder::DeleteObject(DWORD handle) {
  return AppendFixed(EMR_DELETEOBJECT, EMRDELETEOBJECT{{}, handle});
}
EmfBuilder& EmfBuilder::SaveDC() { return Append(EMR_SAVEDC, {}); }
EmfBuilder& EmfBuilder::RestoreDC(LONG relative) {
  return AppendFixed(EMR_RESTOREDC, EMRRESTOREDC{{}, relative});
}

EmfBuilder& EmfBuilder::SetWindowExt(LONG cx, LONG cy) {
  return AppendFixed(EMR_SETWINDOWEXTEX, EMRSETWINDOWEXTEX{{}, {cx, cy}});
}
EmfBuilder& EmfBuilder::SetWindowOrg(LONG x, LONG y) {
  return AppendFixed(EMR_SETWINDOWORGEX, EMRSETWINDOWORGEX{{}, {x, y}});
}
EmfBuilder& EmfBuilder::SetViewportExt(LONG cx, LONG cy) {
  return AppendFixed(EMR_SETVIEWPORTEXTEX, EMRSETVIEWPORTEXTEX{{}, {cx, cy}});
}
EmfBuilder& EmfBuilder::SetViewportOrg(LONG x, LONG y) {
  return AppendFixed(EMR_SETVIEWPORTORGEX, EMRSETVIEWPORTORGEX{{}, {x, y}});
}
EmfBuilder& EmfBuilder::SetMapMode(DWORD mode) {
  return AppendFixed(EMR_SETMAPMODE, EMRSETMAPMODE{{}, mode});
}
EmfBuilder& EmfBuilder::SetWorldTransform(const XFORM& xform) {
  return AppendFixed(EMR_SETWORLDTRANSFORM, EMRSETWORLDTRANSFORM{{}, xform});
}
EmfBuilder& EmfBuilder::ModifyWorldTransform(const XFORM& xform, DWORD mode) {
  return AppendFixed(EMR_MODIFYWORLDTRANSFORM, EMRMODIFYWORLDTRANSFORM{{}, xform, mode});
}
EmfBuilder& EmfBuilder::IntersectClipRect(RECTL clip) {
  return AppendFixed(EMR_INTERSECTCLIPRECT, EMRINTERSECTCLIPRECT{{}, clip});
}
EmfBuilder& EmfBuilder::ExcludeClipRect(RECTL clip) {
  return AppendFixed(EMR_EXCLUDECLIPRECT, EMREXCLUDECLIPRECT{{}, clip});
}

namespace {
std::vector<BYTE> RegionBytes(const std::vector<RECTL>& rects) {
  std::vector<BYTE> out;
  if (rects.empty()) return out;
  RGNDATAHEADER h{32, RDH_RECTANGLES, DWORD(rects.size()), DWORD(rects.size() * 16), rects[0]};
  for (const RECTL& r : rects) {
    h.rcBound.left = std::min(h.rcBound.left, r.left);
    h.rcBound.top = std::min(h.rcBound.top, r.top);
    h.rcBound.right = std::max(h.rcBound.right, r.right);
    h.rcBound.bottom = std::max(h.rcBound.bottom, r.bottom);
  }
  Put(out, h);
  for (const RECTL& r : rects) Put(out, r);
  return out;
}
}  // namespace

EmfBuilder& EmfBuilder::ExtSelectClipRgn(DWORD mode, const std::vector<RECTL>& rects) {
  const std::vector<BYTE> region = RegionBytes(rects);
  return AppendFixed(EMR_EXTSELECTCLIPRGN, EMREXTSELECTCLIPRGN{{}, DWORD(region.size()), mode},
                     region);
}

EmfBuilder& EmfBuilder::PaintRgn(const std::vector<RECTL>& rects) {
  const std::vector<BYTE> region = RegionBytes(rects);
  RECTL bounds{};
  if (!region.empty()) std::memcpy(&bounds, region.data() + 16, sizeof(bounds));
  return AppendFixed(EMR_PAINTRGN, EMRPAINTRGN{{}, bounds, DWORD(region.size())}, region);
}

EmfBuilder& EmfBuilder::GdiComment(const std::vector<BYTE>& data) {
  return AppendFixed(EMR_GDICOMMENT, EMRGDICOMMENT{{}, DWORD(data.size())}, data);
}

namespace {
template <class String>
EMREXTTEXTOUTW TextRecord(LONG x, LONG y, const String& text, std::size_t stringBytes,
                          DWORD options, RECTL clip) {
  EMREXTTEXTOUTW r;
  r.rclBounds = RECTL{0, 0, -1, -1};
  r.iGraphicsMode = 1;
  r.emrtext.ptlReference = POINTL{x, y};
  r.emrtext.nChars = DWORD(text.size());
  r.emrtext.offString = sizeof(EMREXTTEXTOUTW);
  r.emrtext.fOptions = options;
  r.emrtext.rcl = clip;
  r.emrtext.offDx = DWORD(sizeof(EMREXTTEXTOUTW) + (stringBytes + 3) / 4 * 4);
  return r;
}
}  // namespace

EmfBuilder& EmfBuilder::ExtTextOutW(LONG x, LONG y, const std::u16string& text, std::vector<INT> dx,
                                    DWORD options, RECTL clip) {
  if (dx.empty()) dx.assign(text.size(), 10);
  std::vector<BYTE> tail;
  for (char16_t c : text) Put(tail, c);
  PadTo4(tail);
  for (INT d : dx) Put(tail, d);
  return AppendFixed(EMR_EXTTEXTOUTW, TextRecord(x, y, text, text.size() * 2, options, clip), tail);
}

EmfBuilder& EmfBuilder::ExtTextOutWNoSpacing(LONG x, LONG y, const std::u16string& text) {
  std::vector<BYTE> tail;
  for (char16_t c : text) Put(tail, c);
  EMREXTTEXTOUTW fixed = TextRecord(x, y, text, text.size() * 2, 0, {});
  fixed.emrtext.offDx = 0;
  return AppendFixed(EMR_EXTTEXTOUTW, fixed, tail);
}

EmfBuilder& EmfBuilder::ExtTextOutA(LONG x, LONG y, const std::string& text, std::vector<INT> dx,
                                    DWORD options, RECTL clip) {
  if (dx.empty()) dx.assign(text.size(), 10);
  std::vector<BYTE> tail(text.begin(), text.end());
  PadTo4(tail);
  for (INT d : dx) Put(tail, d);
  return AppendFixed(EMR_EXTTEXTOUTA, TextRecord(x, y, text, text.size(), options, clip), tail);
}

template <class T>
EmfBuilder& EmfBuilder::AppendWithDib(DWORD type, T fixed, const TestDib& dib, DWORD T::*offBmi,
                                      DWORD T::*cbBmi, DWORD T::*offBits, DWORD T::*cbBits) {
  std::vector<BYTE> info = dib.InfoBytes();
  PadTo4(info);
  std::vector<BYTE> pixels = dib.PixelBytes();
  fixed.*offBmi = sizeof(T);
  fixed.*cbBmi = DWORD(info.size());
  fixed.*offBits = DWORD(sizeof(T) + info.size());
  fixed.*cbBits = DWORD(pixels.size());
  info.insert(info.end(), pixels.begin(), pixels.end());
  return AppendFixed(type, fixed, info);
}

EmfBuilder& EmfBuilder::StretchDIBits(Area dest, const TestDib& dib, DWORD rop) {
  return StretchDIBits(dest, RECTL{0, 0, dib.width, dib.height < 0 ? -dib.height : dib.height},
                       dib.InfoBytes(), dib.PixelBytes(), DIB_RGB_COLORS, rop);
}

EmfBuilder& EmfBuilder::StretchDIBits(Area dest, RECTL source, const std::vector<BYTE>& info,
                                      const std::vector<BYTE>& bits, DWORD usage, DWORD rop) {
  std::vector<BYTE> block = info;
  PadTo4(block);
  EMRSTRETCHDIBITS r;
  r.rclBounds = RECTL{dest.x, dest.y, dest.x + dest.cx - 1, dest.y + dest.cy - 1};
  r.xDest = dest.x;
  r.yDest = dest.y;
  r.cxDest = dest.cx;
  r.cyDest = dest.cy;
  r.xSrc = source.left;
  r.ySrc = source.top;
  r.cxSrc = source.right;
  r.cySrc = source.bottom;
  r.iUsageSrc = usage;
  r.dwRop = rop;
  r.offBmiSrc = sizeof r;
  r.cbBmiSrc = DWORD(block.size());
  r.offBitsSrc = DWORD(sizeof r + block.size());
  r.cbBitsSrc = DWORD(bits.size());
  block.insert(block.end(), bits.begin(), bits.end());
  return AppendFixed(EMR_STRETCHDIBITS, r, block);
}

namespace {
template <class T>
T BlitRecord(Area dest, DWORD rop) {
  T r;
  r.rclBounds = RECTL{dest.x, dest.y, dest.x + dest.cx - 1, dest.y + dest.cy - 1};
  r.xDest = dest.x;
  r.yDest = dest.y;
  r.cxDest = dest.cx;
  r.cyDest = dest.cy;
  r.dwRop = rop;
  r.xformSrc = Identity();
  return r;
}
}  // namespace

EmfBuilder& EmfBuilder::BitBlt(Area dest, DWORD rop) {
  EMRBITBLT r = BlitRecord<EMRBITBLT>(dest, rop);
  r.offBmiSrc = r.offBitsSrc = sizeof(EMRBITBLT);
  return AppendFixed(EMR_BITBLT, r);
}

EmfBuilder& EmfBuilder::BitBlt(Area dest, DWORD rop, const TestDib& dib) {
  return AppendWithDib(EMR_BITBLT, BlitRecord<EMRBITBLT>(dest, rop), dib, &EMRBITBLT::offBmiSrc,
                       &EMRBITBLT::cbBmiSrc, &EMRBITBLT::offBitsSrc, &EMRBITBLT::cbBitsSrc);
}

EmfBuilder& EmfBuilder::StretchBlt(Area dest, DWORD rop, const TestDib& dib) {
  EMRSTRETCHBLT r = BlitRecord<EMRSTRETCHBLT>(dest, rop);
  r.cxSrc = dib.width;
  r.cySrc = dib.height < 0 ? -dib.height : dib.height;
  return AppendWithDib(EMR_STRETCHBLT, r, dib, &EMRSTRETCHBLT::offBmiSrc, &EMRSTRETCHBLT::cbBmiSrc,
                       &EMRSTRETCHBLT::offBitsSrc, &EMRSTRETCHBLT::cbBitsSrc);
}

EmfBuilder& EmfBuilder::CreateDibPatternBrush(DWORD handle, const TestDib& dib) {
  EMRCREATEDIBPATTERNBRUSHPT r;
  r.ihBrush = handle;
  r.iUsage = DIB_RGB_COLORS;
  return AppendWithDib(EMR_CREATEDIBPATTERNBRUSHPT, r, dib, &EMRCREATEDIBPATTERNBRUSHPT::offBmi,
                       &EMRCREATEDIBPATTERNBRUSHPT::cbBmi, &EMRCREATEDIBPATTERNBRUSHPT::offBits,
                       &EMRCREATEDIBPATTERNBRUSHPT::cbBits);
}

EmfBuilder& EmfBuilder::GradientFill(const std::vector<TRIVERTEX>& vertices,
                                     const std::vector<GRADIENT_RECT>& rects, DWORD mode) {
  EMRGRADIENTFILL r;
  std::vector<POINTL> corners;
  for (const TRIVERTEX& v : vertices) corners.push_back(POINTL{v.x, v.y});
  r.rclBounds = BoundsOf(corners);
  r.nVer = DWORD(vertices.size());
  r.nTri = DWORD(rects.size());
  r.ulMode = mode;
  std::vector<BYTE> tail;
  for (const TRIVERTEX& v : vertices) Put(tail, v);
  for (const GRADIENT_RECT& g : rects) Put(tail, g);
  return AppendFixed(EMR_GRADIENTFILL, r, tail);
}

EmfBuilder& EmfBuilder::Eof() {
  // No palette: nPalEntries 0, offPalEntries 16, then the record size once more.
  return Append(EMR_EOF, {0, 16, 20});
}

EmfBuilder PointPicture(int width, int height) {
  EmfBuilder b;
  b.SetBounds({0, 0, width - 1, height - 1});
  b.SetFrame({0, 0, width * 2540 / 72, height * 2540 / 72});
  b.SetDevice({720, 720});
  b.SetMillimeters({254, 254});
  return b;
}

}  // namespace vellora_test
