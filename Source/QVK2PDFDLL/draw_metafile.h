// Drawing a metafile handle of the platform into the PDF device's open page or form, or onto
// a page of its own when none is open (the player's picture bracket).
#pragma once

#include <cstdint>
#include <vector>

#include "QVPDFDev/device/pdf_device.h"
#include "qvplatform/metafile.h"

namespace vellora {

// Plays the metafile of the handle with the player's placement arguments (device units; sizes
// and resolutions of 0 or less mean the picture's own). An old-style metafile is translated
// into an enhanced one first (old_style_metafile.h). Inside open content the device-context
// state is saved around the picture; otherwise the device starts from a reset. buffer receives
// the metafile's bytes (kept by the caller for the next metafile). Raises for a handle that is
// no metafile; the caller's handle is never deleted.
void DrawMetafile(TQVPDFDevice& device, std::vector<std::uint8_t>& buffer,
                  qvplatform::HANDLE32 metafile, std::int32_t x, std::int32_t y, std::int32_t width,
                  std::int32_t height, std::int32_t xResolution, std::int32_t yResolution);

}  // namespace vellora
