// A small image host for the image tests: an owner with memory output and shared resources,
// the device state the image writer reads, a page content buffer, and helpers that finish a
// one-page file and render it with pdftoppm.
#pragma once

#include <array>
#include <cstdint>
#include <string>
#include <vector>

#include "QVPDFDev/document/pdf_catalog.h"
#include "QVPDFDev/images/pdf_image_writer.h"
#include "QVPDFDev/resources/pdf_resource.h"
#include "page_render.h"
#include "pdf_test_owner.h"
#include "pdf_tools.h"

namespace vellora_test {

class ImageTestHost : public vellora::TQVPDFImageHost {
 public:
  // The file header is written at once; images are written when they are made.
  ImageTestHost();
  ~ImageTestHost();

  vellora::TQVPDFObjectOwner& ImageOwner() override { return owner; }
  vellora::TQVImageOptions ImageOptions() const override { return options; }
  std::string& PendingImageName() override { return pending; }
  qvplatform::TStringList& ImageAliases() override { return aliases; }
  void ReportImageMessage(std::string_view detail) override { messages.emplace_back(detail); }
  qvplatform::HDC ReferenceDC() override { return dc; }
  void PrepareImageDraw(std::int32_t x, std::int32_t y, std::int32_t w, std::int32_t h) override {
    prepared.push_back({x, y, w, h});
  }
  vellora::TQVPDFDeviceWorkBuffer& ImageContent() override { return content; }
  long double ImageYOrigin() const override { return yOrigin; }
  bool ImageYFlipped() const override { return flipped; }

  // Writes the page (content so far, size in points), resources, page tree, catalog and
  // trailer; returns the whole file.
  std::string Finish(float pageWidth, float pageHeight);
  // Number of image XObjects listed.
  std::size_t ImageCount() { return resources.XObjects().Count(); }

  TestOwner owner;
  vellora::TQVPDFResource resources{&owner};
  vellora::TQVPDFCatalog catalog{&owner};
  vellora::TQVImageOptions options;
  std::string pending;
  qvplatform::TStringList aliases;
  std::vector<std::string> messages;
  qvplatform::HDC dc = 0;
  std::vector<std::array<std::int32_t, 4>> prepared;
  vellora::TQVPDFDeviceWorkBuffer content;
  long double yOrigin = 0;
  bool flipped = false;
  vellora::TQVPDFImageWriter writer{*this};
};

// A screen device context for the host's reference DC, and its release. (Kept out of the test
// files, whose metafile headers clash with the device-context header.)
qvplatform::HDC ScreenDC();
void ReleaseScreenDC(qvplatform::HDC dc);

// Page 1 rendered by pdftoppm in colour without anti-aliasing at kRenderScale pixels per point;
// empty (width 0) when pdftoppm fails. Poppler smooths images drawn at less than four times
// their size, so at this scale every image pixel is a solid 4 x 4 block.
constexpr int kRenderScale = 4;
Raster RenderColour(const std::string& pdf);
// The colour of a point of the page (the centre of its block).
inline std::uint32_t PointColor(const Raster& raster, int x, int y) {
  return raster.At(kRenderScale * x + kRenderScale / 2, kRenderScale * y + kRenderScale / 2);
}

// The stream dictionary (from "obj" to "stream") of the image with /Name/name; "" if absent.
std::string ImageDictionary(const std::string& pdf, const std::string& name);

}  // namespace vellora_test
