// Writes old-style (WMF) metafiles for tests: the header (and, when asked, the placeable
// header), then records from typed fields in the natural order (x before y, left before
// right), stored as the format wants them (mostly last to first). Broken records are written
// with Record (any words) and AppendBytes.
#pragma once

#include <cstddef>
#include <cstdint>
#include <initializer_list>
#include <string>
#include <vector>

#include "emf_builder.h"
#include "qvplatform/text_out_options.h"
#include "qvplatform/wmf_records.h"

namespace vellora_test {

class WmfBuilder {
 public:
  // The object table holds 32 slots unless set.
  WmfBuilder& SetObjects(WORD slots);
  // A placeable header in front: the frame in metafile units and the units per inch.
  WmfBuilder& SetPlaceable(RECTL frame, WORD inch);

  // A record of the function with these parameter words.
  WmfBuilder& Record(WORD function, const std::vector<WORD>& params);
  WmfBuilder& Record(WORD function, std::initializer_list<int> params);
  // Bytes as they are, where the next record would start.
  WmfBuilder& AppendBytes(const std::vector<BYTE>& bytes);

  WmfBuilder& SetMapMode(int mode) { return Record(META_SETMAPMODE, {mode}); }
  WmfBuilder& SetWindowOrg(int x, int y) { return Record(META_SETWINDOWORG, {y, x}); }
  WmfBuilder& SetWindowExt(int cx, int cy) { return Record(META_SETWINDOWEXT, {cy, cx}); }
  WmfBuilder& SaveDC() { return Record(META_SAVEDC, {}); }
  WmfBuilder& RestoreDC(int level) { return Record(META_RESTOREDC, {level}); }
  WmfBuilder& SetBkMode(int mode) { return Record(META_SETBKMODE, {mode}); }
  WmfBuilder& SetBkColor(COLORREF color) { return Color(META_SETBKCOLOR, color); }
  WmfBuilder& SetTextColor(COLORREF color) { return Color(META_SETTEXTCOLOR, color); }
  WmfBuilder& SetTextAlign(int align) { return Record(META_SETTEXTALIGN, {align}); }
  WmfBuilder& SetPolyFillMode(int mode) { return Record(META_SETPOLYFILLMODE, {mode}); }

  WmfBuilder& CreatePen(int style, int width, COLORREF color);
  WmfBuilder& CreateBrush(int style, COLORREF color, int hatch = 0);
  WmfBuilder& CreateFont(const std::string& face, int height, int weight = 400);
  WmfBuilder& CreatePalette(const std::vector<PALETTEENTRY>& entries);
  // One scan per rectangle (rectangles in distinct rows).
  WmfBuilder& CreateRegion(const std::vector<RECTL>& rects);
  WmfBuilder& CreateDibPatternBrush(const TestDib& dib);
  WmfBuilder& SelectObject(int slot) { return Record(META_SELECTOBJECT, {slot}); }
  WmfBuilder& SelectPalette(int slot) { return Record(META_SELECTPALETTE, {slot}); }
  WmfBuilder& DeleteObject(int slot) { return Record(META_DELETEOBJECT, {slot}); }

  WmfBuilder& MoveTo(int x, int y) { return Record(META_MOVETO, {y, x}); }
  WmfBuilder& LineTo(int x, int y) { return Record(META_LINETO, {y, x}); }
  WmfBuilder& Rectangle(RECTL box) { return Box(META_RECTANGLE, box, {}); }
  WmfBuilder& Ellipse(RECTL box) { return Box(META_ELLIPSE, box, {}); }
  WmfBuilder& RoundRect(RECTL box, int width, int height);
  // Arc, Pie and Chord.
  WmfBuilder& ArcFamily(WORD function, RECTL box, POINTL start, POINTL end);
  WmfBuilder& SetPixel(int x, int y, COLORREF color);
  WmfBuilder& Poly(WORD function, const std::vector<POINTS>& points);
  WmfBuilder& PolyPolygon(const std::vector<std::vector<POINTS>>& polygons);
  WmfBuilder& TextOut(int x, int y, const std::string& text);
  WmfBuilder& ExtTextOut(int x, int y, const std::string& text, const std::vector<int>& dx = {},
                         int options = 0, RECTL clip = {});

  WmfBuilder& PatBlt(Area dest, DWORD rop);
  WmfBuilder& StretchDib(Area dest, const TestDib& dib, DWORD rop = SRCCOPY);
  WmfBuilder& DibBitBlt(Area dest, const TestDib& dib, DWORD rop = SRCCOPY);

  WmfBuilder& FillRegion(int region, int brush) { return Record(META_FILLREGION, {region, brush}); }
  WmfBuilder& PaintRegion(int region) { return Record(META_PAINTREGION, {region}); }
  WmfBuilder& FrameRegion(int region, int brush, int width, int height) {
    return Record(META_FRAMEREGION, {region, brush, height, width});
  }
  WmfBuilder& SelectClipRegion(int region) { return Record(META_SELECTCLIPREGION, {region}); }
  WmfBuilder& IntersectClipRect(RECTL clip) { return Box(META_INTERSECTCLIPRECT, clip, {}); }

  WmfBuilder& Escape(int function, const std::vector<BYTE>& data);
  WmfBuilder& Comment(const std::vector<BYTE>& data) { return Escape(MFCOMMENT, data); }
  // An enhanced metafile carried whole in "WMFC" comments of at most pieceSize bytes each.
  WmfBuilder& EmbedEmf(const std::vector<BYTE>& emf, std::size_t pieceSize);
  WmfBuilder& Eof() { return Record(META_EOF, {}); }

  // The metafile so far; the header's sizes are filled in.
  std::vector<BYTE> Bytes() const;

 private:
  WmfBuilder& Color(WORD function, COLORREF color);
  WmfBuilder& Box(WORD function, RECTL box, std::vector<WORD> before);

  std::vector<BYTE> records_;
  DWORD largest_ = 0;
  WORD objects_ = 32;
  bool placeable_ = false;
  RECTL frame_;
  WORD inch_ = 0;
};

// Words of a little-endian 32-bit value, low first.
inline std::vector<WORD> Words32(DWORD value) {
  return {static_cast<WORD>(value & 0xFFFF), static_cast<WORD>(value >> 16)};
}

}  // namespace vellora_test
