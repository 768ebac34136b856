// The enhanced-metafile player (slot 1).
#include "generic_device.h"

namespace vellora {

// PLACEHOLDER: the metafile player goes here. Until it arrives, nothing is played.
std::int32_t TQVGenericDevice::PlayMetafile(const std::uint8_t* bits, std::size_t size,
                                            std::int32_t xOffset, std::int32_t yOffset,
                                            std::int32_t targetWidth, std::int32_t targetHeight,
                                            bool measureOnly, std::int32_t xResolution,
                                            std::int32_t yResolution) {
  (void)bits, (void)size, (void)xOffset, (void)yOffset, (void)targetWidth, (void)targetHeight;
  (void)measureOnly, (void)xResolution, (void)yResolution;
  return 0;
}

}  // namespace vellora
