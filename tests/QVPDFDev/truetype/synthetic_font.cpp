#include "synthetic_font.h"

#include "QVPDFDev/truetype/ttf_bytes.h"
#include "QVPDFDev/truetype/ttf_sfnt_writer.h"
#include "qvplatform/sfnt_reader.h"

namespace vellora_test {

using vellora::PutU16;
using vellora::PutU32;

Bytes Head(uint16_t unitsPerEm, int16_t locFormat) {
  Bytes head(54, 0);
  vellora::SetU32(head, 0, 0x00010000);
  vellora::SetU32(head, 12, 0x5F0F3CF5);
  vellora::SetU16(head, 18, unitsPerEm);
  vellora::SetU16(head, 36, static_cast<uint16_t>(-10));
  vellora::SetU16(head, 38, static_cast<uint16_t>(-20));
  vellora::SetU16(head, 40, 900);
  vellora::SetU16(head, 42, 800);
  vellora::SetU16(head, 50, static_cast<uint16_t>(locFormat));
  return head;
}

Bytes Maxp(uint16_t numGlyphs) {
  Bytes maxp;
  PutU32(maxp, 0x00010000);
  PutU16(maxp, numGlyphs);
  maxp.resize(32, 0);
  vellora::SetU16(maxp, 14, 3);  // maxComponentDepth
  return maxp;
}

Bytes Hhea(uint16_t numberOfHMetrics) {
  Bytes hhea(36, 0);
  vellora::SetU32(hhea, 0, 0x00010000);
  vellora::SetU16(hhea, 34, numberOfHMetrics);
  return hhea;
}

Bytes Hmtx(const std::vector<std::pair<uint16_t, int16_t>>& longMetrics,
           const std::vector<int16_t>& bearings) {
  Bytes hmtx;
  for (const auto& [advance, bearing] : longMetrics) {
    PutU16(hmtx, advance);
    PutU16(hmtx, static_cast<uint16_t>(bearing));
  }
  for (int16_t bearing : bearings) PutU16(hmtx, static_cast<uint16_t>(bearing));
  return hmtx;
}

Bytes CmapFormat4(const std::vector<CmapSegment>& segments,
                  const std::vector<std::pair<uint16_t, uint16_t>>& encodings) {
  const size_t count = segments.size();
  Bytes sub;
  PutU16(sub, 4);
  PutU16(sub, 0);  // length, set below
  PutU16(sub, 0);
  PutU16(sub, static_cast<uint16_t>(2 * count));
  PutU16(sub, 0);
  PutU16(sub, 0);
  PutU16(sub, 0);
  for (const CmapSegment& s : segments) PutU16(sub, s.end);
  PutU16(sub, 0);
  for (const CmapSegment& s : segments) PutU16(sub, s.start);
  for (const CmapSegment& s : segments) PutU16(sub, static_cast<uint16_t>(s.delta));
  // Range offsets point from their own slot into the glyph id array that follows.
  std::vector<uint16_t> array;
  for (size_t i = 0; i < count; ++i) {
    const CmapSegment& s = segments[i];
    if (s.glyphs.empty()) {
      PutU16(sub, 0);
    } else {
      PutU16(sub, static_cast<uint16_t>(2 * (count - i) + 2 * array.size()));
      array.insert(array.end(), s.glyphs.begin(), s.glyphs.end());
    }
  }
  for (uint16_t glyph : array) PutU16(sub, glyph);
  vellora::SetU16(sub, 2, static_cast<uint16_t>(sub.size()));

  Bytes cmap;
  PutU16(cmap, 0);
  PutU16(cmap, static_cast<uint16_t>(encodings.size()));
  for (const auto& [platform, encoding] : encodings) {
    PutU16(cmap, platform);
    PutU16(cmap, encoding);
    PutU32(cmap, static_cast<uint32_t>(4 + 8 * encodings.size()));
  }
  cmap.insert(cmap.end(), sub.begin(), sub.end());
  return cmap;
}

namespace {

Bytes GlyphData(const GlyphSpec& glyph) {
  Bytes data;
  if (glyph.components.empty()) {
    PutU16(data, 1);
    for (int v : {0, 0, int{glyph.size}, int{glyph.size}}) PutU16(data, static_cast<uint16_t>(v));
    PutU16(data, 3);  // last point of the contour
    PutU16(data, 0);  // no instructions
    for (int i = 0; i < 4; ++i) data.push_back(0x01);
    for (int v : {0, 0, int{glyph.size}, 0}) PutU16(data, static_cast<uint16_t>(v));  // x deltas
    for (int v : {0, int{glyph.size}, 0, -int{glyph.size}}) PutU16(data, static_cast<uint16_t>(v));
    return data;
  }
  PutU16(data, 0xFFFF);
  for (int v : {0, 0, 200, 200}) PutU16(data, static_cast<uint16_t>(v));
  for (size_t i = 0; i < glyph.components.size(); ++i) {
    const Component& c = glyph.components[i];
    uint16_t flags = 0x0001 | 0x0002 | c.scaleFlag;  // word arguments that are offsets
    if (i + 1 < glyph.components.size()) flags |= 0x0020;
    PutU16(data, flags);
    PutU16(data, c.glyph);
    PutU16(data, static_cast<uint16_t>(c.dx));
    PutU16(data, static_cast<uint16_t>(c.dy));
    const int scales = c.scaleFlag == 0x08 ? 1 : c.scaleFlag == 0x40 ? 2 : c.scaleFlag ? 4 : 0;
    for (int s = 0; s < scales; ++s) PutU16(data, scales == 4 && (s == 1 || s == 2) ? 0 : 0x2000);
  }
  return data;
}

}  // namespace

std::map<std::string, Bytes> SyntheticTables(const std::vector<GlyphSpec>& glyphs, bool longLoca) {
  std::map<std::string, Bytes> tables;
  const uint16_t count = static_cast<uint16_t>(glyphs.size());
  tables["head"] = Head(1000, longLoca ? 1 : 0);
  tables["maxp"] = Maxp(count);
  tables["hhea"] = Hhea(count);
  std::vector<std::pair<uint16_t, int16_t>> metrics;
  Bytes glyf, loca;
  for (uint16_t i = 0; i < count; ++i) {
    metrics.push_back({static_cast<uint16_t>(500 + i), static_cast<int16_t>(i)});
    longLoca ? PutU32(loca, static_cast<uint32_t>(glyf.size()))
             : PutU16(loca, static_cast<uint32_t>(glyf.size() / 2));
    const Bytes data = GlyphData(glyphs[i]);
    glyf.insert(glyf.end(), data.begin(), data.end());
    if (glyf.size() % 2) glyf.push_back(0);
  }
  longLoca ? PutU32(loca, static_cast<uint32_t>(glyf.size()))
           : PutU16(loca, static_cast<uint32_t>(glyf.size() / 2));
  tables["hmtx"] = Hmtx(metrics, {});
  tables["glyf"] = glyf;
  tables["loca"] = loca;
  tables["cmap"] = CmapFormat4(
      {{0x41, static_cast<uint16_t>(0x41 + count - 2), static_cast<int16_t>(1 - 0x41), {}},
       {0xFFFF, 0xFFFF, 1, {}}});
  return tables;
}

Bytes Assemble(const std::map<std::string, Bytes>& tables) {
  vellora::TtfSfntWriter writer;
  for (const auto& [tag, data] : tables) {
    char name[5] = {' ', ' ', ' ', ' ', 0};
    for (size_t i = 0; i < 4 && i < tag.size(); ++i) name[i] = tag[i];
    writer.Add(qvplatform::SfntTag(name), data);
  }
  Bytes font;
  writer.Write(font);
  return font;
}

std::pair<uint32_t, uint32_t> FindTable(const Bytes& font, const char* tag) {
  qvplatform::SfntDirectory directory;
  if (!qvplatform::ReadStandaloneSfntDirectory(font, &directory)) return {0, 0};
  char name[5] = {tag[0], tag[1], tag[2], tag[3], 0};
  const qvplatform::SfntTableRecord* record = directory.Find(qvplatform::SfntTag(name));
  return record ? std::pair{record->offset, record->length} : std::pair<uint32_t, uint32_t>{0, 0};
}

}  // namespace vellora_test
