// The settings of a PDF device that take more than a plain value.
#include "QVPDFDev/device/pdf_device_options.h"

#include <limits>

namespace vellora {

void TQVPDFImageSettings::SetJpegSetting(std::int32_t setting) {
  if (setting == 0) {
    jpegConversion = false;
  } else if (setting < 0) {
    // -INT32_MIN has no 32-bit value.
    jpegQuality = setting == std::numeric_limits<std::int32_t>::min()
                      ? std::numeric_limits<std::int32_t>::max()
                      : -setting;
  } else {
    jpegConversion = true;
    if (setting <= 5) jpegQuality = kJpegSettingQualities[setting - 1];
  }
}

}  // namespace vellora
