// GetTextMetrics, GetOutlineTextMetrics, GetTextFace from the face's own tables.
#include "qvplatform/text_metrics.h"

#include <algorithm>
#include <cmath>
#include <cstring>
#include <string>

#include "font_codepage.h"
#include "realized_font.h"

namespace qvplatform {

using fonts::RealizedFont;

namespace {

BYTE FamilyOf(const FontFace& face) {
  if (face.IsFixedPitch()) return FF_MODERN;
  const Os2Table& os2 = face.Sfnt().Os2();
  switch (os2.sFamilyClass >> 8) {
    case 1:
    case 2:
    case 3:
    case 4:
    case 5:
    case 7:
      return FF_ROMAN;
    case 8:
      return FF_SWISS;
    case 10:
      return FF_SCRIPT;
    case 9:
    case 12:
      return FF_DECORATIVE;
  }
  switch (os2.panose[0]) {
    case 2:
      return os2.panose[1] >= 11 && os2.panose[1] <= 13 ? FF_SWISS : FF_ROMAN;
    case 3:
      return FF_SCRIPT;
    case 4:
    case 5:
      return FF_DECORATIVE;
  }
  return FF_DONTCARE;
}

void FillW(const RealizedFont& f, TEXTMETRICW* tm) {
  const SfntFace& s = f.Sfnt();
  const Os2Table& os2 = s.Os2();
  const HheaTable& hhea = s.Hhea();
  *tm = TEXTMETRICW{};
  tm->tmAscent = f.CellAscent();
  tm->tmDescent = f.CellDescent();
  tm->tmHeight = f.CellHeight();
  tm->tmInternalLeading =
      ClampToInt32(std::int64_t{tm->tmHeight} - RealizedFont::Round32Away(f.em));
  // What hhea's line gap adds beyond what the win values already cover.
  const double hheaHeight = static_cast<double>(hhea.ascender) - hhea.descender;
  const double external = hhea.lineGap - (f.CellUnits() - hheaHeight);
  tm->tmExternalLeading = external > 0 ? f.Y(external) : 0;
  tm->tmAveCharWidth = f.X(f.averageWidth);
  tm->tmMaxCharWidth = f.X(hhea.advanceWidthMax);
  tm->tmWeight = f.face->Weight();
  if (f.simulateBold && tm->tmWeight < FW_BOLD) tm->tmWeight = FW_BOLD;
  tm->tmFirstChar = os2.usFirstCharIndex;
  tm->tmLastChar = os2.usLastCharIndex;
  tm->tmDefaultChar = os2.version >= 2 ? os2.usDefaultChar : 0;
  tm->tmBreakChar = os2.version >= 2 ? os2.usBreakChar : 0x20;
  tm->tmItalic = f.face->IsItalic() || f.simulateItalic ? 255 : 0;
  tm->tmUnderlined = f.lf.lfUnderline ? 255 : 0;
  tm->tmStruckOut = f.lf.lfStrikeOut ? 255 : 0;
  tm->tmPitchAndFamily = static_cast<BYTE>(FamilyOf(*f.face) | TMPF_VECTOR |
                                           (s.HasTrueTypeOutlines() ? TMPF_TRUETYPE : 0) |
                                           (f.face->IsFixedPitch() ? 0 : TMPF_FIXED_PITCH));
  tm->tmCharSet = f.charset;
}

// The 8-bit form of a character bound: symbol-area codes as their low byte, others capped.
BYTE Cap(const RealizedFont& f, WCHAR c) {
  if (f.face->IsSymbol() && c >= 0xF000 && c <= 0xF0FF) return static_cast<BYTE>(c - 0xF000);
  return c > 255 ? 255 : static_cast<BYTE>(c);
}

void FillA(const RealizedFont& f, TEXTMETRICA* tm) {
  TEXTMETRICW w;
  FillW(f, &w);
  std::memcpy(tm, &w, offsetof(TEXTMETRICW, tmFirstChar));
  tm->tmFirstChar = Cap(f, w.tmFirstChar);
  tm->tmLastChar = Cap(f, w.tmLastChar);
  tm->tmDefaultChar = Cap(f, w.tmDefaultChar);
  tm->tmBreakChar = Cap(f, w.tmBreakChar);
  tm->tmItalic = w.tmItalic;
  tm->tmUnderlined = w.tmUnderlined;
  tm->tmStruckOut = w.tmStruckOut;
  tm->tmPitchAndFamily = w.tmPitchAndFamily;
  tm->tmCharSet = w.tmCharSet;
}

void Fill(const RealizedFont& f, TEXTMETRICA* tm) { FillA(f, tm); }
void Fill(const RealizedFont& f, TEXTMETRICW* tm) { FillW(f, tm); }

std::string Encode(const std::u16string& s, char) { return fonts::WideToBytes(1252, s); }
std::u16string Encode(const std::u16string& s, char16_t) { return s; }

template <class Char, class Otm>
UINT OutlineMetrics(HDC hdc, UINT cbData, Otm* out) {
  const auto font = fonts::UsableFont(hdc);
  if (!font) return 0;
  const RealizedFont& f = *font;
  const SfntFace& s = f.Sfnt();
  const Os2Table& os2 = s.Os2();
  const NameStrings& n = s.Names();

  Otm otm;
  Fill(f, &otm.otmTextMetrics);
  std::memcpy(&otm.otmPanoseNumber, os2.panose, sizeof(os2.panose));
  otm.otmfsSelection = os2.fsSelection;
  otm.otmfsType = os2.fsType;
  otm.otmsCharSlopeRise = s.Hhea().caretSlopeRise;
  otm.otmsCharSlopeRun = s.Hhea().caretSlopeRun;
  otm.otmItalicAngle = RealizedFont::Round32Away(s.Post().italicAngle / 65536.0);
  otm.otmEMSquare = s.Head().unitsPerEm;
  otm.otmAscent = f.Y(os2.sTypoAscender);
  otm.otmDescent = f.Y(os2.sTypoDescender);
  otm.otmLineGap = static_cast<UINT>(std::max<LONG>(0, f.Y(os2.sTypoLineGap)));
  otm.otmsCapEmHeight = static_cast<UINT>(std::max<LONG>(0, f.Y(f.face->CapHeight())));
  otm.otmsXHeight = static_cast<UINT>(std::max<LONG>(0, f.Y(f.face->XHeight())));
  otm.otmrcFontBox =
      RECTL{f.X(s.Head().xMin), f.Y(s.Head().yMax), f.X(s.Head().xMax), f.Y(s.Head().yMin)};
  otm.otmMacAscent = f.Y(s.Hhea().ascender);
  otm.otmMacDescent = f.Y(s.Hhea().descender);
  otm.otmMacLineGap = static_cast<UINT>(std::max<LONG>(0, f.Y(s.Hhea().lineGap)));
  otm.otmusMinimumPPEM = s.Head().lowestRecPPEM;
  otm.otmptSubscriptSize = POINTL{f.X(os2.ySubscriptXSize), f.Y(os2.ySubscriptYSize)};
  otm.otmptSubscriptOffset = POINTL{f.X(os2.ySubscriptXOffset), f.Y(os2.ySubscriptYOffset)};
  otm.otmptSuperscriptSize = POINTL{f.X(os2.ySuperscriptXSize), f.Y(os2.ySuperscriptYSize)};
  otm.otmptSuperscriptOffset = POINTL{f.X(os2.ySuperscriptXOffset), f.Y(os2.ySuperscriptYOffset)};
  otm.otmsStrikeoutSize = static_cast<UINT>(std::max<LONG>(0, f.Y(os2.yStrikeoutSize)));
  otm.otmsStrikeoutPosition = f.Y(os2.yStrikeoutPosition);
  otm.otmsUnderscoreSize = f.Y(s.Post().underlineThickness);
  otm.otmsUnderscorePosition = f.Y(s.Post().underlinePosition);

  const std::u16string& family = f.face->FamilyName();
  const std::u16string full = n.fullName.empty() ? family : n.fullName;
  const std::u16string style = n.subfamily.empty() ? u"Regular" : n.subfamily;
  const std::u16string unique = n.uniqueName.empty() ? full : n.uniqueName;
  const std::u16string* names[4] = {&family, &full, &style, &unique};
  UINT* offsets[4] = {&otm.otmpFamilyName, &otm.otmpFaceName, &otm.otmpStyleName,
                      &otm.otmpFullName};
  std::basic_string<Char> strings;
  for (int i = 0; i < 4; ++i) {
    *offsets[i] = static_cast<UINT>(sizeof(Otm) + strings.size() * sizeof(Char));
    strings += Encode(*names[i], Char());
    strings.push_back(0);
  }
  otm.otmSize = static_cast<UINT>(sizeof(Otm) + strings.size() * sizeof(Char));
  if (!out || cbData == 0) return otm.otmSize;

  const UINT size = cbData < otm.otmSize ? cbData : otm.otmSize;
  auto* bytes = reinterpret_cast<unsigned char*>(out);
  std::memcpy(bytes, &otm, std::min<std::size_t>(size, sizeof(Otm)));
  if (size > sizeof(Otm)) std::memcpy(bytes + sizeof(Otm), strings.data(), size - sizeof(Otm));
  return size;
}

template <class Char>
int Face(HDC hdc, int count, Char* out) {
  const auto font = fonts::UsableFont(hdc);
  if (!font || count < 0) return 0;
  const auto name = Encode(font->face->FamilyName(), Char());
  const int length = static_cast<int>(name.size());
  if (!out) return length + 1;
  if (count == 0) return 0;
  const int n = length < count - 1 ? length : count - 1;
  for (int i = 0; i < n; ++i) out[i] = name[static_cast<std::size_t>(i)];
  out[n] = 0;
  return n + 1;
}

}  // namespace

BOOL GetTextMetricsA(HDC hdc, TEXTMETRICA* tm) {
  const auto font = fonts::UsableFont(hdc);
  if (!font || !tm) return 0;
  FillA(*font, tm);
  return 1;
}

BOOL GetTextMetricsW(HDC hdc, TEXTMETRICW* tm) {
  const auto font = fonts::UsableFont(hdc);
  if (!font || !tm) return 0;
  FillW(*font, tm);
  return 1;
}

UINT GetOutlineTextMetricsA(HDC hdc, UINT cbData, OUTLINETEXTMETRICA* otm) {
  return OutlineMetrics<char>(hdc, cbData, otm);
}

UINT GetOutlineTextMetricsW(HDC hdc, UINT cbData, OUTLINETEXTMETRICW* otm) {
  return OutlineMetrics<char16_t>(hdc, cbData, otm);
}

int GetTextFaceA(HDC hdc, int count, char* faceName) { return Face(hdc, count, faceName); }
int GetTextFaceW(HDC hdc, int count, WCHAR* faceName) { return Face(hdc, count, faceName); }

int GetTextCharset(HDC hdc) {
  const auto font = fonts::UsableFont(hdc);
  return font ? font->charset : DEFAULT_CHARSET;
}

}  // namespace qvplatform
