// The colour record that replaces a device colour with an explicit RGB, CMYK or grey colour.
// Metafile comments carry it byte for byte; the device keeps one each for text, stroke and fill.
#pragma once

#include <cstdint>

namespace vellora {

// Colour modes. The negative modes ask for the device colour to be converted when written.
constexpr std::int32_t kColorModeNone = 0;
constexpr std::int32_t kColorModeRGB = 1;
constexpr std::int32_t kColorModeCMYK = 2;
constexpr std::int32_t kColorModeGrey = 3;
constexpr std::int32_t kColorModeToCMYK = -2;
constexpr std::int32_t kColorModeToGrey = -3;

struct TQVColorRecord {
  std::int32_t id = 0;  // the record's target as it arrived
  std::int32_t magic = 0;
  std::int32_t mode = kColorModeNone;
  float c[4] = {0, 0, 0, 0};  // RGB, CMYK or grey in 0..1 by mode
};
static_assert(sizeof(TQVColorRecord) == 28, "the record is copied from 28 bytes of comment data");

}  // namespace vellora
