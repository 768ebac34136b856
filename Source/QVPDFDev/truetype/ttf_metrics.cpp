#include "QVPDFDev/truetype/ttf_metrics.h"

#include "qvplatform/sfnt_tables.h"

namespace vellora {

using qvplatform::ByteReader;
using qvplatform::SfntTag;

int32_t ReadHorizontalMetrics(std::span<const uint8_t> font,
                              const qvplatform::SfntDirectory& directory, uint16_t numGlyphs,
                              std::vector<int32_t>& advance, std::vector<int32_t>& leftBearing) {
  advance.assign(numGlyphs, 0);
  leftBearing.assign(numGlyphs, 0);
  if (!directory.Find(SfntTag("hmtx"))) return 0;
  const ByteReader hhea(directory.Table(font, SfntTag("hhea")));
  const uint16_t longCount = hhea.U16(34);
  if (!hhea.Ok()) return -1;
  if (numGlyphs == 0) return longCount;
  qvplatform::HorizontalMetrics metrics;
  if (!metrics.Init(directory.Table(font, SfntTag("hmtx")), longCount, numGlyphs)) return -1;
  for (uint16_t glyph = 0; glyph < numGlyphs; ++glyph) {
    advance[glyph] = metrics.Advance(glyph);
    leftBearing[glyph] = metrics.LeftBearing(glyph);
  }
  return longCount;
}

}  // namespace vellora
