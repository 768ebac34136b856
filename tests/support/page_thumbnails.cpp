#include "page_thumbnails.h"

#include <cstddef>
#include <sstream>
#include <utility>

#include "ink_agreement.h"
#include "page_render.h"
#include "pdf_tools.h"

namespace vellora_test {
namespace {

// One line per page: the thumbnail's object number (0: none), width, height, bits per
// component and colour space.
constexpr char kThumbnailScript[] = R"(
for p in doc['pages']:
    page = get(p['object'])
    t = page.get('/Thumb')
    if not t:
        print(0, 0, 0, 0, '-')
        continue
    d = get(t)
    print(t.split()[0], d.get('/Width', 0), d.get('/Height', 0), d.get('/BitsPerComponent', 0),
          d.get('/ColorSpace', '-'))
)";

bool Decode(const std::string& data, Thumbnail& t) {
  const auto w = static_cast<std::size_t>(t.width), h = static_cast<std::size_t>(t.height);
  const bool rgb = t.colorSpace == "/DeviceRGB" && t.bitsPerComponent == 8;
  const bool mono = t.colorSpace == "/DeviceGray" && t.bitsPerComponent == 1;
  const std::size_t row = rgb ? w * 3 : (w + 7) / 8;
  if ((!rgb && !mono) || w == 0 || h == 0 || data.size() != row * h) return false;
  t.pixels.resize(w * h);
  const auto* bytes = reinterpret_cast<const unsigned char*>(data.data());
  for (std::size_t y = 0; y < h; ++y)
    for (std::size_t x = 0; x < w; ++x) {
      const unsigned char* r = bytes + y * row;
      t.pixels[y * w + x] =
          rgb ? std::uint32_t{r[3 * x]} << 16 | std::uint32_t{r[3 * x + 1]} << 8 | r[3 * x + 2]
              : ((r[x / 8] >> (7 - x % 8)) & 1 ? 0xFFFFFFu : 0u);
    }
  return true;
}

}  // namespace

bool Thumbnail::Dark(int x, int y) const {
  const std::uint32_t p = pixels[static_cast<std::size_t>(y) * static_cast<std::size_t>(width) +
                                 static_cast<std::size_t>(x)];
  return ((p >> 16 & 0xFF) * 299 + (p >> 8 & 0xFF) * 587 + (p & 0xFF) * 114) / 1000 < 128;
}

std::vector<Thumbnail> PageThumbnails(const std::string& pdf) {
  std::vector<Thumbnail> result;
  std::istringstream lines(QpdfJsonQuery(pdf, kThumbnailScript));
  int object = 0;
  Thumbnail t;
  while (lines >> object >> t.width >> t.height >> t.bitsPerComponent >> t.colorSpace) {
    t.found = object > 0 && Decode(QpdfStreamData(pdf, object), t);
    result.push_back(t);
    t = Thumbnail{};
  }
  return result;
}

double ThumbnailAgreement(const std::string& pdf, int page, const Thumbnail& thumbnail) {
  RenderOptions options;
  options.colour = true;
  options.page = page;
  options.scaleToWidth = thumbnail.width;
  options.scaleToHeight = thumbnail.height;
  Raster poppler = RenderPage(pdf, options);
  // pdftoppm scales the page before turning it by its /Rotate.
  if (poppler.ok && poppler.width != thumbnail.width && poppler.width == thumbnail.height) {
    std::swap(options.scaleToWidth, options.scaleToHeight);
    poppler = RenderPage(pdf, options);
  }
  if (!poppler.ok || poppler.width != thumbnail.width || poppler.height != thumbnail.height)
    return -1;
  const int w = thumbnail.width, h = thumbnail.height;
  return InkAgreement(w, h, InkMask(w, h, thumbnail.pixels), InkMask(w, h, poppler.pixels));
}

}  // namespace vellora_test
