#include "QVPDFDev/truetype/truetype_tables.h"

#include <algorithm>

#include "QVPDFDev/truetype/ttf_metrics.h"
#include "qvplatform/sfnt_reader.h"

namespace vellora {

namespace {

using qvplatform::ByteReader;
using qvplatform::SfntTableRecord;
using qvplatform::SfntTag;

// Preference among format-4 subtables: Unicode BMP first, symbol last.
int Format4Rank(uint16_t platform, uint16_t encoding) {
  if (platform == 3 && encoding == 1) return 4;
  if (platform == 0) return 3;
  if (platform == 3 && encoding == 0) return 2;
  return 1;
}

}  // namespace

TQV_TTF_CMAP::TQV_TTF_CMAP(const uint8_t* data, size_t size) {
  if (data) Parse({data, size});
}

TQV_TTF_CMAP::TQV_TTF_CMAP(std::span<const uint8_t> font) {
  if (font.data()) Parse(font);
}

void TQV_TTF_CMAP::Parse(std::span<const uint8_t> font) {
  qvplatform::SfntDirectory directory;
  if (!qvplatform::ReadStandaloneSfntDirectory(font, &directory)) {
    failed = true;
    return;
  }

  if (const SfntTableRecord* maxp = directory.Find(SfntTag("maxp"))) {
    const ByteReader in(font.subspan(maxp->offset, maxp->length));
    numGlyphs = in.U16(4);
    if (!in.Ok()) {
      failed = true;
      return;
    }
    used.assign(static_cast<size_t>(numGlyphs), 0);
    newNumber.assign(static_cast<size_t>(numGlyphs), 0);
  }

  if (const SfntTableRecord* head = directory.Find(SfntTag("head"))) {
    const ByteReader in(font.subspan(head->offset, head->length));
    unitsPerEm = in.U16(18);
    xMin = in.S16(36);
    yMin = in.S16(38);
    xMax = in.S16(40);
    yMax = in.S16(42);
    indexToLocFormat = in.S16(50);
    // Widths are divided by the em size: a zero em marks the font unusable.
    if (!in.Ok() || unitsPerEm == 0) {
      failed = true;
      return;
    }
  }

  // numGlyphs is maxp's 16-bit count (or 0 without maxp).
  numberOfHMetrics = ReadHorizontalMetrics(font, directory, static_cast<uint16_t>(numGlyphs),
                                           advance, leftBearing);
  if (numberOfHMetrics < 0) {
    failed = true;
    return;
  }

  if (const SfntTableRecord* cmap = directory.Find(SfntTag("cmap"))) {
    if (!ParseCmap(font, cmap->offset, cmap->length)) {
      failed = true;
      return;
    }
  }
  if (segCount == 0 && !hasByteTable) failed = true;
}

bool TQV_TTF_CMAP::ParseCmap(std::span<const uint8_t> font, uint64_t offset, uint64_t length) {
  const ByteReader in(font);
  const uint64_t end = offset + length;
  const uint64_t count = in.U16(offset + 2);
  if (length < 4 || 4 + 8 * count > length) return false;

  int bestRank = 0;
  uint64_t format4 = 0;
  for (uint64_t i = 0; i < count; ++i) {
    const uint64_t record = offset + 4 + 8 * i;
    TQVCmapSubtable subtable;
    subtable.platformId = in.U16(record);
    subtable.encodingId = in.U16(record + 2);
    const uint64_t at = offset + in.U32(record + 4);
    // The subtable must start inside the cmap table, with room for its format.
    if (at <= offset || at + 2 > end) return false;
    subtable.offset = static_cast<uint32_t>(at);
    subtable.format = in.U16(at);
    subtables.push_back(subtable);

    if (subtable.format == 4) {
      const int rank = Format4Rank(subtable.platformId, subtable.encodingId);
      if (rank >= bestRank) {
        bestRank = rank;
        format4 = at;
        format4Platform = subtable.platformId;
        format4Encoding = subtable.encodingId;
      }
    } else if (subtable.format == 0) {
      const std::span<const uint8_t> bytes = in.Bytes(at + 6, 256);
      if (bytes.empty() || at + 6 + 256 > end) return false;
      std::copy(bytes.begin(), bytes.end(), byteTable.begin());
      hasByteTable = true;
    }
  }
  if (bestRank == 0) return true;
  symbolCmap = format4Platform == 3 && format4Encoding == 0;
  return ParseFormat4(font, format4, end);
}

bool TQV_TTF_CMAP::ParseFormat4(std::span<const uint8_t> font, uint64_t offset, uint64_t cmapEnd) {
  const ByteReader in(font);
  const uint64_t length = in.U16(offset + 2);
  const uint64_t segments = in.U16(offset + 6) / 2;
  const uint64_t arraysEnd = offset + 16 + 8 * segments;
  if (!in.Ok() || segments == 0 || arraysEnd > cmapEnd) return false;
  // The 16-bit length of a large table may have wrapped: then the table runs to the end of cmap.
  uint64_t limit = std::min(offset + length, cmapEnd);
  if (limit < arraysEnd) limit = cmapEnd;

  segCount = static_cast<int32_t>(segments);
  endCode.resize(segments);
  startCode.resize(segments);
  idDelta.resize(segments);
  idRangeOffset.resize(segments);
  const uint64_t ends = offset + 14;
  const uint64_t starts = ends + 2 * segments + 2;
  const uint64_t deltas = starts + 2 * segments;
  const uint64_t ranges = deltas + 2 * segments;
  for (uint64_t i = 0; i < segments; ++i) {
    endCode[i] = in.U16(ends + 2 * i);
    startCode[i] = in.U16(starts + 2 * i);
    idDelta[i] = in.S16(deltas + 2 * i);
    idRangeOffset[i] = in.U16(ranges + 2 * i);
    if (i > 0 && endCode[i] < endCode[i - 1]) sortedSegments_ = false;
  }
  glyphIdArray.resize((limit - arraysEnd) / 2);
  for (size_t i = 0; i < glyphIdArray.size(); ++i) glyphIdArray[i] = in.U16(arraysEnd + 2 * i);
  return in.Ok();
}

int32_t TQV_TTF_CMAP::LookupFormat4(int64_t code) const {
  size_t segment = 0;
  if (sortedSegments_) {
    // The first segment whose end code is at least the code.
    segment = static_cast<size_t>(std::lower_bound(endCode.begin(), endCode.end(), code) -
                                  endCode.begin());
    if (segment == endCode.size() || startCode[segment] > code) return 0;
  } else {
    while (segment < endCode.size() && !(endCode[segment] >= code && startCode[segment] <= code))
      ++segment;
    if (segment == endCode.size()) return 0;
  }
  if (idRangeOffset[segment] == 0) return static_cast<int32_t>((code + idDelta[segment]) & 0xFFFF);
  const int64_t index = (code - startCode[segment]) + idRangeOffset[segment] / 2 - segCount +
                        static_cast<int64_t>(segment);
  if (index < 0 || index >= static_cast<int64_t>(glyphIdArray.size())) return 0;
  const int32_t glyph = glyphIdArray[static_cast<size_t>(index)];
  if (glyph == 0) return 0;
  return (glyph + idDelta[segment]) & 0xFFFF;
}

int32_t TQV_TTF_CMAP::GetGlyphIndex(int32_t code) const {
  if (code <= 0) return 0;
  int32_t glyph = segCount > 0 ? InRange(LookupFormat4(code)) : 0;
  if (glyph == 0 && symbolCmap && code <= 0xFF) glyph = InRange(LookupFormat4(code | 0xF000));
  // The byte table is usually Mac Roman: only a symbol font, or a font without a format-4
  // table, falls back to it.
  if (glyph == 0 && hasByteTable && code <= 255 && (segCount == 0 || symbolCmap))
    glyph = InRange(byteTable[static_cast<size_t>(code)]);
  return glyph;
}

int32_t TQV_TTF_CMAP::GlyphForCode(int32_t code, bool preferByteTable) const {
  if (code <= 0) return 0;
  if (preferByteTable && hasByteTable && code < 256)
    return InRange(byteTable[static_cast<size_t>(code)]);
  return GetGlyphIndex(code);
}

void TQV_TTF_CMAP::MarkUsed(int32_t glyph) {
  if (glyph >= 0 && glyph < numGlyphs) used[static_cast<size_t>(glyph)] = 1;
}

void TQV_TTF_CMAP::MarkCode(int32_t code, bool preferByteTable) {
  if (code <= 0) return;
  MarkUsed(GlyphForCode(code, preferByteTable));
  if (code != 9 && code != 32 && code != 160) hasVisibleGlyph = true;
  if (code == 0x03A9) MarkUsed(GetGlyphIndex(0x2126));
  if (code == 0x0394) MarkUsed(GetGlyphIndex(0x2206));
}

}  // namespace vellora
