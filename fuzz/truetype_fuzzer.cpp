// The TrueType table reader and the subsetter on arbitrary bytes: nothing may crash, hang or
// read outside the input, and every subset that is built must be a sound font file.
#include <cstddef>
#include <cstdint>
#include <span>
#include <vector>

#include "QVPDFDev/truetype/truetype_subset.h"
#include "QVPDFDev/truetype/truetype_tables.h"
#include "QVPDFDev/truetype/ttf_sfnt_writer.h"
#include "qvplatform/sfnt_reader.h"

using namespace vellora;

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  if (size > (4u << 20)) return 0;
  const std::span<const uint8_t> font(data, size);
  TQV_TTF_CMAP tables(font);
  for (int32_t code : {0x20, 0x41, 0x61, 0xC4, 0xE9, 0x3A9, 0x394, 0x20AC, 0xF041, 0xFFFF})
    tables.MarkCode(code, code < 0x100 && code & 1);

  // Marks and CIDs for a spread of glyphs, with gaps, repeats and glyphs without a CID.
  std::vector<uint8_t> used = tables.used;
  if (used.empty()) used.assign(64, 0);
  std::vector<uint16_t> numbers(used.size());
  for (size_t glyph = 0; glyph < used.size(); ++glyph) {
    if (glyph % 7 == 3) used[glyph] = 1;
    numbers[glyph] = glyph % 5 ? static_cast<uint16_t>(glyph * 3 % 1000) : 0;
  }

  for (const uint8_t kind : {uint8_t{0}, uint8_t{1}, uint8_t{2}}) {
    TQVSubsetResult result;
    if (!BuildTrueTypeSubset({font, used, numbers, kind}, result)) continue;
    qvplatform::SfntDirectory directory;
    const TQV_TTF_CMAP reread(result.data);
    if (!qvplatform::ReadStandaloneSfntDirectory(result.data, &directory) ||
        qvplatform::SfntChecksum(result.data) != 0xB1B0AFBAu ||
        reread.numGlyphs != result.glyphCount ||
        (kind == 0 && result.glyphCount != tables.numGlyphs && !tables.failed))
      __builtin_trap();
  }
  return 0;
}
