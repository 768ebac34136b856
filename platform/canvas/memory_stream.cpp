#include <algorithm>
#include <cstring>

#include "qvplatform/stream.h"

namespace qvplatform {

std::size_t TMemoryStream::Write(const void* data, std::size_t size) {
  if (size == 0) return 0;
  if (position_ + size > bytes_.size()) bytes_.resize(position_ + size);
  std::memcpy(bytes_.data() + position_, data, size);
  position_ += size;
  return size;
}

void TMemoryStream::Clear() {
  bytes_.clear();
  position_ = 0;
}

void TMemoryStream::SetSize(std::size_t size) {
  bytes_.resize(size, 0);
  position_ = std::min(position_, size);
}

}  // namespace qvplatform
