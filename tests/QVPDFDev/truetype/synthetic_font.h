// Hand-made TrueType fonts for edge cases that real fonts and fontTools do not produce.
#pragma once

#include <cstdint>
#include <map>
#include <string>
#include <vector>

namespace vellora_test {

using Bytes = std::vector<uint8_t>;

struct CmapSegment {
  uint16_t start;
  uint16_t end;
  int16_t delta;
  std::vector<uint16_t> glyphs;  // non-empty: mapped through the glyph id array
};

struct Component {
  uint16_t glyph;
  int16_t dx;
  int16_t dy;
  uint16_t scaleFlag = 0;  // 0x08, 0x40 or 0x80 (scale values of 0.5 follow)
};

// A glyph: a box with four on-curve points, or a composite when components are given.
struct GlyphSpec {
  int16_t size = 100;
  std::vector<Component> components;
};

Bytes Head(uint16_t unitsPerEm, int16_t locFormat);
Bytes Maxp(uint16_t numGlyphs);
Bytes Hhea(uint16_t numberOfHMetrics);
// Long metrics (advance, bearing) for the first glyphs, then bearings only.
Bytes Hmtx(const std::vector<std::pair<uint16_t, int16_t>>& longMetrics,
           const std::vector<int16_t>& bearings);
// A cmap table with one format-4 subtable per (platform, encoding) given.
Bytes CmapFormat4(const std::vector<CmapSegment>& segments,
                  const std::vector<std::pair<uint16_t, uint16_t>>& encodings = {{3, 1}});

// A complete font: head, maxp, hhea, hmtx (advance 500 + glyph), glyf and loca from the glyph
// specs, and a cmap mapping 'A' + i to glyph i + 1.
std::map<std::string, Bytes> SyntheticTables(const std::vector<GlyphSpec>& glyphs,
                                             bool longLoca = false);
Bytes Assemble(const std::map<std::string, Bytes>& tables);

// Offset and length of a table inside a font file (offset 0 when absent).
std::pair<uint32_t, uint32_t> FindTable(const Bytes& font, const char* tag);

}  // namespace vellora_test
