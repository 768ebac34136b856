// The TrueType table reader, the subsetter and the platform's font loader on arbitrary bytes:
// nothing may crash, hang or read outside the input, and every subset that is built must be a
// sound font file. A face the loader accepts is asked for the metrics, glyphs and outlines that
// text output and font embedding ask for.
#include <cstddef>
#include <cstdint>
#include <span>
#include <string>
#include <vector>

#include "QVPDFDev/truetype/truetype_subset.h"
#include "QVPDFDev/truetype/truetype_tables.h"
#include "QVPDFDev/truetype/ttf_sfnt_writer.h"
#include "qvplatform/font_face.h"
#include "qvplatform/sfnt_reader.h"

using namespace vellora;

namespace {

volatile std::int64_t g_sink;

void LoadAndMeasure(std::span<const uint8_t> font) {
  std::string error;
  const auto face =
      qvplatform::FontFace::FromBytes(std::vector<uint8_t>(font.begin(), font.end()), 0, &error);
  if (!face) return;
  std::int64_t sum = face->AverageWidth() + face->LowercaseAverageWidth() + face->CapHeight() +
                     face->XHeight() + face->Weight() + face->IsItalic() + face->IsFixedPitch() +
                     static_cast<std::int64_t>(face->FamilyName().size());
  std::vector<qvplatform::OutlineSegment> outline;
  for (const uint32_t code : {0x20u, 0x41u, 0x67u, 0xE9u, 0x20ACu, 0xF041u}) {
    const uint16_t glyph = face->GlyphOf(code);
    sum += glyph;
    for (const bool bold : {false, true}) {
      if (face->Outline(glyph, qvplatform::OutlineStyle{bold, bold}, &outline))
        sum += static_cast<std::int64_t>(outline.size());
    }
  }
  sum += static_cast<std::int64_t>(face->StandaloneSfnt().size());
  g_sink = g_sink + sum;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  if (size > (4u << 20)) return 0;
  const std::span<const uint8_t> font(data, size);
  LoadAndMeasure(font);
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
