// Writes the sample enhanced metafile that the README's main job converts (examples/sample.emf):
// shapes, a polyline, filled polygons in colours, a dashed pen, a clip, a gradient and text in
// Arial. Records are written one by one in the platform's record layouts; the text advances
// come from the platform's font service, as a recording device context stores them.
//
// Usage: make_sample_emf OUT.emf
#include <algorithm>
#include <cstdio>
#include <cstring>
#include <string>
#include <vector>

#include "qvplatform/device_context.h"
#include "qvplatform/emf_records.h"
#include "qvplatform/emf_writer.h"
#include "qvplatform/font_service.h"
#include "qvplatform/text_measure.h"

namespace {

using namespace qvplatform;

// Pen, brush and background values of the records (their Windows values).
constexpr UINT kPenSolid = 0;
constexpr DWORD kPenDash = 1;
constexpr DWORD kPenGeometric = 0x00010000;
constexpr DWORD kPenFlatCap = 0x00000200;
constexpr UINT kBrushSolid = 0;
constexpr DWORD kStockNullBrush = ENHMETA_STOCK_OBJECT | 5;
constexpr DWORD kTransparent = 1;
constexpr DWORD kWinding = 2;

// The picture: 600 x 400 pixels of a 96 dpi screen.
constexpr LONG kWidth = 600;
constexpr LONG kHeight = 400;

// The records through the platform's record writer, and the header in front of them.
class EmfWriter {
 public:
  // A record from its fixed part (whose emr head is filled in) and the bytes after it.
  template <class T>
  void Add(DWORD type, T fixed, const std::vector<BYTE>& tail = {}) {
    records_.AppendFixed(type, fixed, tail.data(), tail.size());
  }

  void Handles(WORD count) { handles_ = count; }

  // The header in front of the records, with the counts filled in.
  std::vector<BYTE> Finish() const {
    const std::u16string description =
        u"vellora" + std::u16string(1, u'\0') + u"sample" + std::u16string(2, u'\0');
    ENHMETAHEADER h;
    h.iType = EMR_HEADER;
    h.nSize = EmfHeaderRecordSize(kEmfHeaderExtension2Size, description.size());
    h.rclBounds = {0, 0, kWidth - 1, kHeight - 1};
    h.rclFrame = {0, 0, (kWidth - 1) * 2540 / 96, (kHeight - 1) * 2540 / 96};  // 0.01 mm
    h.dSignature = ENHMETA_SIGNATURE;
    h.nVersion = 0x10000;
    h.nBytes = static_cast<DWORD>(h.nSize + records_.Body().size());
    h.nRecords = records_.RecordCount() + 1;
    h.nHandles = handles_;
    h.szlDevice = {1920, 1080};
    h.szlMillimeters = {508, 286};
    h.szlMicrometers = {508000, 285750};
    std::vector<BYTE> out = EmfHeaderRecord(h, kEmfHeaderExtension2Size, description);
    out.insert(out.end(), records_.Body().begin(), records_.Body().end());
    return out;
  }

