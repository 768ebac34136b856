// The picture of an enhanced metafile for the screen: rasterised at its own size at 96 pixels
// per inch on white.
#pragma once

#include <QImage>
#include <cstdint>
#include <vector>

namespace brenlow {

// A picture larger than this (in pixels, either side or in all) is refused: its raster would
// take memory out of proportion to the file.
constexpr std::int32_t kMaxPictureSide = 16384;
constexpr std::int64_t kMaxPicturePixels = std::int64_t{64} << 20;

// Raises std::runtime_error when the bytes are no enhanced metafile or too large to show.
QImage RasterisePicture(const std::vector<std::uint8_t>& bytes);

}  // namespace brenlow
