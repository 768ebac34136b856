// A page of a PDF rendered by poppler's pdftoppm, as pixels a test can look at.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

namespace vellora_test {

struct RenderOptions {
  int dpi = 72;           // 72: one pixel per point
  bool colour = false;    // false: 8-bit grey
  bool antialias = true;  // false: -aa no -aaVector no, so that edges are exact
  int page = 1;
  // Both above 0: the page is rendered at exactly this many pixels instead (dpi ignored).
  int scaleToWidth = 0, scaleToHeight = 0;
};

// Row by row from the top; each pixel 0xRRGGBB (a grey render has equal channels).
struct Raster {
  bool ok = false;          // pdftoppm ran and gave a whole image
  std::string diagnostics;  // what pdftoppm said on standard error, or why it failed
  int width = 0, height = 0;
  std::vector<std::uint32_t> pixels;

  // The pixel at (x, y) from the top left; white (the paper) outside the page.
  std::uint32_t At(int x, int y) const;
  // Its grey level, 0 (black) to 255.
  int Grey(int x, int y) const;
  bool Dark(int x, int y) const { return Grey(x, y) < 128; }
  // The share of pixels darker than threshold in [x0, x1) x [y0, y1).
  double DarkShare(int x0, int y0, int x1, int y1, int threshold = 128) const;
};

Raster RenderPage(const std::string& pdf, const RenderOptions& options = {});

}  // namespace vellora_test
