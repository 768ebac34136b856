// The page record of QVPDF_InitializePage and the conversion of device units to page units.

#include "QVK2PDFDLL/engine_operations.h"
#include "qvplatform/numbers.h"

namespace vellora {
namespace {

// A resolution of 0 or less would give an infinite scale: it is taken as 72, as the client
// does before it sends a page.
std::int32_t UsableResolution(std::int32_t resolution) { return resolution > 0 ? resolution : 72; }

std::int32_t ToPage(long double value, float scale) {
  // Both factors are finite and |value * scale| stays far below the 64-bit range (|value| <
  // 2^33, scale <= 72).
  return qvplatform::ClampToInt32(qvplatform::Round(value * scale));
}

}  // namespace

void InitializePage(TQVPDFEngineContext& c, const TQVPDFPageInit& page) {
  c.pageWidth = page.Width;
  c.pageHeight = page.Height;
  c.xResolution = UsableResolution(page.XResolution);
  c.yResolution = UsableResolution(page.YResolution);
  c.rotationFlags = page.RotationFlags;
  c.color = page.PageColor;
  c.originX = page.OriginX;
  c.originY = page.OriginY;
  c.xScale = static_cast<float>(72.0 / c.xResolution);
  c.yScale = static_cast<float>(72.0 / c.yResolution);
  c.fontScale = c.yResolution == 72 ? 0.0f : static_cast<float>(c.yResolution / 72.0);

  TQVPDFDeviceEX& d = c.device;
  d.xResolution = c.xResolution;
  d.yResolution = c.yResolution;
  d.Reset();
  d.options.images.SetThumbnails(page.CreateThumbnails != 0);
}

std::int32_t PageX(const TQVPDFEngineContext& c, std::int32_t x) {
  return ToPage(static_cast<long double>(x) - c.originX, c.xScale);
}

std::int32_t PageY(const TQVPDFEngineContext& c, std::int32_t y) {
  return ToPage(static_cast<long double>(y), c.yScale);
}

}  // namespace vellora
