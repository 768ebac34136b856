// Bounds-checked reading of sfnt font files (TrueType, OpenType, collections): the byte
// reader and the table directory of one face. Font files are untrusted input: every read is
// checked against the data with 64-bit arithmetic, and a read past the end gives 0 and marks
// the reader as failed instead of touching memory outside the data.
#pragma once

#include <cstddef>
#include <cstdint>
#include <span>
#include <string>
#include <vector>

namespace qvplatform {

using ByteSpan = std::span<const std::uint8_t>;

// Big-endian reader over a span. Failure is sticky: once a read falls outside the span,
// Ok() stays false.
class ByteReader {
 public:
  ByteReader() = default;
  explicit ByteReader(ByteSpan data) : data_(data) {}

  std::uint8_t U8(std::uint64_t offset) const;
  std::uint16_t U16(std::uint64_t offset) const;
  std::int16_t S16(std::uint64_t offset) const { return static_cast<std::int16_t>(U16(offset)); }
  std::uint32_t U32(std::uint64_t offset) const;
  std::int32_t S32(std::uint64_t offset) const { return static_cast<std::int32_t>(U32(offset)); }

  // True when [offset, offset + length) lies inside the data (no failure is recorded).
  bool Has(std::uint64_t offset, std::uint64_t length) const {
    return offset <= data_.size() && length <= data_.size() - offset;
  }
  // The bytes [offset, offset + length); an empty span (and failure) when they do not fit.
  ByteSpan Bytes(std::uint64_t offset, std::uint64_t length) const;

  std::size_t Size() const { return data_.size(); }
  ByteSpan Data() const { return data_; }
  bool Ok() const { return ok_; }

 private:
  ByteSpan data_;
  mutable bool ok_ = true;
};

// A table tag as the big-endian number of its four characters.
constexpr std::uint32_t SfntTag(const char (&tag)[5]) {
  return static_cast<std::uint32_t>(static_cast<unsigned char>(tag[0])) << 24 |
         static_cast<std::uint32_t>(static_cast<unsigned char>(tag[1])) << 16 |
         static_cast<std::uint32_t>(static_cast<unsigned char>(tag[2])) << 8 |
         static_cast<std::uint32_t>(static_cast<unsigned char>(tag[3]));
}

constexpr std::uint32_t kSfntVersionTrueType = 0x00010000;
constexpr std::uint32_t kSfntVersionApple = SfntTag("true");
constexpr std::uint32_t kSfntVersionCff = SfntTag("OTTO");
constexpr std::uint32_t kSfntCollection = SfntTag("ttcf");

struct SfntTableRecord {
  std::uint32_t tag = 0;
  std::uint32_t checksum = 0;
  std::uint32_t offset = 0;  // from the start of the file
  std::uint32_t length = 0;
};

// The offset table of one face: its version and its tables, each checked to lie inside the
// file. Find gives the first record of a tag.
struct SfntDirectory {
  std::uint32_t version = 0;
  std::vector<SfntTableRecord> tables;

  const SfntTableRecord* Find(std::uint32_t tag) const;
  // The bytes of the first table with the tag inside the file the directory was read from;
  // empty when the face has none.
  ByteSpan Table(ByteSpan file, std::uint32_t tag) const;
};

// Number of faces in a file: 1 for a plain sfnt, the face count of a collection, 0 when the
// data is neither.
std::uint32_t SfntFaceCount(ByteSpan file);

// Reads the directory of face `index`; false with a reason in *error for anything damaged
// (unknown version, index out of range, a directory or table outside the file, tables that add
// up to more than twice the file). A tag that appears twice keeps its first record.
bool ReadSfntDirectory(ByteSpan file, std::uint32_t index, SfntDirectory* out, std::string* error);

// Reads the offset table at the start of a standalone sfnt (one face, as GetFontData gives
// table 0), whatever its version: a caller that needs one checks `version` itself. Every
// record is kept in file order. False (with no tables) when the header, a record or a table
// lies outside the file.
bool ReadStandaloneSfntDirectory(ByteSpan file, SfntDirectory* out);

// The standard table checksum (sum of big-endian 32-bit words, the tail zero-padded).
std::uint32_t SfntChecksum(ByteSpan data);

}  // namespace qvplatform
