#include "dib_rle.h"

#include <algorithm>

namespace qvplatform::bitmaps {
namespace {

// Position and bounds of the expansion. x and y grow by at most 255 per code, so 64 bits never
// overflow however long the data is.
struct Cursor {
  std::uint64_t x = 0;
  std::uint64_t y = 0;
  std::uint32_t width;
  std::uint32_t height;
  BYTE* plane;

  // Room left in the current row (0 when the cursor is outside the picture).
  std::uint64_t Room() const { return (y < height && x < width) ? width - x : 0; }
  BYTE* At() const { return plane + y * width + x; }
};

// A run of n pixels: one index for RLE8, the two nibbles of value alternating for RLE4.
void Run(Cursor& c, bool rle4, unsigned n, BYTE value) {
  const std::uint64_t fit = std::min<std::uint64_t>(n, c.Room());
  BYTE* p = fit ? c.At() : nullptr;
  if (!rle4) {
    std::fill(p, p + fit, value);
  } else {
    for (std::uint64_t i = 0; i < fit; ++i) p[i] = (i & 1) ? (value & 0x0F) : (value >> 4);
  }
  c.x += n;
}

// An absolute run of n pixels taken from src (avail bytes there).
void Absolute(Cursor& c, bool rle4, unsigned n, const BYTE* src, std::size_t avail) {
  const std::uint64_t given = rle4 ? std::min<std::uint64_t>(n, std::uint64_t{avail} * 2)
                                   : std::min<std::uint64_t>(n, avail);
  const std::uint64_t fit = std::min(given, c.Room());
  BYTE* p = fit ? c.At() : nullptr;
  for (std::uint64_t i = 0; i < fit; ++i)
    p[i] = rle4 ? ((i & 1) ? (src[i / 2] & 0x0F) : (src[i / 2] >> 4)) : src[i];
  c.x += n;
}

}  // namespace

bool ExpandRle(bool rle4, const BYTE* data, std::size_t size, std::uint32_t width,
               std::uint32_t height, BYTE* plane) {
  Cursor c{0, 0, width, height, plane};
  std::size_t p = 0;
  while (size - p >= 2) {
    const BYTE count = data[p];
    const BYTE code = data[p + 1];
    p += 2;
    if (count != 0) {
      Run(c, rle4, count, code);
      continue;
    }
    switch (code) {
      case 0:  // end of line
        c.x = 0;
        ++c.y;
        break;
      case 1:  // end of bitmap
        return true;
      case 2:  // delta: move right and up
        if (size - p < 2) return false;
        c.x += data[p];
        c.y += data[p + 1];
        p += 2;
        break;
      default: {  // absolute run, padded to a 16-bit boundary
        const std::size_t bytes = rle4 ? (std::size_t{code} + 1) / 2 : code;
        const std::size_t padded = bytes + (bytes & 1);
        const std::size_t avail = std::min(bytes, size - p);
        Absolute(c, rle4, code, data + p, avail);
        if (size - p < padded) return false;  // cut inside the run or its padding
        p += padded;
        break;
      }
    }
  }
  return false;
}

}  // namespace qvplatform::bitmaps
