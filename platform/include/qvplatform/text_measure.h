// Widths, extents and glyph indices of text in the font selected into a device context.
//
// Widths are advance widths from hmtx at the font's size and stretch, each rounded to whole
// pixels (halves away from zero) before they are added up, as the outline path advances.
// 8-bit text is converted in the code page of the font's realised character set
// (tmCharSet); for the symbol character set its bytes are character codes, which a symbol
// font maps at U+F000 + code. A character without a glyph measures as the missing glyph.
#pragma once

#include "qvplatform/font_types.h"

namespace qvplatform {

// Widths of the character codes first..last into widths[0 .. last - first]. In the A forms a
// code above 0xFF is a double-byte character (lead byte in the high byte). 0 for an unknown
// DC, a font without a usable face, first > last or a null buffer.
BOOL GetCharWidthA(HDC hdc, UINT first, UINT last, INT* widths);
BOOL GetCharWidthW(HDC hdc, UINT first, UINT last, INT* widths);
BOOL GetCharWidth32A(HDC hdc, UINT first, UINT last, INT* widths);
BOOL GetCharWidth32W(HDC hdc, UINT first, UINT last, INT* widths);

// Width (sum of the advances) and height (tmHeight) of a text; the escapement is not
// applied. 0 on the failures above or a negative count.
BOOL GetTextExtentPoint32A(HDC hdc, const char* text, int count, SIZE* size);
BOOL GetTextExtentPoint32W(HDC hdc, const WCHAR* text, int count, SIZE* size);
BOOL GetTextExtentPointA(HDC hdc, const char* text, int count, SIZE* size);
BOOL GetTextExtentPointW(HDC hdc, const WCHAR* text, int count, SIZE* size);

constexpr DWORD GGI_MARK_NONEXISTING_GLYPHS = 0x0001;

// Glyph index of each UTF-16 unit: for a symbol (3,0) font, codes up to 0xFF are looked up
// at U+F000 + code; a unit without a glyph gives 0xFFFF with GGI_MARK_NONEXISTING_GLYPHS,
// else the glyph of the default character (tmDefaultChar), else 0. Returns count, or
// GDI_ERROR for an unknown DC or a font without a usable face.
DWORD GetGlyphIndicesW(HDC hdc, const WCHAR* text, int count, WORD* glyphs, DWORD flags);
// As above for 8-bit text in the font's code page; one index per byte of the input only for
// single-byte pages: the result is the number of indices written.
DWORD GetGlyphIndicesA(HDC hdc, const char* text, int count, WORD* glyphs, DWORD flags);

}  // namespace qvplatform
