// Our GradientFill for rectangles, and the bitmap file writer. Coordinates and colours are
// untrusted (they come from metafile records): all arithmetic is 64-bit and every rectangle
// is clipped to the bitmap before a pixel is touched.
#include "qvplatform/gradient_fill.h"

#include <algorithm>
#include <atomic>
#include <limits>

namespace qvplatform {

namespace {

std::atomic<int> g_unavailable{0};

struct Channel16 {
  std::int64_t r, g, b;
};

Channel16 ColourOf(const TRIVERTEX& v) { return {v.Red, v.Green, v.Blue}; }

std::uint8_t High(std::int64_t c16) { return static_cast<std::uint8_t>(c16 >> 8); }

// The colour at position p of a gradient running from a (at p0) to b (at p1), p0 < p1.
Channel16 Lerp(const Channel16& a, const Channel16& b, std::int64_t p, std::int64_t p0,
               std::int64_t p1) {
  const std::int64_t span = p1 - p0, t = p - p0;
  return {a.r + (b.r - a.r) * t / span, a.g + (b.g - a.g) * t / span, a.b + (b.b - a.b) * t / span};
}

void PutPixel(const Dib24View& image, std::size_t stride, std::int64_t x, std::int64_t y,
              const Channel16& c) {
  std::uint8_t* row = image.bits + static_cast<std::size_t>(image.height - 1 - y) * stride;
  std::uint8_t* px = row + static_cast<std::size_t>(x) * 3;
  px[0] = High(c.b);
  px[1] = High(c.g);
  px[2] = High(c.r);
}

void FillRect(const Dib24View& image, std::size_t stride, const TRIVERTEX& va, const TRIVERTEX& vb,
              bool vertical) {
  const std::int64_t left = std::min<std::int64_t>(va.x, vb.x);
  const std::int64_t right = std::max<std::int64_t>(va.x, vb.x);
  const std::int64_t top = std::min<std::int64_t>(va.y, vb.y);
  const std::int64_t bottom = std::max<std::int64_t>(va.y, vb.y);
  if (left == right || top == bottom) return;
  // The gradient runs from the vertex nearer the origin along its axis.
  const bool swap = vertical ? vb.y < va.y : vb.x < va.x;
  const Channel16 c1 = ColourOf(swap ? vb : va), c2 = ColourOf(swap ? va : vb);
  const std::int64_t x0 = std::max<std::int64_t>(left, 0);
  const std::int64_t x1 = std::min<std::int64_t>(right, image.width);
  const std::int64_t y0 = std::max<std::int64_t>(top, 0);
  const std::int64_t y1 = std::min<std::int64_t>(bottom, image.height);
  for (std::int64_t y = y0; y < y1; ++y) {
    for (std::int64_t x = x0; x < x1; ++x) {
      const Channel16 c = vertical ? Lerp(c1, c2, y, top, bottom) : Lerp(c1, c2, x, left, right);
      PutPixel(image, stride, x, y, c);
    }
  }
}

void PutLE(std::vector<std::uint8_t>& out, std::uint32_t v, int bytes) {
  for (int i = 0; i < bytes; ++i) out.push_back(static_cast<std::uint8_t>(v >> (8 * i)));
}

}  // namespace

std::size_t Dib24Stride(LONG width) {
  if (width <= 0 || width > (std::numeric_limits<std::int32_t>::max() - 3) / 3) return 0;
  return (static_cast<std::size_t>(width) * 3 + 3) & ~std::size_t{3};
}

bool GradientFill(const Dib24View& target, const TRIVERTEX* vertices, DWORD vertexCount,
                  const GRADIENT_RECT* rects, DWORD rectCount, DWORD mode) {
  if (mode != GRADIENT_FILL_RECT_H && mode != GRADIENT_FILL_RECT_V) return false;
  const std::size_t stride = Dib24Stride(target.width);
  if (target.bits == nullptr || stride == 0 || target.height <= 0) return false;
  if (vertices == nullptr || rects == nullptr) return false;
  for (DWORD i = 0; i < rectCount; ++i)
    if (rects[i].UpperLeft >= vertexCount || rects[i].LowerRight >= vertexCount) return false;
  for (DWORD i = 0; i < rectCount; ++i)
    FillRect(target, stride, vertices[rects[i].UpperLeft], vertices[rects[i].LowerRight],
             mode == GRADIENT_FILL_RECT_V);
  return true;
}

std::vector<std::uint8_t> MakeBitmapFile24(const Dib24View& image) {
  const std::size_t stride = Dib24Stride(image.width);
  if (image.bits == nullptr || stride == 0 || image.height <= 0) return {};
  const std::uint64_t bitsSize =
      static_cast<std::uint64_t>(stride) * static_cast<std::uint64_t>(image.height);
  if (bitsSize > std::numeric_limits<std::uint32_t>::max() - 54) return {};
  std::vector<std::uint8_t> out;
  out.reserve(54 + bitsSize);
  // BITMAPFILEHEADER
  PutLE(out, kBitmapFileType, 2);
  PutLE(out, static_cast<std::uint32_t>(54 + bitsSize), 4);
  PutLE(out, 0, 4);  // two reserved words
  PutLE(out, 54, 4);
  // BITMAPINFOHEADER
  PutLE(out, 40, 4);
  PutLE(out, static_cast<std::uint32_t>(image.width), 4);
  PutLE(out, static_cast<std::uint32_t>(image.height), 4);
  PutLE(out, 1, 2);   // planes
  PutLE(out, 24, 2);  // bits per pixel
  PutLE(out, BI_RGB, 4);
  PutLE(out, static_cast<std::uint32_t>(bitsSize), 4);
  PutLE(out, 0, 4);  // resolution: unspecified
  PutLE(out, 0, 4);
  PutLE(out, 0, 4);  // no colour table
  PutLE(out, 0, 4);
  out.insert(out.end(), image.bits, image.bits + bitsSize);
  return out;
}

GradientFillProc FindGradientFill() { return g_unavailable.load() > 0 ? nullptr : &GradientFill; }

ScopedGradientFillUnavailable::ScopedGradientFillUnavailable() { ++g_unavailable; }
ScopedGradientFillUnavailable::~ScopedGradientFillUnavailable() { --g_unavailable; }

}  // namespace qvplatform
