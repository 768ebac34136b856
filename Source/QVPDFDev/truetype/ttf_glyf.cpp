#include "QVPDFDev/truetype/ttf_glyf.h"

#include "qvplatform/sfnt_reader.h"

namespace vellora {

bool TtfGlyphLocations::Init(std::span<const uint8_t> loca, std::span<const uint8_t> glyf,
                             uint32_t numGlyphs, bool longFormat) {
  loca_ = loca;
  glyf_ = glyf;
  numGlyphs_ = numGlyphs;
  long_ = longFormat;
  return loca.size() >= (uint64_t{numGlyphs} + 1) * (longFormat ? 4 : 2);
}

uint64_t TtfGlyphLocations::Entry(uint32_t index) const {
  const qvplatform::ByteReader in(loca_);
  return long_ ? in.U32(4 * uint64_t{index}) : 2 * uint64_t{in.U16(2 * uint64_t{index})};
}

bool TtfGlyphLocations::Glyph(uint32_t glyph, std::span<const uint8_t>& data) const {
  data = {};
  if (glyph >= numGlyphs_) return false;
  const uint64_t start = Entry(glyph);
  const uint64_t end = Entry(glyph + 1);
  if (start > end || end > glyf_.size()) return false;
  data = glyf_.subspan(start, end - start);
  return true;
}

bool TtfIsComposite(std::span<const uint8_t> glyph) {
  return glyph.size() >= 2 && (glyph[0] & 0x80) != 0;
}

bool TtfComponentIterator::Next(uint16_t& glyphIndex, uint32_t& indexOffset) {
  if (!more_ || damaged_) return false;
  const qvplatform::ByteReader in(glyph_);
  const uint16_t flags = in.U16(at_);
  glyphIndex = in.U16(at_ + 2);
  indexOffset = static_cast<uint32_t>(at_ + 2);
  uint64_t size = 4 + ((flags & 0x0001) ? 4 : 2);
  if (flags & 0x0008) {
    size += 2;
  } else if (flags & 0x0040) {
    size += 4;
  } else if (flags & 0x0080) {
    size += 8;
  }
  if (!in.Ok() || !in.Has(at_, size)) {
    damaged_ = true;
    return false;
  }
  at_ += size;
  more_ = (flags & 0x0020) != 0;
  return true;
}

}  // namespace vellora
