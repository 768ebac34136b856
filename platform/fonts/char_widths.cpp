// GetCharWidth and GetTextExtentPoint.
#include <string_view>

#include "qvplatform/text_measure.h"
#include "realized_font.h"

namespace qvplatform {

using fonts::RealizedFont;

namespace {

LONG WidthOf(const RealizedFont& f, std::uint32_t code) { return f.Advance(f.GlyphOf(code)); }

// The UTF-16 character of an 8-bit code (a double-byte code above 0xFF); 0xFFFF when the
// code page has none.
std::uint32_t WideOfCode(const RealizedFont& f, UINT code) {
  char bytes[2];
  std::size_t n = 0;
  if (code > 0xFF) bytes[n++] = static_cast<char>((code >> 8) & 0xFF);
  bytes[n++] = static_cast<char>(code & 0xFF);
  const std::u16string wide = f.Widen(std::string_view(bytes, n));
  return wide.size() == 1 ? wide[0] : 0xFFFF;
}

BOOL Widths(HDC hdc, UINT first, UINT last, INT* widths, bool wide) {
  const auto font = fonts::UsableFont(hdc);
  if (!font || first > last || !widths) return 0;
  for (UINT c = first;; ++c) {
    widths[c - first] = WidthOf(*font, wide ? c : WideOfCode(*font, c));
    if (c == last) break;
  }
  return 1;
}

BOOL Extent(const RealizedFont& f, std::u16string_view text, SIZE* size) {
  std::int64_t width = 0;
  for (char16_t c : text) width += WidthOf(f, c);
  size->cx = ClampToInt32(width);
  size->cy = f.CellHeight();
  return 1;
}

BOOL ExtentA(HDC hdc, const char* text, int count, SIZE* size) {
  const auto font = fonts::UsableFont(hdc);
  if (!font || count < 0 || (count && !text) || !size) return 0;
  return Extent(*font, font->Widen(std::string_view(text ? text : "", std::size_t(count))), size);
}

BOOL ExtentW(HDC hdc, const WCHAR* text, int count, SIZE* size) {
  const auto font = fonts::UsableFont(hdc);
  if (!font || count < 0 || (count && !text) || !size) return 0;
  return Extent(*font, std::u16string_view(text ? text : u"", std::size_t(count)), size);
}

}  // namespace

BOOL GetCharWidthA(HDC hdc, UINT first, UINT last, INT* w) {
  return Widths(hdc, first, last, w, false);
}
BOOL GetCharWidthW(HDC hdc, UINT first, UINT last, INT* w) {
  return Widths(hdc, first, last, w, true);
}
BOOL GetCharWidth32A(HDC hdc, UINT first, UINT last, INT* w) {
  return Widths(hdc, first, last, w, false);
}
BOOL GetCharWidth32W(HDC hdc, UINT first, UINT last, INT* w) {
  return Widths(hdc, first, last, w, true);
}

BOOL GetTextExtentPoint32A(HDC hdc, const char* t, int n, SIZE* s) { return ExtentA(hdc, t, n, s); }
BOOL GetTextExtentPoint32W(HDC hdc, const WCHAR* t, int n, SIZE* s) {
  return ExtentW(hdc, t, n, s);
}
BOOL GetTextExtentPointA(HDC hdc, const char* t, int n, SIZE* s) { return ExtentA(hdc, t, n, s); }
BOOL GetTextExtentPointW(HDC hdc, const WCHAR* t, int n, SIZE* s) { return ExtentW(hdc, t, n, s); }

}  // namespace qvplatform
