// The colour spaces that drawing asks the PDF device for: the uncoloured hatch patterns of
// hatch brushes and the ICC-based colour spaces, both kept in the shared resources.
#include <cmath>
#include <string>

#include "QVPDFDev/device/pdf_device.h"
#include "QVPDFDev/resources/pdf_resource.h"

namespace vellora {
namespace {

constexpr std::int32_t kBitmapBrushCode = 70000;
// The stand-in of a bitmap brush: a vertical hatch in red.
constexpr int kBitmapBrushHatch = 1;
constexpr TQVGenericDevice::COLORREF kBitmapBrushColor = 255;

}  // namespace

void TQVPDFDevice::SelectBrushColorSpace(TQVPDFDeviceWorkBuffer* buffer, std::int32_t hatch,
                                         COLORREF color) {
  if (buffer == nullptr) return;
  if (hatch < 0) {
    buffer->AddString("/DeviceRGB cs ");
    return;
  }
  std::string name = "winbrush";
  int style = hatch;
  if (hatch == kBitmapBrushCode) {
    // One name for lookup and registration, so that the pattern named is the one written.
    name += std::to_string(std::int64_t{color} + kBitmapBrushCode);
    style = kBitmapBrushHatch;
    color = kBitmapBrushColor;
  } else {
    name += std::to_string(hatch);
  }
  if (resources_ && resources_->Patterns().Find(name) == nullptr) {
    // The hatch cell follows the drawing scale; magnitudes, so that a mirrored or rotated
    // mapping does not shrink it to nothing.
    const XFORM& m = dcStack.Matrix();
    const float cell = static_cast<float>((std::fabs(m.eM11) + std::fabs(m.eM12)) / 4.0);
    resources_->Patterns().Add(name, std::make_unique<TQVPDFPatternStream>(this, cell, style));
  }
  buffer->AddString("/Brush cs ");
  buffer->AddColor(color, nullptr, " /" + name + " scn ", 1);
}

void TQVPDFDevice::AddICCColorSpace(const std::string& name, std::int32_t kind,
                                    const std::uint8_t* data, std::int32_t length,
                                    std::int32_t components, const std::string& alternate) {
  if (!resources_) return;
  // No bytes is no profile: the built-in sRGB profile stands in.
  if (length <= 0) data = nullptr;
  resources_->AddICCColorSpace(name, kind, data, data ? static_cast<std::size_t>(length) : 0,
                               components, alternate);
}

}  // namespace vellora
