// Horizontal metrics (hhea and hmtx) of a TrueType font.
#pragma once

#include <cstdint>
#include <span>
#include <vector>

#include "qvplatform/sfnt_reader.h"

namespace vellora {

// Fills one advance width and left side bearing per glyph. Glyphs past numberOfHMetrics repeat
// the last long metric's advance and take their own bearing from the array that follows the
// long metrics (0 where a short table lacks it). Returns the font's numberOfHMetrics, or -1
// when hhea is missing or too short, numberOfHMetrics is 0 while there are glyphs, or hmtx
// cannot hold the long metrics. Without hmtx every metric is 0. numGlyphs is maxp's count.
int32_t ReadHorizontalMetrics(std::span<const uint8_t> font,
                              const qvplatform::SfntDirectory& directory, uint16_t numGlyphs,
                              std::vector<int32_t>& advance, std::vector<int32_t>& leftBearing);

}  // namespace vellora
