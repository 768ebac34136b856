// The two ways the platform reads an offset table: a face as the font service opens it, and a
// standalone file as the PDF writer embeds it; and the hmtx lookup both use.
#include <gtest/gtest.h>

#include <cstdint>
#include <string>
#include <vector>

#include "qvplatform/sfnt_reader.h"
#include "qvplatform/sfnt_tables.h"

namespace qvplatform {
namespace {

using Bytes = std::vector<std::uint8_t>;

void Put16(Bytes& out, std::uint32_t v) {
  out.push_back(static_cast<std::uint8_t>(v >> 8));
  out.push_back(static_cast<std::uint8_t>(v));
}
void Put32(Bytes& out, std::uint32_t v) {
  Put16(out, v >> 16);
  Put16(out, v & 0xFFFF);
}

struct Record {
  const char* tag;
  std::uint32_t offset, length;
};

// An offset table with the given records, followed by `body` bytes of data.
Bytes OffsetTable(std::uint32_t version, const std::vector<Record>& records, std::size_t body) {
  Bytes out;
  Put32(out, version);
  Put16(out, static_cast<std::uint32_t>(records.size()));
  Put16(out, 0);
  Put16(out, 0);
  Put16(out, 0);
  for (const Record& r : records) {
    const char name[5] = {r.tag[0], r.tag[1], r.tag[2], r.tag[3], 0};
    Put32(out, SfntTag(name));
    Put32(out, 0);
    Put32(out, r.offset);
    Put32(out, r.length);
  }
  out.resize(out.size() + body, 0);
  return out;
}

Bytes Truncated(Bytes bytes, std::size_t cut) {
  bytes.resize(bytes.size() > cut ? bytes.size() - cut : 0);
  return bytes;
}

TEST(SfntDirectory, FaceAndStandaloneRulesDifferOnlyWhereTheWriterNeedsIt) {
  struct Case {
    const char* what;
    Bytes file;
    bool face;               // ReadSfntDirectory succeeds
    std::size_t faceTables;  // tables it keeps
    bool standalone;         // ReadStandaloneSfntDirectory succeeds
    std::size_t standaloneTables;
  };
  const std::uint32_t data = 12 + 3 * 16;  // where the body starts with three records
  const Case cases[] = {
      {"a plain face",
       OffsetTable(kSfntVersionTrueType,
                   {{"head", data, 8}, {"cmap", data + 8, 8}, {"maxp", data, 4}}, 16),
       true, 3, true, 3},
      // Any version is read by the writer, which decides for itself what it embeds.
      {"unknown version",
       OffsetTable(0x00020000, {{"head", data, 8}, {"cmap", data, 8}, {"maxp", data, 4}}, 16),
       false, 0, true, 3},
      // A repeated tag: the face keeps the first record, the standalone file every record.
      {"repeated tag",
       OffsetTable(kSfntVersionTrueType,
                   {{"head", data, 8}, {"head", data + 8, 8}, {"maxp", data, 4}}, 16),
       true, 2, true, 3},
      // Tables overlapping far beyond the file's size refuse only the face.
      {"tables larger than the file",
       OffsetTable(kSfntVersionTrueType, {{"glyf", 0, 76}, {"loca", 0, 76}, {"hmtx", 0, 76}}, 16),
       false, 0, true, 3},
      {"table outside the file",
       OffsetTable(kSfntVersionTrueType,
                   {{"head", data, 8}, {"cmap", data + 12, 8}, {"maxp", data, 4}}, 16),
       false, 0, false, 0},
      {"records outside the file",
       Truncated(
           OffsetTable(kSfntVersionTrueType, {{"head", 0, 8}, {"cmap", 0, 8}, {"maxp", 0, 4}}, 0),
           1),
       false, 0, false, 0},
      {"shorter than a header", Bytes(10, 0), false, 0, false, 0},
  };
  for (const Case& c : cases) {
    SfntDirectory face, standalone;
    std::string error;
    EXPECT_EQ(ReadSfntDirectory(ByteSpan(c.file), 0, &face, &error), c.face) << c.what;
    EXPECT_EQ(ReadStandaloneSfntDirectory(ByteSpan(c.file), &standalone), c.standalone) << c.what;
    if (c.face) {
      EXPECT_EQ(face.tables.size(), c.faceTables) << c.what;
    }
    EXPECT_EQ(standalone.tables.size(), c.standaloneTables) << c.what;
  }
  // Find and Table give the first record of a tag under both rules.
  const Bytes repeated = OffsetTable(
      kSfntVersionTrueType, {{"head", data, 8}, {"head", data + 8, 4}, {"maxp", data, 4}}, 16);
  SfntDirectory standalone;
  ASSERT_TRUE(ReadStandaloneSfntDirectory(ByteSpan(repeated), &standalone));
  EXPECT_EQ(standalone.Find(SfntTag("head"))->offset, data);
  EXPECT_EQ(standalone.Table(ByteSpan(repeated), SfntTag("head")).size(), 8u);
  EXPECT_TRUE(standalone.Table(ByteSpan(repeated), SfntTag("cmap")).empty());
}

TEST(HorizontalMetrics, LongMetricsThenBearingsWithAShortTable) {
  Bytes hmtx;
  for (std::uint32_t v : {500u, 10u, 600u, 0xFFF6u}) Put16(hmtx, v);  // two long metrics
  Put16(hmtx, 7);  // glyph 2's bearing; glyph 3's is cut off
  HorizontalMetrics metrics;
  ASSERT_TRUE(metrics.Init(ByteSpan(hmtx), 2, 4));
  EXPECT_EQ(metrics.Advance(0), 500);
  EXPECT_EQ(metrics.LeftBearing(1), -10);
  EXPECT_EQ(metrics.Advance(3), 600);  // beyond the long metrics: the last advance
  EXPECT_EQ(metrics.LeftBearing(2), 7);
  EXPECT_EQ(metrics.LeftBearing(3), 0);
  EXPECT_EQ(metrics.Advance(9), 500);  // an unknown glyph is measured as glyph 0
  // numberOfHMetrics above the glyph count is clamped to it.
  EXPECT_TRUE(metrics.Init(ByteSpan(hmtx), 60, 2));
  EXPECT_EQ(metrics.Advance(1), 600);

  EXPECT_FALSE(metrics.Init(ByteSpan(hmtx), 0, 4));           // no long metric
  EXPECT_FALSE(metrics.Init(ByteSpan(hmtx).first(7), 2, 4));  // long metrics cut
  EXPECT_FALSE(metrics.Init(ByteSpan(hmtx), 3, 0));           // no glyphs
}

}  // namespace
}  // namespace qvplatform