 private:
  EmfRecordWriter records_;
  WORD handles_ = 1;
};

template <class T>
void Append(std::vector<BYTE>& out, const T& value) {
  const auto* p = reinterpret_cast<const BYTE*>(&value);
  out.insert(out.end(), p, p + sizeof(T));
}

template <class T>
std::vector<BYTE> Bytes(const std::vector<T>& values) {
  std::vector<BYTE> out;
  for (const T& v : values) Append(out, v);
  return out;
}

RECTL Bounds(const std::vector<POINTS>& points) {
  RECTL r{points[0].x, points[0].y, points[0].x, points[0].y};
  for (const POINTS& p : points) {
    r.left = std::min<LONG>(r.left, p.x);
    r.top = std::min<LONG>(r.top, p.y);
    r.right = std::max<LONG>(r.right, p.x);
    r.bottom = std::max<LONG>(r.bottom, p.y);
  }
  return r;
}

LOGFONTW Arial(LONG height, LONG weight) {
  LOGFONTW lf;
  lf.lfHeight = height;
  lf.lfWeight = weight;
  lf.lfCharSet = ANSI_CHARSET;
  lf.lfOutPrecision = OUT_TT_PRECIS;
  lf.lfQuality = PROOF_QUALITY;
  const std::u16string face = u"Arial";
  std::memcpy(lf.lfFaceName, face.data(), face.size() * 2);
  return lf;
}

void SelectObjectRecord(EmfWriter& w, DWORD handle) {
  EMRSELECTOBJECT r;
  r.ihObject = handle;
  w.Add(EMR_SELECTOBJECT, r);
}

void DeleteObjectRecord(EmfWriter& w, DWORD handle) {
  EMRDELETEOBJECT r;
  r.ihObject = handle;
  w.Add(EMR_DELETEOBJECT, r);
}

void Pen(EmfWriter& w, DWORD handle, LONG width, COLORREF color) {
  EMRCREATEPEN r;
  r.ihPen = handle;
  r.lopn.lopnStyle = kPenSolid;
  r.lopn.lopnWidth = {width, 0};
  r.lopn.lopnColor = color;
  w.Add(EMR_CREATEPEN, r);
}

void Brush(EmfWriter& w, DWORD handle, COLORREF color) {
  EMRCREATEBRUSHINDIRECT r;
  r.ihBrush = handle;
  r.lb.lbStyle = kBrushSolid;
  r.lb.lbColor = color;
  w.Add(EMR_CREATEBRUSHINDIRECT, r);
}

void Box(EmfWriter& w, DWORD type, RECTL box) {
  EMRRECTANGLE r;
  r.rclBox = box;
  w.Add(type, r);
}

void Poly16(EmfWriter& w, DWORD type, const std::vector<POINTS>& points) {
  EMRPOLYLINE16 r;
  r.rclBounds = Bounds(points);
  r.cpts = static_cast<DWORD>(points.size());
  w.Add(type, r, Bytes(points));
}

// Text at (x, y) (top-left alignment) with the advances of the font selected into dc.
void Text(EmfWriter& w, HDC dc, LONG x, LONG y, const std::u16string& text) {
  std::vector<INT> dx(text.size());
  SIZE extent{};
  for (std::size_t i = 0; i < text.size(); ++i) {
    INT width = 0;
    GetCharWidth32W(dc, text[i], text[i], &width);
    dx[i] = width;
  }
  GetTextExtentPoint32W(dc, reinterpret_cast<const WCHAR*>(text.data()),
                        static_cast<int>(text.size()), &extent);
  std::vector<BYTE> tail;
  for (char16_t c : text) Append(tail, c);
  while (tail.size() % 4 != 0) tail.push_back(0);
  const std::size_t dxOffset = sizeof(EMREXTTEXTOUTW) + tail.size();
  for (INT d : dx) Append(tail, d);

  EMREXTTEXTOUTW r;
  r.rclBounds = {x, y, x + extent.cx, y + extent.cy};
  r.iGraphicsMode = 1;  // GM_COMPATIBLE
  r.exScale = r.eyScale = 1.0f;
  r.emrtext.ptlReference = {x, y};
  r.emrtext.nChars = static_cast<DWORD>(text.size());
  r.emrtext.offString = sizeof(EMREXTTEXTOUTW);
  r.emrtext.rcl = {0, 0, -1, -1};
  r.emrtext.offDx = static_cast<DWORD>(dxOffset);
  w.Add(EMR_EXTTEXTOUTW, r, tail);
}

std::vector<BYTE> MakeSample() {
  EmfWriter w;
  HDC dc = GetDC(0);

  EMRSETMAPMODE bkMode;
  bkMode.iMode = kTransparent;
  w.Add(EMR_SETBKMODE, bkMode);

  // A horizontal gradient band behind the title.
  {
    std::vector<BYTE> tail;
    TRIVERTEX from{0, 0, 0x2000, 0x6000, 0xC000, 0};
    TRIVERTEX to{kWidth, 80, 0xFF00, 0xFF00, 0xFF00, 0};
    Append(tail, from);
    Append(tail, to);
    Append(tail, GRADIENT_RECT{0, 1});
    EMRGRADIENTFILL r;
    r.rclBounds = {0, 0, kWidth - 1, 79};
    r.nVer = 2;
    r.nTri = 1;
    r.ulMode = GRADIENT_FILL_RECT_H;
    w.Add(EMR_GRADIENTFILL, r, tail);
  }

  // Title in bold Arial.
  const LOGFONTW titleFont = Arial(-32, FW_BOLD);
  EMREXTCREATEFONTINDIRECTW font;
  font.ihFont = 1;
  font.elfw = titleFont;
  w.Add(EMR_EXTCREATEFONTINDIRECTW, font);
  SelectObjectRecord(w, 1);
  EMRSETTEXTCOLOR color;
  color.crColor = RGB(255, 255, 255);
  w.Add(EMR_SETTEXTCOLOR, color);
  HFONT title = CreateFontIndirectW(&titleFont);
  HGDIOBJ old = SelectObject(dc, title);
  Text(w, dc, 24, 20, u"vellora sample");

  // Three shapes with a black outline.
  Pen(w, 2, 2, RGB(0, 0, 0));
  SelectObjectRecord(w, 2);
  Brush(w, 3, RGB(255, 221, 0));
  SelectObjectRecord(w, 3);
  Box(w, EMR_RECTANGLE, {30, 100, 180, 200});
  Brush(w, 4, RGB(255, 128, 0));
  SelectObjectRecord(w, 4);
  Box(w, EMR_ELLIPSE, {220, 100, 380, 200});
  Brush(w, 5, RGB(40, 170, 80));
  SelectObjectRecord(w, 5);
  {
    EMRROUNDRECT r;
    r.rclBox = {420, 100, 570, 200};
    r.szlCorner = {40, 40};
    w.Add(EMR_ROUNDRECT, r);
  }

  // Filled polygons: a red triangle and a blue star filled by the winding rule.
  Brush(w, 6, RGB(220, 30, 40));
  SelectObjectRecord(w, 6);
  Poly16(w, EMR_POLYGON16, {{40, 320}, {110, 220}, {180, 320}});
  EMRSETMAPMODE fill;
  fill.iMode = kWinding;
  w.Add(EMR_SETPOLYFILLMODE, fill);
  Brush(w, 7, RGB(40, 80, 220));
  SelectObjectRecord(w, 7);
  Poly16(w, EMR_POLYGON16, {{280, 220}, {305, 315}, {225, 255}, {335, 255}, {255, 315}});

  // A polyline in a thick purple pen.
  Pen(w, 8, 4, RGB(140, 40, 160));
  SelectObjectRecord(w, 8);
  Poly16(w, EMR_POLYLINE16, {{360, 310}, {385, 230}, {410, 310}, {435, 230}, {460, 310}});

  // A circle cut by a clip rectangle: its right part is clipped away.
  w.Add(EMR_SAVEDC, EMRSAVEDC{});
  {
    EMRINTERSECTCLIPRECT clip;
    clip.rclClip = {470, 215, 545, 325};
    w.Add(EMR_INTERSECTCLIPRECT, clip);
  }
  Brush(w, 9, RGB(0, 190, 200));
  SelectObjectRecord(w, 9);
  SelectObjectRecord(w, 2);
  Box(w, EMR_ELLIPSE, {470, 220, 570, 320});
  {
    EMRRESTOREDC restore;
    restore.iRelative = -1;
    w.Add(EMR_RESTOREDC, restore);
  }

  // A dashed frame around the drawing, not filled.
  {
    EMREXTCREATEPEN pen;
    pen.ihPen = 10;
    pen.offBmi = pen.offBits = sizeof(EMREXTCREATEPEN);
    pen.elp.elpPenStyle = kPenGeometric | kPenDash | kPenFlatCap;
    pen.elp.elpWidth = 2;
    pen.elp.elpBrushStyle = kBrushSolid;
    pen.elp.elpColor = RGB(90, 90, 90);
    w.Add(EMR_EXTCREATEPEN, pen);
  }
  SelectObjectRecord(w, 10);
  SelectObjectRecord(w, kStockNullBrush);
  Box(w, EMR_RECTANGLE, {12, 90, kWidth - 12, 335});

  // Two lines of body text.
  const LOGFONTW bodyFont = Arial(-16, FW_NORMAL);
  font.ihFont = 11;
  font.elfw = bodyFont;
  w.Add(EMR_EXTCREATEFONTINDIRECTW, font);
  SelectObjectRecord(w, 11);
  color.crColor = RGB(30, 30, 30);
  w.Add(EMR_SETTEXTCOLOR, color);
  HFONT body = CreateFontIndirectW(&bodyFont);
  SelectObject(dc, body);
  Text(w, dc, 24, 348, u"Shapes, filled polygons, a polyline, a clipped circle,");
  Text(w, dc, 24, 370, u"a dashed frame, a gradient and text in Arial.");

  for (DWORD h = 1; h <= 11; ++h) DeleteObjectRecord(w, h);
  w.Handles(12);
  {
    // No palette; the record ends with its own size (nSizeLast).
    EMREOF eof;
    eof.offPalEntries = sizeof(EMREOF);
    std::vector<BYTE> sizeLast;
    Append(sizeLast, static_cast<DWORD>(sizeof(EMREOF) + sizeof(DWORD)));
    w.Add(EMR_EOF, eof, sizeLast);
  }

  SelectObject(dc, old);
  DeleteObject(title);
  DeleteObject(body);
  ReleaseDC(0, dc);
  return w.Finish();
}

}  // namespace

int main(int argc, char** argv) {
  if (argc != 2) {
    std::fprintf(stderr, "usage: %s OUT.emf\n", argv[0]);
    return 2;
  }
  const std::vector<BYTE> emf = MakeSample();
  std::FILE* out = std::fopen(argv[1], "wb");
  if (out == nullptr) {
    std::perror(argv[1]);
    return 1;
  }
  const bool written = std::fwrite(emf.data(), 1, emf.size(), out) == emf.size();
  if (std::fclose(out) != 0 || !written) {
    std::perror(argv[1]);
    return 1;
  }
  return 0;
}
