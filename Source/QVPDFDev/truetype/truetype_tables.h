// The TrueType tables the PDF writer reads (cmap formats 4 and 0, head, maxp, hhea, hmtx) and
// the per-glyph bookkeeping that subsetting and CID allocation fill in while pages are drawn.
#pragma once

#include <array>
#include <cstddef>
#include <cstdint>
#include <span>
#include <vector>

namespace vellora {

// One encoding record of the cmap table as found in the font.
struct TQVCmapSubtable {
  uint16_t platformId = 0;
  uint16_t encodingId = 0;
  uint16_t format = 0;
  uint32_t offset = 0;  // from the start of the font file
};

class TQV_TTF_CMAP {
 public:
  // An empty object (no font data): every lookup gives 0.
  TQV_TTF_CMAP() = default;
  // Parses at once; a null pointer gives an empty object. The caller checks failed. The data is
  // not kept.
  TQV_TTF_CMAP(const uint8_t* data, size_t size);
  explicit TQV_TTF_CMAP(std::span<const uint8_t> font);

  // Glyph index of a character code, 0 when none. Format 4 first; in a symbol font (its format
  // 4 table is (3,0)) a code up to 0xFF is retried as U+F000 + code, then looked up in the byte
  // table. A font without a format-4 table maps codes up to 255 through the byte table.
  int32_t GetGlyphIndex(int32_t code) const;

  // The glyph that marking takes for a code: the byte table's entry when preferred, present and
  // the code is below 256, else GetGlyphIndex. 0 when none or out of range.
  int32_t GlyphForCode(int32_t code, bool preferByteTable) const;
  // Records the glyph of a character as used; codes other than 9, 32 and 160 set
  // hasVisibleGlyph. U+03A9 also marks the glyph of U+2126, U+0394 that of U+2206.
  void MarkCode(int32_t code, bool preferByteTable);
  // Marks one glyph used (ignored outside the glyph count).
  void MarkUsed(int32_t glyph);

  bool hasByteTable = false;
  int32_t segCount = 0;
  std::vector<uint16_t> endCode;
  std::vector<uint16_t> startCode;
  std::vector<int32_t> idDelta;
  std::vector<uint16_t> idRangeOffset;
  std::vector<uint16_t> glyphIdArray;
  std::array<uint8_t, 256> byteTable{};
  int32_t unitsPerEm = 2048;
  int32_t xMin = 0;
  int32_t yMin = 0;
  int32_t xMax = 0;
  int32_t yMax = 0;
  bool failed = false;
  int32_t numGlyphs = 0;
  int32_t highestCid = 0;
  bool hasVisibleGlyph = false;
  std::vector<uint8_t> used;
  std::vector<uint16_t> newNumber;
  std::vector<int32_t> advance;
  std::vector<int32_t> leftBearing;

  // Every encoding record of the cmap table, in file order.
  std::vector<TQVCmapSubtable> subtables;
  // Platform and encoding of the format-4 subtable in use (the first found of (3,1), any
  // platform-0 table, (3,0), any other; a later one of the same rank replaces an earlier one).
  int32_t format4Platform = -1;
  int32_t format4Encoding = -1;
  // The format-4 subtable in use is a Windows symbol table (3,0).
  bool symbolCmap = false;
  int32_t numberOfHMetrics = 0;
  int32_t indexToLocFormat = 0;

 private:
  void Parse(std::span<const uint8_t> font);
  bool ParseCmap(std::span<const uint8_t> font, uint64_t offset, uint64_t length);
  bool ParseFormat4(std::span<const uint8_t> font, uint64_t offset, uint64_t cmapEnd);
  int32_t LookupFormat4(int64_t code) const;
  int32_t InRange(int32_t glyph) const { return glyph > 0 && glyph < numGlyphs ? glyph : 0; }

  bool sortedSegments_ = true;
};

}  // namespace vellora
