// Glyph locations (loca) and composite glyph components (glyf) of a TrueType font.
#pragma once

#include <cstdint>
#include <span>

namespace vellora {

// The glyph data ranges that loca gives inside glyf.
class TtfGlyphLocations {
 public:
  // False when loca is too short for numGlyphs + 1 entries.
  bool Init(std::span<const uint8_t> loca, std::span<const uint8_t> glyf, uint32_t numGlyphs,
            bool longFormat);
  // The data of a glyph (empty for an empty glyph). False when its range is reversed or leaves
  // glyf.
  bool Glyph(uint32_t glyph, std::span<const uint8_t>& data) const;
  uint32_t numGlyphs() const { return numGlyphs_; }

 private:
  uint64_t Entry(uint32_t index) const;

  std::span<const uint8_t> loca_;
  std::span<const uint8_t> glyf_;
  uint32_t numGlyphs_ = 0;
  bool long_ = false;
};

// A composite glyph has a negative contour count.
bool TtfIsComposite(std::span<const uint8_t> glyph);

// Walks the components of a composite glyph: flags, glyph index, arguments of 2 or 4 bytes
// (ARG_1_AND_2_ARE_WORDS), then 0, 2, 4 or 8 bytes of scale (WE_HAVE_A_SCALE,
// WE_HAVE_AN_X_AND_Y_SCALE, WE_HAVE_A_TWO_BY_TWO), while MORE_COMPONENTS is set.
class TtfComponentIterator {
 public:
  explicit TtfComponentIterator(std::span<const uint8_t> glyph) : glyph_(glyph) {}
  // The next component's glyph index and the offset of that index inside the glyph data.
  // False at the end or when the glyph is damaged (then damaged() is true).
  bool Next(uint16_t& glyphIndex, uint32_t& indexOffset);
  bool damaged() const { return damaged_; }

 private:
  std::span<const uint8_t> glyph_;
  uint64_t at_ = 10;  // after numberOfContours and the bounding box
  bool more_ = true;
  bool damaged_ = false;
};

}  // namespace vellora
