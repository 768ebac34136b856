// GetCharacterPlacementW and GetFontLanguageInfo on GNU FriBidi.
#include <fribidi.h>

#include <algorithm>
#include <vector>

#include "device_context_impl.h"
#include "qvplatform/device_context.h"
#include "qvplatform/text_placement.h"

namespace qvplatform {

namespace {

// Logical to visual reordering of one paragraph; *text becomes the visual (and, when
// asked, shaped) string, order[i] the visual position of logical character i.
bool Reorder(std::vector<FriBidiChar>* text, bool rtl, bool shape, std::vector<UINT>* order) {
  const auto n = static_cast<FriBidiStrIndex>(text->size());
  std::vector<FriBidiCharType> types(text->size());
  std::vector<FriBidiBracketType> brackets(text->size());
  std::vector<FriBidiLevel> levels(text->size());
  fribidi_get_bidi_types(text->data(), n, types.data());
  fribidi_get_bracket_types(text->data(), n, types.data(), brackets.data());
  FriBidiParType base = rtl ? FRIBIDI_PAR_RTL : FRIBIDI_PAR_LTR;
  if (!fribidi_get_par_embedding_levels_ex(types.data(), brackets.data(), n, &base, levels.data()))
    return false;
  std::vector<FriBidiArabicProp> joining(text->size());
  FriBidiFlags flags = FRIBIDI_FLAG_SHAPE_MIRRORING;
  if (shape) {
    fribidi_get_joining_types(text->data(), n, joining.data());
    fribidi_join_arabic(types.data(), n, levels.data(), joining.data());
    flags |= FRIBIDI_FLAG_SHAPE_ARAB_PRES;
  }
  fribidi_shape(flags, levels.data(), n, joining.data(), text->data());
  std::vector<FriBidiStrIndex> map(text->size());
  for (FriBidiStrIndex i = 0; i < n; ++i) map[static_cast<std::size_t>(i)] = i;
  if (!fribidi_reorder_line(FRIBIDI_FLAG_REORDER_NSM, types.data(), n, 0, base, levels.data(),
                            text->data(), map.data()))
    return false;
  for (FriBidiStrIndex v = 0; v < n; ++v)
    (*order)[static_cast<std::size_t>(map[static_cast<std::size_t>(v)])] = static_cast<UINT>(v);
  return true;
}

}  // namespace

DWORD GetFontLanguageInfo(HDC hdc) {
  const auto font = fonts::UsableFont(hdc);
  if (!font) return GCP_ERROR;
  DWORD info = 0;
  switch (font->charset) {
    case 128:
    case 129:
    case 130:
    case 134:
    case 136:
      info |= GCP_DBCS;
      break;
    case 177:
      info |= GCP_REORDER | GCP_DIACRITIC;
      break;
    case 178:
      info |= GCP_REORDER | GCP_GLYPHSHAPE | GCP_LIGATE | GCP_DIACRITIC | GCP_KASHIDA;
      break;
  }
  if (font->Sfnt().Directory().Find(SfntTag("kern"))) info |= GCP_USEKERNING;
  return info;
}

DWORD GetCharacterPlacementW(HDC hdc, const WCHAR* text, int count, int maxExtent,
                             GCP_RESULTSW* results, DWORD flags) {
  const auto font = fonts::UsableFont(hdc);
  if (!font || !results || count < 0 || (count && !text)) return 0;
  const auto n = static_cast<std::size_t>(count);
  std::vector<FriBidiChar> visual(text, text + n);
  std::vector<UINT> order(n);
  for (std::size_t i = 0; i < n; ++i) order[i] = static_cast<UINT>(i);
  if ((flags & GCP_REORDER) && n) {
    const bool rtl = GetTextAlign(hdc) != GDI_ERROR && (GetTextAlign(hdc) & TA_RTLREADING);
    if (!Reorder(&visual, rtl, flags & GCP_GLYPHSHAPE, &order)) return 0;
  }

  std::vector<INT> widths(n);  // in display order
  std::int64_t total = 0;
  for (std::size_t v = 0; v < n; ++v) {
    const std::uint32_t c = visual[v] <= 0xFFFF ? visual[v] : 0xFFFF;
    widths[v] = font->Advance(font->GlyphOf(c));
    total += widths[v];
  }
  std::vector<std::int64_t> left(n + 1, 0);  // left edge of each display cell
  for (std::size_t v = 0; v < n; ++v) left[v + 1] = left[v] + widths[v];

  const std::size_t limit = std::min<std::size_t>(n, results->nGlyphs);
  for (std::size_t i = 0; i < limit; ++i) {
    if (results->lpOutString) results->lpOutString[i] = static_cast<WCHAR>(visual[i]);
    if (results->lpOrder) results->lpOrder[i] = order[i];
    if (results->lpGlyphs)
      results->lpGlyphs[i] = font->GlyphOf(visual[i] <= 0xFFFF ? visual[i] : 0);
    if (results->lpDx) results->lpDx[i] = widths[i];
    if (results->lpCaretPos) results->lpCaretPos[i] = ClampToInt32(left[order[i]]);
  }
  results->nGlyphs = static_cast<UINT>(limit);
  results->nMaxFit = count;
  if (flags & GCP_MAXEXTENT) {
    std::int64_t used = 0;
    int fit = 0;
    for (std::size_t i = 0; i < n; ++i) {
      used += widths[order[i]];
      if (used > maxExtent) break;
      ++fit;
    }
    results->nMaxFit = fit;
  }
  const auto width = static_cast<DWORD>(ClampToInt32(total)) & 0xFFFF;
  const auto height = static_cast<DWORD>(font->CellHeight()) & 0xFFFF;
  return width | height << 16;
}

}  // namespace qvplatform
