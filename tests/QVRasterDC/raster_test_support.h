// Helpers of the rasteriser's tests: a metafile rendered into pixels, the engine's own PDF of
// the same metafile, and the comparison of two renderings by their ink.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include <cairo.h>

#include "QVRasterDC/raster_device.h"
#include "ink_agreement.h"

namespace vellora_test {

// Pixels row by row from the top, each 0xRRGGBB.
struct Pixels {
  bool ok = false;  // the metafile was accepted
  int width = 0, height = 0;
  std::vector<std::uint32_t> data;
  vellora::TQVRasterStats stats;

  std::uint32_t At(int x, int y) const {
    return data[std::size_t(y) * std::size_t(width) + std::size_t(x)];
  }
  int Grey(int x, int y) const;
  bool Dark(int x, int y) const { return Grey(x, y) < 128; }
};

// The metafile drawn on white into width x height pixels at the resolution; 0 x 0 takes the
// picture's own size, at most 1000 pixels a side.
Pixels RenderEmf(const std::vector<std::uint8_t>& emf, int width = 0, int height = 0,
                 int resolution = 72);

// The metafile drawn on white pixels of width x height, fitted into the destination.
Pixels RenderEmfInto(const std::vector<std::uint8_t>& emf, int width, int height,
                     const cairo_rectangle_t& destination);

// The engine's PDF of the metafile on a page of the picture's frame (clip records played), or
// empty when the engine made none.
// The page's size in points comes back through page when given.
struct PageSize {
  double width = 0, height = 0;
};
std::string EnginePdf(const std::vector<std::uint8_t>& emf, PageSize* page = nullptr);

// Writes pixels as a PNG when VELLORA_RASTER_DUMP names a folder (for looking at a failure).
void DumpPng(const std::string& name, int width, int height,
             const std::vector<std::uint32_t>& pixels);

// Writes bytes to a file of that folder likewise.
void DumpFile(const std::string& name, const std::string& bytes);

}  // namespace vellora_test
