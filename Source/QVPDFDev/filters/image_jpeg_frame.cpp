#include "QVPDFDev/filters/image_jpeg_frame.h"

namespace vellora {
namespace {

std::uint32_t Be16(const std::uint8_t* p) { return std::uint32_t{p[0]} << 8 | p[1]; }

// Start-of-frame markers: C0 to CF except DHT (C4), JPG (C8) and DAC (CC).
bool IsFrameMarker(std::uint8_t marker) {
  return marker >= 0xC0 && marker <= 0xCF && marker != 0xC4 && marker != 0xC8 && marker != 0xCC;
}

}  // namespace

bool ReadJPEGFrame(const std::uint8_t* data, std::size_t size, TQVJPEGFrame* frame) {
  if (data == nullptr || size < 4 || data[0] != 0xFF || data[1] != 0xD8) return false;
  bool haveFrame = false;
  TQVJPEGFrame found;
  std::size_t pos = 2;
  // Each pass consumes at least one byte, so the walk ends.
  while (pos < size) {
    if (data[pos] != 0xFF) return false;            // only markers lie between segments
    while (pos < size && data[pos] == 0xFF) ++pos;  // fill bytes
    if (pos >= size) return false;
    const std::uint8_t marker = data[pos++];
    if (marker == 0x01 || (marker >= 0xD0 && marker <= 0xD7)) continue;  // no length
    if (marker == 0xD8 || marker == 0xD9 || marker == 0x00) return false;
    if (size - pos < 2) return false;
    const std::uint32_t length = Be16(data + pos);
    if (length < 2 || length > size - pos) return false;
    const std::uint8_t* segment = data + pos;
    if (IsFrameMarker(marker)) {
      if (haveFrame || length < 8) return false;
      found.precision = segment[2];
      found.height = static_cast<int>(Be16(segment + 3));
      found.width = static_cast<int>(Be16(segment + 5));
      found.components = segment[7];
      if (length < 8 + 3 * std::uint32_t{segment[7]}) return false;
      haveFrame = true;
    } else if (marker == 0xDA) {
      // The first scan: its header must be whole and follow the frame.
      if (!haveFrame || length < 3 || segment[2] == 0 || length < 6 + 2 * std::uint32_t{segment[2]})
        return false;
      if (length >= size - pos) return false;  // no scan data
      if (found.width <= 0 || found.height <= 0 || found.precision != 8) return false;
      if (found.components != 1 && found.components != 3 && found.components != 4) return false;
      *frame = found;
      return true;
    }
    pos += length;
  }
  return false;
}

}  // namespace vellora
