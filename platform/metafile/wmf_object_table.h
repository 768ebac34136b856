// The object table of an old-style metafile: a fixed number of slots, each new object taking
// the lowest free one. The enhanced metafile numbers its objects slot + 1 (its handle 0 is
// reserved), so the two tables stay in step. Regions have no enhanced-metafile object: their
// slot keeps the record that made them, read again where they are used.
#pragma once

#include <cstddef>
#include <cstdint>
#include <vector>

#include "wmf_reader.h"

namespace qvplatform {
namespace metafile {

enum class WmfObjectKind : std::uint8_t { kFree, kPen, kBrush, kFont, kPalette, kRegion };

class WmfObjectTable {
 public:
  // An empty table of this many slots (all allocation happens here).
  void Reset(std::size_t slots);

  // The lowest free slot, now holding an object of the kind; false when every slot is taken.
  bool Take(WmfObjectKind kind, std::size_t& slot);
  void Free(std::size_t slot);
  // kFree for a slot past the table.
  WmfObjectKind KindOf(std::size_t slot) const;

  void SetRegion(std::size_t slot, const WmfParams& record) { slots_[slot].region = record; }
  const WmfParams& Region(std::size_t slot) const { return slots_[slot].region; }

  // One more than the highest slot ever taken.
  std::size_t SlotsUsed() const { return next_; }

 private:
  struct Slot {
    WmfObjectKind kind = WmfObjectKind::kFree;
    WmfParams region;
  };
  std::vector<Slot> slots_;
  std::vector<std::size_t> freed_;  // a min-heap of freed slots, all below next_
  std::size_t next_ = 0;            // slots from here on were never taken
};

}  // namespace metafile
}  // namespace qvplatform
