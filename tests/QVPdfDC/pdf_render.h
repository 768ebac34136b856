// Wraps a page-content stream in a minimal one-page PDF and has independent tools read it:
// qpdf --check for the file, pdftoppm for the pixels (grey, 72 dpi, so one pixel per point).
#pragma once

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

namespace vellora_test {

// A one-page PDF of width x height points around the content.
std::string OnePagePdf(std::string_view content, int width, int height);

struct Rendered {
  bool ok = false;          // both tools ran and accepted the file
  std::string diagnostics;  // what qpdf and pdftoppm reported (empty when clean)
  int width = 0, height = 0;
  std::vector<std::uint8_t> grey;  // row-major, top row first
  // Grey level at (x, y) in points from the top left.
  int At(int x, int y) const;
  bool Dark(int x, int y) const { return At(x, y) < 128; }
};

// False when qpdf or pdftoppm is not installed (tests skip then).
bool RenderToolsPresent();
Rendered RenderContent(std::string_view content, int width, int height);

}  // namespace vellora_test
