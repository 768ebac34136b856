// The table directory of an sfnt font file.
#pragma once

#include <cstdint>
#include <span>
#include <vector>

namespace vellora {

struct TtfTableRecord {
  uint32_t tag = 0;
  uint32_t checksum = 0;
  uint32_t offset = 0;
  uint32_t length = 0;
};

class TtfDirectory {
 public:
  // Reads the header and the table records. False when the header or the records do not fit in
  // the data, or when any table lies outside it.
  bool Parse(std::span<const uint8_t> font);

  uint32_t version() const { return version_; }
  const std::vector<TtfTableRecord>& tables() const { return tables_; }

  // The first record with the tag, or null.
  const TtfTableRecord* Find(uint32_t tag) const;
  // The bytes of the first table with the tag (empty when absent); valid after a true Parse.
  std::span<const uint8_t> Table(std::span<const uint8_t> font, uint32_t tag) const;

 private:
  uint32_t version_ = 0;
  std::vector<TtfTableRecord> tables_;
};

}  // namespace vellora
