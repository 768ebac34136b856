#include "QVPDFDev/objects/pdf_input_stream.h"

#include <algorithm>
#include <cstring>

namespace vellora {

std::size_t TQVPDFMemoryInputStream::ReadAt(std::uint64_t offset, void* buffer, std::size_t count) {
  if (offset >= bytes_.size()) return 0;
  const std::size_t n =
      static_cast<std::size_t>(std::min<std::uint64_t>(count, bytes_.size() - offset));
  if (n > 0) std::memcpy(buffer, bytes_.data() + offset, n);
  return n;
}

}  // namespace vellora
