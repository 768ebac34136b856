// The frame header (SOF) of JPEG data handed in from outside, read before the data becomes a
// /DCTDecode image, so that the image dictionary states the size and colour space the data
// really has.
#pragma once

#include <cstddef>
#include <cstdint>

namespace vellora {

struct TQVJPEGFrame {
  int width = 0;
  int height = 0;
  int components = 0;  // 1 grey, 3 RGB (YCbCr), 4 CMYK (YCCK)
  int precision = 0;   // bits per sample
};

// Walks the marker segments of data from its start-of-image marker to the first frame header
// and on to the start of the first scan, every segment checked to lie inside size bytes.
// False for data that is not JPEG, is cut before its first scan, or whose frame has a zero
// size (a size given later by a DNL marker), a precision other than 8 or a component count
// other than 1, 3 and 4: data that a /DCTDecode image cannot carry.
bool ReadJPEGFrame(const std::uint8_t* data, std::size_t size, TQVJPEGFrame* frame);

}  // namespace vellora
