// Internal: expansion of RLE4 and RLE8 pixel data into one index byte per pixel.
#pragma once

#include <cstddef>
#include <cstdint>

#include "qvplatform/wintypes.h"

namespace qvplatform::bitmaps {

// Expands run-length data (data, size bytes) into plane: width * height index bytes, row 0 at
// the bottom of the picture, zeroed by the caller. Runs are cut at the right edge and rows past
// the top are dropped; reading stops at the end-of-bitmap code or the end of the data. Returns
// false when the data ended before its end-of-bitmap code or inside a code.
bool ExpandRle(bool rle4, const BYTE* data, std::size_t size, std::uint32_t width,
               std::uint32_t height, BYTE* plane);

}  // namespace qvplatform::bitmaps
