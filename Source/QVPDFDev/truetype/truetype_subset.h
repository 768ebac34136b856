// Builds a TrueType subset from a font file and the glyphs a document used.
#pragma once

#include <cstdint>
#include <span>
#include <string>
#include <vector>

namespace vellora {

struct TQVSubsetRequest {
  std::span<const uint8_t> font;        // the whole font file; never changed
  std::span<const uint8_t> used;        // one mark per glyph (shorter: the rest unused)
  std::span<const uint16_t> newNumber;  // CID fonts of kind above 1: the glyph's CID
  uint8_t cidKind = 0;                  // 0 simple font, 1 glyph numbers kept, above 1 CIDs
};

struct TQVSubsetResult {
  std::vector<uint8_t> data;  // the subset font file
  std::string error;          // why no subset could be built
  // Glyph count of the subset, and for each source glyph its number there (-1: left out).
  int32_t glyphCount = 0;
  std::vector<int32_t> position;
};

// Glyph 0 and every used glyph are kept, with all their components (nested ones too). A
// simple font keeps every glyph slot and every table except DSIG (now invalid); glyf and loca
// are rebuilt. A CID font of kind 1 keeps glyph numbers up to the highest kept glyph; of a
// higher kind, a used glyph goes to position newNumber (used glyphs without a free number and
// components brought in get the positions after the highest, in glyph order) and component
// references are renumbered. A CID subset keeps only head, hhea, maxp, OS/2, fpgm, cvt and
// prep of the other tables (the rest index glyphs and would go stale), writes hmtx with one
// long metric per glyph and updates the glyph counts. The directory is written anew (see
// TtfSfntWriter). False, with error set, when the font is not TrueType 1.0, lacks a needed
// table or holds damaged data for a kept glyph.
bool BuildTrueTypeSubset(const TQVSubsetRequest& request, TQVSubsetResult& result);

}  // namespace vellora
