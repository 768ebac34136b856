// Realisation of a logical font: face, em size, stretch, simulated styles, character set.
#include "realized_font.h"

#include <cmath>
#include <cstdlib>

#include "font_codepage.h"
#include "qvplatform/font_mapper.h"
#include "qvplatform/handle_table.h"

namespace qvplatform::fonts {

namespace {

// Heights beyond this are clamped; metrics of such sizes no longer fit 32 bits anyway.
constexpr double kMaxPixels = 1 << 20;

// Character sets and their bits in OS/2 ulCodePageRange1.
struct CharsetBit {
  BYTE charset;
  int bit;
};
constexpr CharsetBit kCharsetBits[] = {
    {0, 0},   {238, 1},  {204, 2},  {161, 3},  {162, 4},  {177, 5},  {178, 6},  {186, 7},
    {163, 8}, {222, 16}, {128, 17}, {134, 18}, {129, 19}, {136, 20}, {130, 21},
};

bool Supports(const Os2Table& os2, BYTE charset) {
  if (!os2.hasCodePageRange) return true;  // the face does not tell
  for (const auto& cb : kCharsetBits)
    if (cb.charset == charset) return (os2.ulCodePageRange1 >> cb.bit) & 1;
  return false;
}

// Whether the face was matched for another face's name (a metric-compatible substitute).
bool StandsInForAnotherFace(const LOGFONTW& lf, const FontFace& face) {
  const WCHAR* name = lf.lfFaceName;
  std::size_t limit = LF_FACESIZE;
  if (name[0] == u'@') ++name, --limit;
  if (name[0] == 0) return false;
  const std::u16string& family = face.FamilyName();
  const auto lower = [](char16_t c) { return c >= u'A' && c <= u'Z' ? char16_t(c + 32) : c; };
  std::size_t i = 0;
  for (; i < limit && name[i] != 0; ++i) {
    if (i >= family.size() || lower(name[i]) != lower(family[i])) return true;
  }
  return i != family.size();
}

BYTE NaturalCharset(const Os2Table& os2) {
  if (!os2.hasCodePageRange || (os2.ulCodePageRange1 & 1)) return 0;
  for (const auto& cb : kCharsetBits)
    if ((os2.ulCodePageRange1 >> cb.bit) & 1) return cb.charset;
  return 0;
}

BYTE RealizedCharset(const FontFace& face, BYTE requested) {
  if (face.IsSymbol()) return 2;
  const Os2Table& os2 = face.Sfnt().Os2();
  switch (requested) {
    case 1:
    case 2:
    case 77:
    case 255:
      return NaturalCharset(os2);
  }
  return Supports(os2, requested) ? requested : NaturalCharset(os2);
}

}  // namespace

LONG RealizedFont::Round32Away(double v) {
  if (!std::isfinite(v)) return 0;
  if (v >= 2147483647.0) return 2147483647;
  if (v <= -2147483648.0) return -2147483647 - 1;
  return static_cast<LONG>(std::lround(v));
}

std::u16string RealizedFont::Widen(std::string_view bytes) const {
  return BytesToWide(codePage, bytes);
}

double RealizedFont::CellUnits() const {
  const SfntFace& sfnt = Sfnt();
  double cell = static_cast<double>(sfnt.Os2().usWinAscent) + sfnt.Os2().usWinDescent;
  if (cell <= 0) cell = static_cast<double>(sfnt.Hhea().ascender) - sfnt.Hhea().descender;
  if (cell <= 0) cell = sfnt.Head().unitsPerEm;
  return cell;
}

LONG RealizedFont::CellAscent() const {
  const SfntFace& sfnt = Sfnt();
  double ascent = sfnt.Os2().usWinAscent;
  if (static_cast<double>(sfnt.Os2().usWinAscent) + sfnt.Os2().usWinDescent <= 0)
    ascent = sfnt.Hhea().ascender;
  return Y(ascent);
}

// In 64 bits: a damaged face with a negative ascent must not overflow at huge sizes.
LONG RealizedFont::CellDescent() const {
  return ClampToInt32(std::int64_t{Y(CellUnits())} - CellAscent());
}

LONG RealizedFont::CellHeight() const {
  return ClampToInt32(std::int64_t{CellAscent()} + CellDescent());
}

std::shared_ptr<const RealizedFont> FontObject::Realized() const {
  std::call_once(once_, [this] { realized_ = Realize(*this); });
  return realized_;
}

std::shared_ptr<const RealizedFont> Realize(const FontObject& font) {
  auto r = std::make_shared<RealizedFont>();
  r->lf = font.lf;
  if (font.bound) {
    r->face = font.fixedFace;
    r->error = font.fixedError;
  } else {
    const FontMatch match = MatchFont(font.lf);
    if (!match.found)
      r->error = "no font matches the request";
    else
      r->face = CachedFontFace(match.path, match.index, &r->error);
  }
  if (!r->face) return r;

  const SfntFace& sfnt = r->face->Sfnt();
  const double upem = sfnt.Head().unitsPerEm;
  const double cell = r->CellUnits();

  // lfHeight: negative = em size, positive = cell height, 0 = the default cell height.
  double height = font.lf.lfHeight == 0 ? kDefaultCellHeight : std::abs(double(font.lf.lfHeight));
  if (height > kMaxPixels) height = kMaxPixels;
  r->em = font.lf.lfHeight < 0 ? height : height * upem / cell;
  r->yScale = r->em / upem;
  r->xScale = r->yScale;
  // A substitute's own average follows its table's definition, which may differ from the
  // one the requested face carries; the letter-weighted average gives the requested face's
  // value when the substitute shares its widths. Widths in lfWidth are relative to it.
  r->averageWidth = r->face->AverageWidth();
  if (StandsInForAnotherFace(font.lf, *r->face) && r->face->LowercaseAverageWidth() > 0)
    r->averageWidth = r->face->LowercaseAverageWidth();
  const double width = std::min(std::abs(double(font.lf.lfWidth)), kMaxPixels);
  if (width > 0 && r->averageWidth > 0) r->xScale = width / r->averageWidth;

  const LONG weight = font.lf.lfWeight;
  r->simulateBold = weight >= 600 && r->face->Weight() < 600;
  r->simulateItalic = font.lf.lfItalic && !r->face->IsItalic();
  r->charset = RealizedCharset(*r->face, font.lf.lfCharSet);
  r->codePage = FontCodePage(r->charset);
  return r;
}

std::shared_ptr<const FontObject> FindFont(HFONT font) {
  return HandleTable::Instance().Get<const FontObject>(font, HandleKind::kFont);
}

}  // namespace qvplatform::fonts
