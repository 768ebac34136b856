// The gradient routine that stands in for the system's GradientFill, on a 24-bit bottom-up
// DIB in memory, and the in-memory bitmap file the player hands to StretchDIBits.
#pragma once

#include <cstddef>
#include <cstdint>
#include <vector>

#include "qvplatform/emf_record_types.h"  // GRADIENT_FILL_RECT_H, GRADIENT_FILL_RECT_V
#include "qvplatform/emf_records.h"       // TRIVERTEX, GRADIENT_RECT
#include "qvplatform/wintypes.h"

namespace qvplatform {

// A 24-bit DIB: rows of Dib24Stride(width) bytes (blue, green, red per pixel, padded to 4),
// the bottom row first. Device row y (0 = top) is stored at row height - 1 - y.
struct Dib24View {
  std::uint8_t* bits = nullptr;
  LONG width = 0;
  LONG height = 0;
};

// Bytes per row; 0 for a width that is not positive or too large for 32-bit sizes.
std::size_t Dib24Stride(LONG width);

// Fills each rectangle as GDI does: the rectangle spans its two vertices (right and bottom
// edges excluded), clipped to the bitmap; in mode GRADIENT_FILL_RECT_H the colour of column x
// is c1 + (c2 - c1) * (x - x1) / (x2 - x1) per 16-bit channel (truncated; its high byte is
// the pixel's 8-bit value), where vertex 1 is the one with the smaller x; GRADIENT_FILL_RECT_V
// likewise down the rows. Returns false, drawing nothing, for another mode, a vertex index
// out of range, or an empty bitmap.
bool GradientFill(const Dib24View& target, const TRIVERTEX* vertices, DWORD vertexCount,
                  const GRADIENT_RECT* rects, DWORD rectCount, DWORD mode);

// A bitmap file in memory: the 14-byte file header, a 40-byte BITMAPINFOHEADER (24 bits,
// BI_RGB, bottom-up) and the rows as stored in the view. Empty for an empty view.
std::vector<std::uint8_t> MakeBitmapFile24(const Dib24View& image);

// The player looks the routine up once, as it would in the system library; a test can make it
// unavailable so that the solid-colour fallback runs. Thread-safe.
using GradientFillProc = bool (*)(const Dib24View&, const TRIVERTEX*, DWORD, const GRADIENT_RECT*,
                                  DWORD, DWORD);
GradientFillProc FindGradientFill();  // nullptr while made unavailable

class ScopedGradientFillUnavailable {
 public:
  ScopedGradientFillUnavailable();
  ~ScopedGradientFillUnavailable();
  ScopedGradientFillUnavailable(const ScopedGradientFillUnavailable&) = delete;
  ScopedGradientFillUnavailable& operator=(const ScopedGradientFillUnavailable&) = delete;
};

}  // namespace qvplatform
