#include "wmf_builder.h"

#include <algorithm>

namespace vellora_test {
namespace {

void PutWord(std::vector<BYTE>& out, WORD w) {
  out.push_back(static_cast<BYTE>(w & 0xFF));
  out.push_back(static_cast<BYTE>(w >> 8));
}
void PutDword(std::vector<BYTE>& out, DWORD d) {
  PutWord(out, static_cast<WORD>(d & 0xFFFF));
  PutWord(out, static_cast<WORD>(d >> 16));
}
WORD W(int v) { return static_cast<WORD>(static_cast<std::int16_t>(v)); }

// Bytes as words, the last one padded with a zero.
void PutBytes(std::vector<WORD>& out, const std::vector<BYTE>& bytes) {
  for (std::size_t i = 0; i < bytes.size(); i += 2) {
    const BYTE hi = i + 1 < bytes.size() ? bytes[i + 1] : 0;
    out.push_back(static_cast<WORD>(bytes[i] | (hi << 8)));
  }
}

}  // namespace

WmfBuilder& WmfBuilder::SetObjects(WORD slots) {
  objects_ = slots;
  return *this;
}

WmfBuilder& WmfBuilder::SetPlaceable(RECTL frame, WORD inch) {
  placeable_ = true;
  frame_ = frame;
  inch_ = inch;
  return *this;
}

WmfBuilder& WmfBuilder::Record(WORD function, const std::vector<WORD>& params) {
  const DWORD words = static_cast<DWORD>(3 + params.size());
  largest_ = std::max(largest_, words);
  PutDword(records_, words);
  PutWord(records_, function);
  for (WORD w : params) PutWord(records_, w);
  return *this;
}

WmfBuilder& WmfBuilder::Record(WORD function, std::initializer_list<int> params) {
  std::vector<WORD> words;
  for (int p : params) words.push_back(W(p));
  return Record(function, words);
}

WmfBuilder& WmfBuilder::AppendBytes(const std::vector<BYTE>& bytes) {
  records_.insert(records_.end(), bytes.begin(), bytes.end());
  return *this;
}

WmfBuilder& WmfBuilder::Color(WORD function, COLORREF color) {
  return Record(function, Words32(color));
}

WmfBuilder& WmfBuilder::Box(WORD function, RECTL box, std::vector<WORD> before) {
  for (LONG v : {box.bottom, box.right, box.top, box.left}) before.push_back(W(v));
  return Record(function, before);
}

WmfBuilder& WmfBuilder::RoundRect(RECTL box, int width, int height) {
  return Box(META_ROUNDRECT, box, {W(height), W(width)});
}

WmfBuilder& WmfBuilder::CreatePen(int style, int width, COLORREF color) {
  std::vector<WORD> p{W(style), W(width), 0};
  for (WORD w : Words32(color)) p.push_back(w);
  return Record(META_CREATEPENINDIRECT, p);
}

WmfBuilder& WmfBuilder::CreateBrush(int style, COLORREF color, int hatch) {
  std::vector<WORD> p{W(style)};
  for (WORD w : Words32(color)) p.push_back(w);
  p.push_back(W(hatch));
  return Record(META_CREATEBRUSHINDIRECT, p);
}

WmfBuilder& WmfBuilder::CreateFont(const std::string& face, int height, int weight) {
  std::vector<WORD> p{W(height), 0, 0, 0, W(weight), 0, 0, 0, 0};
  std::vector<BYTE> name(face.begin(), face.end());
  name.resize(32, 0);
  PutBytes(p, name);
  return Record(META_CREATEFONTINDIRECT, p);
}

WmfBuilder& WmfBuilder::CreatePalette(const std::vector<PALETTEENTRY>& entries) {
  std::vector<WORD> p{0x300, W(static_cast<int>(entries.size()))};
  for (const PALETTEENTRY& e : entries) {
    p.push_back(static_cast<WORD>(e.peRed | (e.peGreen << 8)));
    p.push_back(static_cast<WORD>(e.peBlue | (e.peFlags << 8)));
  }
  return Record(META_CREATEPALETTE, p);
}

WmfBuilder& WmfBuilder::CreateRegion(const std::vector<RECTL>& rects) {
  RECTL box = rects.empty() ? RECTL{} : rects.front();
  for (const RECTL& r : rects)
    box = {std::min(box.left, r.left), std::min(box.top, r.top), std::max(box.right, r.right),
           std::max(box.bottom, r.bottom)};
  const int scans = static_cast<int>(rects.size());
  std::vector<WORD> p{0, 6, 0, 0, W(22 + 16 * scans), W(scans), 2};
  for (LONG v : {box.left, box.top, box.right, box.bottom}) p.push_back(W(v));
  for (const RECTL& r : rects) {
    for (LONG v : {LONG{2}, r.top, r.bottom, r.left, r.right, LONG{2}}) p.push_back(W(v));
  }
  return Record(META_CREATEREGION, p);
}

WmfBuilder& WmfBuilder::CreateDibPatternBrush(const TestDib& dib) {
  std::vector<WORD> p{5, 0};  // BS_DIBPATTERN, DIB_RGB_COLORS
  std::vector<BYTE> packed = dib.InfoBytes();
  const std::vector<BYTE> pixels = dib.PixelBytes();
  packed.insert(packed.end(), pixels.begin(), pixels.end());
  PutBytes(p, packed);
  return Record(META_DIBCREATEPATTERNBRUSH, p);
}

WmfBuilder& WmfBuilder::ArcFamily(WORD function, RECTL box, POINTL start, POINTL end) {
  return Box(function, box, {W(end.y), W(end.x), W(start.y), W(start.x)});
}

WmfBuilder& WmfBuilder::SetPixel(int x, int y, COLORREF color) {
  std::vector<WORD> p = Words32(color);
  p.push_back(W(y));
  p.push_back(W(x));
  return Record(META_SETPIXEL, p);
}

WmfBuilder& WmfBuilder::Poly(WORD function, const std::vector<POINTS>& points) {
  std::vector<WORD> p{W(static_cast<int>(points.size()))};
  for (const POINTS& pt : points) {
    p.push_back(W(pt.x));
    p.push_back(W(pt.y));
  }
  return Record(function, p);
}

WmfBuilder& WmfBuilder::PolyPolygon(const std::vector<std::vector<POINTS>>& polygons) {
  std::vector<WORD> p{W(static_cast<int>(polygons.size()))};
  for (const auto& poly : polygons) p.push_back(W(static_cast<int>(poly.size())));
  for (const auto& poly : polygons) {
    for (const POINTS& pt : poly) {
      p.push_back(W(pt.x));
      p.push_back(W(pt.y));
    }
  }
  return Record(META_POLYPOLYGON, p);
}

WmfBuilder& WmfBuilder::TextOut(int x, int y, const std::string& text) {
  std::vector<WORD> p{W(static_cast<int>(text.size()))};
  PutBytes(p, std::vector<BYTE>(text.begin(), text.end()));
  p.push_back(W(y));
  p.push_back(W(x));
  return Record(META_TEXTOUT, p);
}

WmfBuilder& WmfBuilder::ExtTextOut(int x, int y, const std::string& text,
                                   const std::vector<int>& dx, int options, RECTL clip) {
  std::vector<WORD> p{W(y), W(x), W(static_cast<int>(text.size())), W(options)};
  if (static_cast<UINT>(options) & (ETO_OPAQUE | ETO_CLIPPED)) {
    for (LONG v : {clip.left, clip.top, clip.right, clip.bottom}) p.push_back(W(v));
  }
  PutBytes(p, std::vector<BYTE>(text.begin(), text.end()));
  for (int d : dx) p.push_back(W(d));
  return Record(META_EXTTEXTOUT, p);
}

WmfBuilder& WmfBuilder::PatBlt(Area dest, DWORD rop) {
  std::vector<WORD> p = Words32(rop);
  for (LONG v : {dest.cy, dest.cx, dest.y, dest.x}) p.push_back(W(v));
  return Record(META_PATBLT, p);
}

WmfBuilder& WmfBuilder::StretchDib(Area dest, const TestDib& dib, DWORD rop) {
  const LONG h = dib.height < 0 ? -dib.height : dib.height;
  std::vector<WORD> p = Words32(rop);
  p.push_back(0);  // DIB_RGB_COLORS
  for (LONG v : {h, dib.width, LONG{0}, LONG{0}, dest.cy, dest.cx, dest.y, dest.x})
    p.push_back(W(v));
  std::vector<BYTE> packed = dib.InfoBytes();
  const std::vector<BYTE> pixels = dib.PixelBytes();
  packed.insert(packed.end(), pixels.begin(), pixels.end());
  PutBytes(p, packed);
  return Record(META_STRETCHDIB, p);
}

WmfBuilder& WmfBuilder::DibBitBlt(Area dest, const TestDib& dib, DWORD rop) {
  std::vector<WORD> p = Words32(rop);
  for (LONG v : {LONG{0}, LONG{0}, dest.cy, dest.cx, dest.y, dest.x}) p.push_back(W(v));
  std::vector<BYTE> packed = dib.InfoBytes();
  const std::vector<BYTE> pixels = dib.PixelBytes();
  packed.insert(packed.end(), pixels.begin(), pixels.end());
  PutBytes(p, packed);
  return Record(META_DIBBITBLT, p);
}

WmfBuilder& WmfBuilder::Escape(int function, const std::vector<BYTE>& data) {
  std::vector<WORD> p{W(function), W(static_cast<int>(data.size()))};
  PutBytes(p, data);
  return Record(META_ESCAPE, p);
}

WmfBuilder& WmfBuilder::EmbedEmf(const std::vector<BYTE>& emf, std::size_t pieceSize) {
  const std::size_t pieces = (emf.size() + pieceSize - 1) / pieceSize;
  for (std::size_t i = 0, at = 0; i < pieces; ++i, at += pieceSize) {
    const std::size_t n = std::min(pieceSize, emf.size() - at);
    std::vector<BYTE> c;
    PutDword(c, kWmfEmbeddedEmfKey);
    PutDword(c, 1);        // comment type: enhanced metafile
    PutDword(c, 0x10000);  // version
    PutWord(c, 0);         // checksum (not checked by readers)
    PutDword(c, 0);        // flags
    PutDword(c, static_cast<DWORD>(pieces));
    PutDword(c, static_cast<DWORD>(n));
    PutDword(c, static_cast<DWORD>(emf.size() - at - n));
    PutDword(c, static_cast<DWORD>(emf.size()));
    c.insert(c.end(), emf.begin() + static_cast<std::ptrdiff_t>(at),
             emf.begin() + static_cast<std::ptrdiff_t>(at + n));
    Comment(c);
  }
  return *this;
}

std::vector<BYTE> WmfBuilder::Bytes() const {
  std::vector<BYTE> out;
  if (placeable_) {
    PutDword(out, kWmfPlaceableKey);
    PutWord(out, 0);  // handle
    for (LONG v : {frame_.left, frame_.top, frame_.right, frame_.bottom}) PutWord(out, W(v));
    PutWord(out, inch_);
    PutDword(out, 0);  // reserved
    WORD sum = 0;
    for (std::size_t i = 0; i + 1 < out.size(); i += 2)
      sum = static_cast<WORD>(sum ^ (out[i] | (out[i + 1] << 8)));
    PutWord(out, sum);
  }
  PutWord(out, 1);  // in memory
  PutWord(out, 9);  // header words
  PutWord(out, 0x0300);
  PutDword(out, static_cast<DWORD>((18 + records_.size()) / 2));
  PutWord(out, objects_);
  PutDword(out, largest_);
  PutWord(out, 0);
  out.insert(out.end(), records_.begin(), records_.end());
  return out;
}

}  // namespace vellora_test
