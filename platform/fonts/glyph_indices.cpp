// GetGlyphIndices: characters to glyph ids of the selected face.
#include <string_view>

#include "qvplatform/text_measure.h"
#include "realized_font.h"

namespace qvplatform {

namespace {

DWORD Indices(const fonts::RealizedFont& f, std::u16string_view text, WORD* glyphs, DWORD flags) {
  const bool mark = flags & GGI_MARK_NONEXISTING_GLYPHS;
  const Os2Table& os2 = f.Sfnt().Os2();
  const WORD fallback = os2.version >= 2 ? f.GlyphOf(os2.usDefaultChar) : 0;
  for (std::size_t i = 0; i < text.size(); ++i) {
    const WORD glyph = f.GlyphOf(text[i]);
    glyphs[i] = glyph ? glyph : (mark ? 0xFFFF : fallback);
  }
  return static_cast<DWORD>(text.size());
}

}  // namespace

DWORD GetGlyphIndicesW(HDC hdc, const WCHAR* text, int count, WORD* glyphs, DWORD flags) {
  const auto font = fonts::UsableFont(hdc);
  if (!font || count < 0 || (count && (!text || !glyphs))) return GDI_ERROR;
  return Indices(*font, std::u16string_view(text ? text : u"", std::size_t(count)), glyphs, flags);
}

DWORD GetGlyphIndicesA(HDC hdc, const char* text, int count, WORD* glyphs, DWORD flags) {
  const auto font = fonts::UsableFont(hdc);
  if (!font || count < 0 || (count && (!text || !glyphs))) return GDI_ERROR;
  const std::u16string wide = font->Widen(std::string_view(text ? text : "", std::size_t(count)));
  // A double-byte text gives fewer characters than bytes; never more.
  if (wide.size() > static_cast<std::size_t>(count)) return GDI_ERROR;
  return Indices(*font, wide, glyphs, flags);
}

}  // namespace qvplatform
