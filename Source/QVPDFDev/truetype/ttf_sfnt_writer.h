// Assembles an sfnt font file from its tables.
#pragma once

#include <cstdint>
#include <span>
#include <vector>

namespace vellora {

// Collects tables and writes a valid file: the real table count, records sorted by tag with
// searchRange, entrySelector and rangeShift, each table 4-byte aligned with its checksum, and
// head's checkSumAdjustment (sums as qvplatform::SfntChecksum takes them). Added spans are
// not copied: they must outlive Write.
class TtfSfntWriter {
 public:
  // A later table with the same tag replaces the earlier one.
  void Add(uint32_t tag, std::span<const uint8_t> data);
  bool Has(uint32_t tag) const;
  // Replaces out with the font file (version 1.0).
  void Write(std::vector<uint8_t>& out) const;

 private:
  struct Entry {
    uint32_t tag;
    std::span<const uint8_t> data;
  };
  std::vector<Entry> tables_;
};

}  // namespace vellora
