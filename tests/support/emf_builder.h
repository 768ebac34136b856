// Writes enhanced metafiles for tests: a header whose fields can be set, then records appended
// from typed fields. Bytes() fills in the header's nBytes and nRecords (unless they were forced)
// and returns the file. Broken records (wrong sizes, truncated bodies) are written with
// AppendRaw and AppendBytes.
#pragma once

#include <cstddef>
#include <initializer_list>
#include <optional>
#include <string>
#include <vector>

#include "qvplatform/emf_records.h"
#include "qvplatform/emf_writer.h"

namespace vellora_test {

using namespace qvplatform;  // NOLINT: the record names read best unqualified in tests

// A small device-independent bitmap for the blit records.
struct TestDib {
  LONG width = 2;
  LONG height = 2;  // negative: top-down
  WORD bitCount = 24;
  DWORD compression = BI_RGB;
  bool core = false;         // write a 12-byte core header (RGBTRIPLE colour table)
  std::vector<DWORD> masks;  // written right after the header (BI_BITFIELDS)
  std::vector<RGBQUAD> colors;
  std::vector<BYTE> bits;  // empty: rows of zeros for the size and depth

  // A bitmap of the given size and depth whose pixel bytes all equal fill.
  static TestDib Filled(LONG width, LONG height, WORD bitCount, BYTE fill);
  // Header and colour table as stored.
  std::vector<BYTE> InfoBytes() const;
  std::vector<BYTE> PixelBytes() const;
};

// A destination area of the blit records.
struct Area {
  LONG x = 0;
  LONG y = 0;
  LONG cx = 0;
  LONG cy = 0;
};

class EmfBuilder {
 public:
  EmfBuilder();

  // Header fields. The defaults describe a 100 x 100 pixel picture on a 96 dpi device.
  EmfBuilder& SetBounds(RECTL bounds);
  EmfBuilder& SetFrame(RECTL frame);
  EmfBuilder& SetDevice(SIZEL pixels);
  EmfBuilder& SetMillimeters(SIZEL millimeters);
  EmfBuilder& SetHandles(WORD handles);
  EmfBuilder& SetDescription(const std::u16string& description);
  // 88, 100 or 108 bytes of fields (108 by default); a description follows them.
  EmfBuilder& SetHeaderSize(DWORD size);
  // Every field as it will be written (nSize, nBytes and nRecords are filled in by Bytes()).
  ENHMETAHEADER& Header() { return header_; }
  // Written as given instead of the computed values.
  EmfBuilder& ForceHeaderSize(DWORD size);
  EmfBuilder& ForceRecordCount(DWORD records);
  EmfBuilder& ForceByteCount(DWORD bytes);

  // A record of the type with these bytes after its head, padded with zeros to a multiple of 4.
  EmfBuilder& Append(DWORD type, const void* body, std::size_t size);
  EmfBuilder& Append(DWORD type, std::initializer_list<DWORD> body);
  // A fixed part (its emr head is filled in) followed by tail bytes, padded to a multiple of 4.
  template <class T>
  EmfBuilder& AppendFixed(DWORD type, const T& fixed, const std::vector<BYTE>& tail = {}) {
    writer_.AppendFixed(type, fixed, tail.data(), tail.size());
    return *this;
  }
  // A record head with this declared size followed by exactly these bytes (no padding):
  // for sizes that are wrong on purpose.
  EmfBuilder& AppendRaw(DWORD type, DWORD declaredSize, const std::vector<BYTE>& body = {});
  // Bytes appended as they are; counted as a record only when countAsRecord.
  EmfBuilder& AppendBytes(const std::vector<BYTE>& bytes, bool countAsRecord = false);

  // Points of 2-6 and their 16-bit forms 85-89.
  EmfBuilder& Poly(DWORD type, const std::vector<POINTL>& points);
  EmfBuilder& Poly16(DWORD type, const std::vector<POINTS>& points);
  EmfBuilder& Polyline(const std::vector<POINTL>& p) { return Poly(EMR_POLYLINE, p); }
  EmfBuilder& Polygon(const std::vector<POINTL>& p) { return Poly(EMR_POLYGON, p); }
  EmfBuilder& PolyBezier(const std::vector<POINTL>& p) { return Poly(EMR_POLYBEZIER, p); }
  EmfBuilder& Polyline16(const std::vector<POINTS>& p) { return Poly16(EMR_POLYLINE16, p); }
  EmfBuilder& Polygon16(const std::vector<POINTS>& p) { return Poly16(EMR_POLYGON16, p); }
  EmfBuilder& PolyBezier16(const std::vector<POINTS>& p) { return Poly16(EMR_POLYBEZIER16, p); }
  // 7, 8 and 90, 91.
  EmfBuilder& PolyPoly(DWORD type, const std::vector<std::vector<POINTL>>& polys);
  EmfBuilder& PolyPoly16(DWORD type, const std::vector<std::vector<POINTS>>& polys);
  EmfBuilder& PolyPolyline(const std::vector<std::vector<POINTL>>& p) {
    return PolyPoly(EMR_POLYPOLYLINE, p);
  }
  EmfBuilder& PolyPolygon(const std::vector<std::vector<POINTL>>& p) {
    return PolyPoly(EMR_POLYPOLYGON, p);
  }

