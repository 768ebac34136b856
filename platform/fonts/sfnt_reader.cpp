#include "qvplatform/sfnt_reader.h"

#include <unordered_set>

namespace qvplatform {

std::uint8_t ByteReader::U8(std::uint64_t offset) const {
  if (!Has(offset, 1)) {
    ok_ = false;
    return 0;
  }
  return data_[offset];
}

std::uint16_t ByteReader::U16(std::uint64_t offset) const {
  if (!Has(offset, 2)) {
    ok_ = false;
    return 0;
  }
  return static_cast<std::uint16_t>(data_[offset] << 8 | data_[offset + 1]);
}

std::uint32_t ByteReader::U32(std::uint64_t offset) const {
  if (!Has(offset, 4)) {
    ok_ = false;
    return 0;
  }
  return static_cast<std::uint32_t>(data_[offset]) << 24 |
         static_cast<std::uint32_t>(data_[offset + 1]) << 16 |
         static_cast<std::uint32_t>(data_[offset + 2]) << 8 |
         static_cast<std::uint32_t>(data_[offset + 3]);
}

ByteSpan ByteReader::Bytes(std::uint64_t offset, std::uint64_t length) const {
  if (!Has(offset, length)) {
    ok_ = false;
    return {};
  }
  return data_.subspan(offset, length);
}

const SfntTableRecord* SfntDirectory::Find(std::uint32_t tag) const {
  for (const auto& table : tables)
    if (table.tag == tag) return &table;
  return nullptr;
}

ByteSpan SfntDirectory::Table(ByteSpan file, std::uint32_t tag) const {
  const SfntTableRecord* t = Find(tag);
  if (!t) return {};
  return file.subspan(t->offset, t->length);
}

namespace {

bool IsFaceVersion(std::uint32_t version) {
  return version == kSfntVersionTrueType || version == kSfntVersionApple ||
         version == kSfntVersionCff;
}

// How strictly an offset table is read: as a face the font service opens, or as the standalone
// file a writer embeds (any version, every record, no limit on the sum of the tables).
enum class DirectoryRules { kFace, kStandalone };

bool ReadOffsetTable(ByteSpan file, std::uint64_t start, DirectoryRules rules, SfntDirectory* out,
                     std::string* error) {
  const ByteReader r(file);
  auto fail = [&](const char* why) {
    out->tables.clear();
    if (error) *error = why;
    return false;
  };
  const bool face = rules == DirectoryRules::kFace;
  out->version = r.U32(start);
  if (!r.Ok() || (face && !IsFaceVersion(out->version))) return fail("bad face offset table");
  const std::uint16_t tableCount = r.U16(start + 4);
  const std::uint64_t dir = start + 12;
  if (!r.Ok() || !r.Has(dir, static_cast<std::uint64_t>(tableCount) * 16))
    return fail("table directory outside the file");

  out->tables.clear();
  out->tables.reserve(tableCount);
  std::unordered_set<std::uint32_t> seen;
  // Tables may share bytes, but a directory whose tables add up to far more than the file
  // is made to blow up the copies built from it (a standalone font, a subset).
  const std::uint64_t maxTotal = 2 * static_cast<std::uint64_t>(file.size());
  std::uint64_t total = 0;
  for (std::uint16_t i = 0; i < tableCount; ++i) {
    const std::uint64_t rec = dir + static_cast<std::uint64_t>(i) * 16;
    SfntTableRecord t{r.U32(rec), r.U32(rec + 4), r.U32(rec + 8), r.U32(rec + 12)};
    if (!r.Has(t.offset, t.length)) return fail("table outside the file");
    if (face) {
      if (!seen.insert(t.tag).second) continue;
      total += t.length;
      if (total > maxTotal) return fail("tables larger than the file");
    }
    out->tables.push_back(t);
  }
  return true;
}

}  // namespace

std::uint32_t SfntFaceCount(ByteSpan file) {
  const ByteReader r(file);
  const std::uint32_t version = r.U32(0);
  if (!r.Ok()) return 0;
  if (IsFaceVersion(version)) return 1;
  if (version != kSfntCollection) return 0;
  const std::uint32_t count = r.U32(8);
  // Each face needs a 4-byte offset in the header.
  if (!r.Ok() || !r.Has(12, static_cast<std::uint64_t>(count) * 4)) return 0;
  return count;
}

bool ReadSfntDirectory(ByteSpan file, std::uint32_t index, SfntDirectory* out, std::string* error) {
  const std::uint32_t count = SfntFaceCount(file);
  if (count == 0) {
    if (error) *error = "not an sfnt font file";
    return false;
  }
  if (index >= count) {
    if (error) *error = "face index out of range";
    return false;
  }
  const ByteReader r(file);
  std::uint64_t start = 0;
  if (r.U32(0) == kSfntCollection) start = r.U32(12 + static_cast<std::uint64_t>(index) * 4);
  return ReadOffsetTable(file, start, DirectoryRules::kFace, out, error);
}

bool ReadStandaloneSfntDirectory(ByteSpan file, SfntDirectory* out) {
  return ReadOffsetTable(file, 0, DirectoryRules::kStandalone, out, nullptr);
}

std::uint32_t SfntChecksum(ByteSpan data) {
  std::uint32_t sum = 0;
  std::size_t i = 0;
  for (; i + 4 <= data.size(); i += 4)
    sum += static_cast<std::uint32_t>(data[i]) << 24 |
           static_cast<std::uint32_t>(data[i + 1]) << 16 |
           static_cast<std::uint32_t>(data[i + 2]) << 8 | data[i + 3];
  std::uint32_t tail = 0;
  for (int shift = 24; i < data.size(); ++i, shift -= 8)
    tail |= static_cast<std::uint32_t>(data[i]) << shift;
  return sum + tail;
}

}  // namespace qvplatform
