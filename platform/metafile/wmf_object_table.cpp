#include "wmf_object_table.h"

#include <algorithm>
#include <functional>

namespace qvplatform {
namespace metafile {

void WmfObjectTable::Reset(std::size_t slots) {
  slots_.assign(slots, Slot{});
  freed_.clear();
  freed_.reserve(slots);
  next_ = 0;
}

bool WmfObjectTable::Take(WmfObjectKind kind, std::size_t& slot) {
  if (!freed_.empty()) {
    std::pop_heap(freed_.begin(), freed_.end(), std::greater<>());
    slot = freed_.back();
    freed_.pop_back();
  } else if (next_ < slots_.size()) {
    slot = next_++;
  } else {
    return false;
  }
  slots_[slot] = Slot{kind, {}};
  return true;
}

void WmfObjectTable::Free(std::size_t slot) {
  if (KindOf(slot) == WmfObjectKind::kFree) return;
  slots_[slot] = Slot{};
  freed_.push_back(slot);
  std::push_heap(freed_.begin(), freed_.end(), std::greater<>());
}

WmfObjectKind WmfObjectTable::KindOf(std::size_t slot) const {
  return slot < slots_.size() ? slots_[slot].kind : WmfObjectKind::kFree;
}

}  // namespace metafile
}  // namespace qvplatform
