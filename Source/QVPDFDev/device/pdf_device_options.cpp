// The settings of a PDF device that take more than a plain value.
#include "QVPDFDev/device/pdf_device_options.h"

#include <algorithm>
#include <limits>

namespace vellora {

void TQVPDFImageSettings::SetJpegSetting(std::int32_t setting) {
  if (setting == 0) {
    jpegConversion = false;
  } else if (setting < 0) {
    // The quality itself, which means JPEG is wanted; -INT32_MIN has no 32-bit value.
    jpegConversion = true;
    jpegQuality = setting == std::numeric_limits<std::int32_t>::min()
                      ? std::numeric_limits<std::int32_t>::max()
                      : -setting;
    jpegQuality = std::min(jpegQuality, kMaxJpegQuality);
  } else {
    jpegConversion = true;
    if (setting <= 5) jpegQuality = kJpegSettingQualities[setting - 1];
  }
}

}  // namespace vellora
