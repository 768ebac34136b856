// The image commands of QVPDF_Do: placing an image (5574, QVPDF_EXBITMAP) and adding an
// ICC-based colour space (5581). Each raises for a failure; the entry point turns it into -1.
#pragma once

#include <cstdint>

#include "QVK2PDFDLL/engine_context.h"

namespace vellora {

// 5574: unless the record's image number is 1 or more, the image is made from the bitmap
// handle, else the DIB (drawn at once into the rectangle at X, Y, Width, Height), else the
// image data; its number goes back into the record. Except on the DIB road the image is then
// drawn at the head's X, Y, Width, Height. Rectangles are device units of the page, as the
// page record's resolution gives them. Raises "Wrong Arguments for QVPDF_EXBITMAP" without a
// record or an image source.
std::int32_t DrawImageCommand(TQVPDFEngineContext& context, TQVPDFCommand* record);

// 5581: the profile at IccProfile (ProfileLength bytes; none: the built-in sRGB profile) with
// Components components under the head's name, its alternate text as the intent text. A
// profile of other than 1, 3 or 4 components, which no PDF colour space has, is refused.
std::int32_t AddColorSpaceCommand(TQVPDFEngineContext& context, const TQVPDFCommand* record);

}  // namespace vellora
