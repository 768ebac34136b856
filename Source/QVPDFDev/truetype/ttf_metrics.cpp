#include "QVPDFDev/truetype/ttf_metrics.h"

#include <algorithm>

#include "QVPDFDev/truetype/ttf_bytes.h"
#include "QVPDFDev/truetype/ttf_directory.h"

namespace vellora {

int32_t ReadHorizontalMetrics(std::span<const uint8_t> font, const TtfDirectory& directory,
                              int32_t numGlyphs, std::vector<int32_t>& advance,
                              std::vector<int32_t>& leftBearing) {
  const size_t count = numGlyphs > 0 ? static_cast<size_t>(numGlyphs) : 0;
  advance.assign(count, 0);
  leftBearing.assign(count, 0);
  if (!directory.Find(TtfTag("hmtx"))) return 0;
  const TtfReader hhea(directory.Table(font, TtfTag("hhea")));
  const int32_t longCount = hhea.U16(34);
  if (hhea.failed()) return -1;
  if (count == 0) return longCount;
  const TtfReader hmtx(directory.Table(font, TtfTag("hmtx")));
  const size_t longRead = std::min<size_t>(static_cast<size_t>(longCount), count);
  if (longRead == 0 || !hmtx.Has(0, 4 * uint64_t{longRead})) return -1;
  for (size_t i = 0; i < longRead; ++i) {
    advance[i] = hmtx.U16(4 * i);
    leftBearing[i] = hmtx.S16(4 * i + 2);
  }
  const uint64_t bearings = 4 * uint64_t{longRead};
  for (size_t i = longRead; i < count; ++i) {
    advance[i] = advance[longRead - 1];
    const uint64_t at = bearings + 2 * uint64_t{i - longRead};
    leftBearing[i] = hmtx.Has(at, 2) ? hmtx.S16(at) : 0;
  }
  return longCount;
}

}  // namespace vellora