  EmfBuilder& MoveTo(LONG x, LONG y);
  EmfBuilder& LineTo(LONG x, LONG y);
  EmfBuilder& Rectangle(RECTL box);
  EmfBuilder& Ellipse(RECTL box);
  EmfBuilder& RoundRect(RECTL box, SIZEL corner);
  // 45-47 and 55.
  EmfBuilder& ArcFamily(DWORD type, RECTL box, POINTL start, POINTL end);
  EmfBuilder& Arc(RECTL box, POINTL start, POINTL end) {
    return ArcFamily(EMR_ARC, box, start, end);
  }
  EmfBuilder& AngleArc(POINTL center, DWORD radius, float start, float sweep);

  EmfBuilder& CreatePen(DWORD handle, UINT style, LONG width, COLORREF color);
  EmfBuilder& ExtCreatePen(DWORD handle, DWORD style, DWORD width, COLORREF color,
                           DWORD brushStyle = 0, DWORD hatch = 0,
                           const std::vector<DWORD>& styleEntries = {});
  EmfBuilder& CreateBrush(DWORD handle, UINT style, COLORREF color, DWORD hatch = 0);
  EmfBuilder& CreateFont(DWORD handle, const LOGFONTW& font);
  static LOGFONTW Font(const std::u16string& face, LONG height, LONG weight = 400);
  EmfBuilder& CreatePalette(DWORD handle, const std::vector<PALETTEENTRY>& entries);
  EmfBuilder& SelectObject(DWORD handle);
  EmfBuilder& DeleteObject(DWORD handle);
  EmfBuilder& SaveDC();
  EmfBuilder& RestoreDC(LONG relative);

  EmfBuilder& SetWindowExt(LONG cx, LONG cy);
  EmfBuilder& SetWindowOrg(LONG x, LONG y);
  EmfBuilder& SetViewportExt(LONG cx, LONG cy);
  EmfBuilder& SetViewportOrg(LONG x, LONG y);
  EmfBuilder& SetMapMode(DWORD mode);
  EmfBuilder& SetWorldTransform(const XFORM& xform);
  EmfBuilder& ModifyWorldTransform(const XFORM& xform, DWORD mode);
  EmfBuilder& IntersectClipRect(RECTL clip);
  EmfBuilder& ExcludeClipRect(RECTL clip);
  // Region data of these rectangles; with no rectangles a record with cbRgnData 0.
  EmfBuilder& ExtSelectClipRgn(DWORD mode, const std::vector<RECTL>& rects);
  EmfBuilder& PaintRgn(const std::vector<RECTL>& rects);
  EmfBuilder& GdiComment(const std::vector<BYTE>& data);

  // Text at (x, y); an empty dx gives 10 units per character.
  EmfBuilder& ExtTextOutW(LONG x, LONG y, const std::u16string& text, std::vector<INT> dx = {},
                          DWORD options = 0, RECTL clip = {});
  EmfBuilder& ExtTextOutA(LONG x, LONG y, const std::string& text, std::vector<INT> dx = {},
                          DWORD options = 0, RECTL clip = {});
  // Wide text without a spacing array (offDx 0).
  EmfBuilder& ExtTextOutWNoSpacing(LONG x, LONG y, const std::u16string& text);

  // The source is the whole bitmap.
  EmfBuilder& StretchDIBits(Area dest, const TestDib& dib, DWORD rop = SRCCOPY);
  // The bitmap as given by its info block (header, masks, colours) and pixel bytes, drawn from
  // the source rectangle (left, top as x, y; right and bottom as width and height).
  EmfBuilder& StretchDIBits(Area dest, RECTL source, const std::vector<BYTE>& info,
                            const std::vector<BYTE>& bits, DWORD usage = DIB_RGB_COLORS,
                            DWORD rop = SRCCOPY);
  EmfBuilder& BitBlt(Area dest, DWORD rop);  // without a source bitmap
  EmfBuilder& BitBlt(Area dest, DWORD rop, const TestDib& dib);
  EmfBuilder& StretchBlt(Area dest, DWORD rop, const TestDib& dib);
  // 94.
  EmfBuilder& CreateDibPatternBrush(DWORD handle, const TestDib& dib);
  EmfBuilder& GradientFill(const std::vector<TRIVERTEX>& vertices,
                           const std::vector<GRADIENT_RECT>& rects, DWORD mode);
  EmfBuilder& Eof();

  // The metafile so far (header completed).
  std::vector<BYTE> Bytes() const;
  // Offset at which the next record will start.
  std::size_t Offset() const;
  DWORD RecordCount() const { return writer_.RecordCount() + 1; }  // with the header

 private:
  // A bitmap record: fixed part, then info and pixels; the offset fields are set here.
  template <class T>
  EmfBuilder& AppendWithDib(DWORD type, T fixed, const TestDib& dib, DWORD T::*offBmi,
                            DWORD T::*cbBmi, DWORD T::*offBits, DWORD T::*cbBits);
  std::vector<BYTE> HeaderBytes(std::size_t total) const;

  ENHMETAHEADER header_;
  DWORD headerFields_ = kEmfHeaderExtension2Size;
  std::u16string description_;
  std::optional<DWORD> forcedHeaderSize_, forcedRecords_, forcedBytes_;
  EmfRecordWriter writer_;
};

// Little-endian values as bytes, for records written by hand.
std::vector<BYTE> Le32(std::initializer_list<std::uint32_t> values);

// A picture of width x height logical units on a 72 dpi reference device: one unit per point.
EmfBuilder PointPicture(int width, int height);

}  // namespace vellora_test
