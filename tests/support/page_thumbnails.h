// The page thumbnails (/Thumb) of a PDF as qpdf reads them, and how closely each shows what
// poppler renders of its page.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

namespace vellora_test {

struct Thumbnail {
  bool found = false;  // the page has a /Thumb whose data qpdf decodes to the size given
  int width = 0, height = 0, bitsPerComponent = 0;
  std::string colorSpace;             // as the dictionary names it, e.g. "/DeviceRGB"
  std::vector<std::uint32_t> pixels;  // row by row from the top, 0xRRGGBB
  bool Dark(int x, int y) const;
};

// The thumbnail of every page, in page order.
std::vector<Thumbnail> PageThumbnails(const std::string& pdf);

// The ink agreement (InkAgreement) of the thumbnail with pdftoppm's render of the 1-based page
// at the thumbnail's size; -1 when pdftoppm gives nothing.
double ThumbnailAgreement(const std::string& pdf, int page, const Thumbnail& thumbnail);

}  // namespace vellora_test
