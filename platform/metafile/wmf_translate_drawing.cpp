// Lines, shapes, pixels, flood fills and text.
#include <cstring>

#include "qvplatform/text_out_options.h"
#include "wmf_translator_impl.h"

namespace qvplatform {
namespace metafile {
namespace {

constexpr RECTL kNoBounds{0, 0, -1, -1};
constexpr DWORD kCompatibleGraphics = 1;
constexpr DWORD kFloodBorder = 0;

struct EMREXTFLOODFILL {
  EMR emr;
  POINTL ptlStart;
  COLORREF crColor = 0;
  DWORD iMode = 0;
};

template <class T>
void Put(std::vector<BYTE>& out, std::size_t at, const T& value) {
  std::memcpy(out.data() + at, &value, sizeof value);
}

}  // namespace

void WmfTranslator::MoveTo(const WmfParams& p) { EmitPoint(EMR_MOVETOEX, p.Short(1), p.Short(0)); }
void WmfTranslator::LineTo(const WmfParams& p) { EmitPoint(EMR_LINETO, p.Short(1), p.Short(0)); }
void WmfTranslator::Rectangle(const WmfParams& p) { EmitRect(EMR_RECTANGLE, ReversedRect(p, 0)); }
void WmfTranslator::Ellipse(const WmfParams& p) { EmitRect(EMR_ELLIPSE, ReversedRect(p, 0)); }

void WmfTranslator::RoundRect(const WmfParams& p) {
  Emit(EMR_ROUNDRECT, EMRROUNDRECT{{}, ReversedRect(p, 2), SIZEL{p.Short(1), p.Short(0)}});
}

// Arc, pie and chord: end y, end x, start y, start x, then the box.
void WmfTranslator::Arc(const WmfParams& p) {
  Emit(EMR_ARC, EMRARC{{}, ReversedRect(p, 4), {p.Short(3), p.Short(2)}, {p.Short(1), p.Short(0)}});
}
void WmfTranslator::Pie(const WmfParams& p) {
  Emit(EMR_PIE, EMRPIE{{}, ReversedRect(p, 4), {p.Short(3), p.Short(2)}, {p.Short(1), p.Short(0)}});
}
void WmfTranslator::Chord(const WmfParams& p) {
  Emit(EMR_CHORD,
       EMRCHORD{{}, ReversedRect(p, 4), {p.Short(3), p.Short(2)}, {p.Short(1), p.Short(0)}});
}

void WmfTranslator::SetPixel(const WmfParams& p) {
  Emit(EMR_SETPIXELV, EMRSETPIXELV{{}, POINTL{p.Short(3), p.Short(2)}, p.Dword(0)});
}

void WmfTranslator::FloodFill(const WmfParams& p) {
  Emit(EMR_EXTFLOODFILL,
       EMREXTFLOODFILL{{}, POINTL{p.Short(3), p.Short(2)}, p.Dword(0), kFloodBorder});
}
void WmfTranslator::ExtFloodFill(const WmfParams& p) {
  Emit(EMR_EXTFLOODFILL,
       EMREXTFLOODFILL{{}, POINTL{p.Short(4), p.Short(3)}, p.Dword(1), p.Word(0)});
}

// The points of the old records are the 16-bit points of the enhanced ones, byte for byte.
void WmfTranslator::Polygon(const WmfParams& p) {
  const std::span<const BYTE> points = p.Bytes(1, std::uint64_t{p.Word(0)} * 4);
  if (points.size() != std::size_t{p.Word(0)} * 4) return Damage("a point count past the record");
  Emit(EMR_POLYGON16, EMRPOLYLINE16{{}, kNoBounds, p.Word(0)}, points.data(), points.size());
}
void WmfTranslator::Polyline(const WmfParams& p) {
  const std::span<const BYTE> points = p.Bytes(1, std::uint64_t{p.Word(0)} * 4);
  if (points.size() != std::size_t{p.Word(0)} * 4) return Damage("a point count past the record");
  Emit(EMR_POLYLINE16, EMRPOLYLINE16{{}, kNoBounds, p.Word(0)}, points.data(), points.size());
}

void WmfTranslator::PolyPolygon(const WmfParams& p) {
  const std::size_t polygons = p.Word(0);
  if (!p.Has(1 + polygons)) return Damage("a polygon count past the record");
  std::uint64_t total = 0;
  for (std::size_t i = 0; i < polygons; ++i) total += p.Word(1 + i);
  const std::span<const BYTE> points = p.Bytes(1 + polygons, total * 4);
  if (points.size() != total * 4) return Damage("a point count past the record");
  tail_.resize(polygons * 4 + points.size());
  for (std::size_t i = 0; i < polygons; ++i) Put(tail_, i * 4, DWORD{p.Word(1 + i)});
  if (!points.empty()) std::memcpy(tail_.data() + polygons * 4, points.data(), points.size());
  Emit(EMR_POLYPOLYGON16,
       EMRPOLYPOLYLINE16{{}, kNoBounds, static_cast<DWORD>(polygons), static_cast<DWORD>(total)},
       tail_.data(), tail_.size());
}

// ---- Text ----

// Text as an 8-bit EMR_EXTTEXTOUTA: the string in the font's character set, the advances of
// the record (when it has them) widened to 32 bits with the character extra added.
void WmfTranslator::Text(LONG x, LONG y, std::span<const BYTE> text, DWORD options,
                         const RECTL& clip, const WmfParams* dx, std::size_t dxWord) {
  const std::size_t count = text.size();
  const bool advances = dx != nullptr && dx->Has(dxWord + count) && count != 0;
  const std::size_t stringBytes = (count + 3) / 4 * 4;
  tail_.assign(stringBytes + (advances ? count * 4 : 0), 0);
  if (count != 0) std::memcpy(tail_.data(), text.data(), count);
  if (advances) {
    for (std::size_t i = 0; i < count; ++i)
      Put(tail_, stringBytes + i * 4, INT{dx->Short(dxWord + i) + state_.charExtra});
  }
  EMREXTTEXTOUTA f;
  f.rclBounds = kNoBounds;
  f.iGraphicsMode = kCompatibleGraphics;
  f.emrtext.ptlReference = {x, y};
  f.emrtext.nChars = static_cast<DWORD>(count);
  f.emrtext.offString = sizeof f;
  f.emrtext.fOptions = options;
  f.emrtext.rcl = clip;
  f.emrtext.offDx = advances ? static_cast<DWORD>(sizeof f + stringBytes) : 0;
  Emit(EMR_EXTTEXTOUTA, f, tail_.data(), tail_.size());
}

// Length, the string padded to whole words, then y and x.
void WmfTranslator::TextOut(const WmfParams& p) {
  const std::size_t count = p.Word(0);
  const std::size_t words = (count + 1) / 2;
  const std::span<const BYTE> text = p.Bytes(1, count);
  if (text.size() != count || !p.Has(1 + words + 2)) return Damage("a text length past the record");
  Text(p.Short(2 + words), p.Short(1 + words), text, 0, RECTL{}, nullptr, 0);
}

// y, x, length, options, the rectangle when the options use one, the string padded to whole
// words, then (optionally) one advance per character.
void WmfTranslator::ExtTextOut(const WmfParams& p) {
  if (!p.Has(4)) return Damage("a text record without its head");
  const std::size_t count = p.Word(2);
  const DWORD options = p.Word(3);
  RECTL clip{};
  std::size_t at = 4;
  if (options & (ETO_OPAQUE | ETO_CLIPPED)) {
    if (!p.Has(8)) return Damage("a text rectangle past the record");
    clip = {p.Short(4), p.Short(5), p.Short(6), p.Short(7)};
    at = 8;
  }
  const std::span<const BYTE> text = p.Bytes(at, count);
  if (text.size() != count) return Damage("a text length past the record");
  Text(p.Short(1), p.Short(0), text, options & ~DWORD{ETO_PDY}, clip, &p, at + (count + 1) / 2);
}

}  // namespace metafile
}  // namespace qvplatform
