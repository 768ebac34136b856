// A 96 dpi screen device context: it holds a selected font, the text alignment and a path
// bracket, which is all the engine measures and outlines text with. Logical units are
// pixels (MM_TEXT, y downwards). It has no drawing surface: text output outside a path
// bracket draws nothing and succeeds.
//
// One DC is meant for one thread at a time, but every call is safe from any thread.
#pragma once

#include "qvplatform/font_types.h"
#include "qvplatform/text_out_options.h"

namespace qvplatform {

// A new screen DC with the stock SYSTEM_FONT selected, TA_TOP | TA_LEFT alignment and no
// path. Any window handle gives a screen DC (there are no windows).
HDC GetDC(HWND window);
// Releases a DC from GetDC: 1, or 0 for an unknown handle.
int ReleaseDC(HWND window, HDC hdc);
// A further screen-like DC (the argument is ignored); DeleteDC releases it.
HDC CreateCompatibleDC(HDC hdc);
BOOL DeleteDC(HDC hdc);

// Selects a font into a DC and returns the previously selected font; 0 for an unknown DC,
// an unknown handle or a kind of object this DC cannot hold. The font is matched to a face
// the first time it is selected anywhere.
HGDIOBJ SelectObject(HDC hdc, HGDIOBJ object);

constexpr UINT OBJ_FONT = 6;
// The selected object of a kind (OBJ_FONT only); 0 otherwise.
HGDIOBJ GetCurrentObject(HDC hdc, UINT type);

// Device capabilities of the screen: LOGPIXELSX/Y 96, HORZRES 1920, VERTRES 1080, HORZSIZE
// 508 mm, VERTSIZE 286 mm, BITSPIXEL 32, PLANES 1, TECHNOLOGY DT_RASDISPLAY; 0 otherwise.
constexpr int TECHNOLOGY = 2;
constexpr int HORZSIZE = 4;
constexpr int VERTSIZE = 6;
constexpr int HORZRES = 8;
constexpr int VERTRES = 10;
constexpr int BITSPIXEL = 12;
constexpr int PLANES = 14;
constexpr int LOGPIXELSX = 88;
constexpr int LOGPIXELSY = 90;
constexpr int DT_RASDISPLAY = 1;
int GetDeviceCaps(HDC hdc, int index);

// Text alignment.
constexpr UINT TA_NOUPDATECP = 0;
constexpr UINT TA_UPDATECP = 1;
constexpr UINT TA_LEFT = 0;
constexpr UINT TA_RIGHT = 2;
constexpr UINT TA_CENTER = 6;
constexpr UINT TA_TOP = 0;
constexpr UINT TA_BOTTOM = 8;
constexpr UINT TA_BASELINE = 24;
constexpr UINT TA_RTLREADING = 256;
// Returns the previous alignment; GDI_ERROR for an unknown DC.
UINT SetTextAlign(HDC hdc, UINT align);
UINT GetTextAlign(HDC hdc);

// Inside a path bracket (glyph_path.h) the text's glyph outlines are added to the path:
// from (x, y) as the text alignment places it (TA_UPDATECP is not supported and fails),
// advancing by dx[i] when a spacing array is given, else by each glyph's advance; with
// ETO_GLYPH_INDEX the text holds glyph indices. Outlines are at the font's size, with its
// stretch, escapement (tenths of a degree counter-clockwise) and simulated bold and italic.
// 0 for an unknown DC, a font without a usable face, a glyph whose outline cannot be read,
// or ETO_PDY; nothing is added to the path then. Outside a bracket only the font is checked.
BOOL ExtTextOutW(HDC hdc, int x, int y, UINT options, const RECT* rect, const WCHAR* text,
                 UINT count, const INT* dx);
// As ExtTextOutW, the 8-bit text converted in the code page of the font's character set.
BOOL ExtTextOutA(HDC hdc, int x, int y, UINT options, const RECT* rect, const char* text,
                 UINT count, const INT* dx);

}  // namespace qvplatform
