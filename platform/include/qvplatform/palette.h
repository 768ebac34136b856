// Logical palettes (HPALETTE), the stock default palette, and the palette selected into a
// device context, which GetDIBits uses for device-dependent bitmaps of 4 and 8 bits.
// Thread-safe. Palettes are deleted with DeleteObject (font_service.h).
#pragma once

#include <cstddef>

#include "qvplatform/wintypes.h"

namespace qvplatform {

using HPALETTE = HANDLE32;
using HDC = HANDLE32;
using BOOL = INT;

// GetStockObject's number for the default palette.
constexpr int DEFAULT_PALETTE = 15;

// The 20 colours of the default palette, in order: black, dark red, dark green, dark yellow,
// dark blue, dark magenta, dark cyan, light grey, money green, sky blue, cream, medium grey,
// dark grey, red, green, yellow, blue, magenta, cyan, white.
constexpr std::size_t kDefaultPaletteSize = 20;
extern const PALETTEENTRY kDefaultPaletteEntries[kDefaultPaletteSize];

// Largest number of entries a logical palette holds.
constexpr UINT kMaxPaletteEntries = 65535;

// A palette of count entries (1 to kMaxPaletteEntries); 0 for a null table or another count.
HPALETTE CreatePalette(const PALETTEENTRY* entries, UINT count);

// The stock default palette: made once, never deleted (DeleteObject refuses it, see
// IsStockPalette).
HPALETTE GetDefaultPalette();
bool IsStockPalette(HPALETTE palette);

// Number of entries of a palette; 0 for any other handle.
UINT GetPaletteEntryCount(HPALETTE palette);

// Copies up to count entries from start into out and returns how many; with out null, the
// number of entries of the palette. 0 for any other handle or a start past the end.
UINT GetPaletteEntries(HPALETTE palette, UINT start, UINT count, PALETTEENTRY* out);

// Index of the entry nearest to a colour (squared distance, first of equals); kNoPaletteIndex
// for any other handle.
constexpr UINT kNoPaletteIndex = 0xFFFFFFFF;
UINT GetNearestPaletteIndex(HPALETTE palette, COLORREF color);

// Selects a palette into a device context and returns the previous one (the default palette
// when none was selected); 0 when hdc is not a device context or palette not a palette. The
// background flag has no effect (there is no system palette to realise into).
HPALETTE SelectPalette(HDC hdc, HPALETTE palette, BOOL forceBackground);
// The palette selected into a device context (the default palette for any other handle).
HPALETTE GetCurrentPalette(HDC hdc);
// The number of entries of the selected palette (nothing has to be mapped); 0 for a handle
// that is not a device context.
UINT RealizePalette(HDC hdc);

}  // namespace qvplatform
