// Resolution of colour values to RGB.
#pragma once

#include <cstdint>

#include "qvplatform/wintypes.h"

namespace vellora {

// A colour value with bit 31 set names a system colour by its low byte and becomes that
// colour of the default desktop scheme (black for an unknown index); any other value keeps
// its low three bytes (red, green, blue).
qvplatform::COLORREF ColorToRGB(std::uint32_t color);

}  // namespace vellora
