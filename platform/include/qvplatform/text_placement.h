// Visual order of right-to-left text (Hebrew, Arabic) through GNU FriBidi.
#pragma once

#include "qvplatform/font_types.h"

namespace qvplatform {

constexpr DWORD GCP_DBCS = 0x0001;
constexpr DWORD GCP_REORDER = 0x0002;
constexpr DWORD GCP_USEKERNING = 0x0008;
constexpr DWORD GCP_GLYPHSHAPE = 0x0010;
constexpr DWORD GCP_LIGATE = 0x0020;
constexpr DWORD GCP_DIACRITIC = 0x0100;
constexpr DWORD GCP_KASHIDA = 0x0400;
constexpr DWORD GCP_ERROR = 0x8000;
constexpr DWORD FLI_MASK = 0x103B;
constexpr DWORD GCP_MAXEXTENT = 0x00100000;

struct GCP_RESULTSW {
  DWORD lStructSize = sizeof(GCP_RESULTSW);
  WCHAR* lpOutString = nullptr;
  UINT* lpOrder = nullptr;
  INT* lpDx = nullptr;
  INT* lpCaretPos = nullptr;
  char* lpClass = nullptr;
  WCHAR* lpGlyphs = nullptr;
  UINT nGlyphs = 0;  // in: the length of the arrays above; out: the entries filled
  INT nMaxFit = 0;
};

// What GetCharacterPlacementW can do for the selected font, from its realised character
// set and tables: GCP_DBCS for the CJK sets; GCP_REORDER | GCP_DIACRITIC for Hebrew (177);
// GCP_REORDER | GCP_GLYPHSHAPE | GCP_LIGATE | GCP_DIACRITIC | GCP_KASHIDA for Arabic (178);
// GCP_USEKERNING when the face has a kern table. GCP_ERROR for an unknown DC or no usable
// face.
DWORD GetFontLanguageInfo(HDC hdc);

// Characters in display order. With GCP_REORDER the text is one paragraph under the Unicode
// bidirectional algorithm, left-to-right unless the DC's alignment has TA_RTLREADING, with
// mirrored brackets; with GCP_GLYPHSHAPE Arabic letters also become their joined
// presentation forms (no ligatures, so every output position keeps one character, and
// GCP_LIGATE is accepted without joining characters). Without GCP_REORDER the order is the
// logical one.
// Fills, each when given and up to results->nGlyphs entries: lpOutString (the visual
// string), lpOrder (lpOrder[i] = visual position of logical character i), lpGlyphs (glyph
// ids of lpOutString), lpDx (their advances, in display order), lpCaretPos (per logical
// character, the left edge of its cell). nGlyphs becomes the entries filled; nMaxFit the
// characters (in logical order) whose widths fit maxExtent under GCP_MAXEXTENT, else count.
// Returns the width in the low and tmHeight in the high 16 bits; 0 on failure (unknown DC,
// no usable face, null results, a negative count).
DWORD GetCharacterPlacementW(HDC hdc, const WCHAR* text, int count, int maxExtent,
                             GCP_RESULTSW* results, DWORD flags);

}  // namespace qvplatform
