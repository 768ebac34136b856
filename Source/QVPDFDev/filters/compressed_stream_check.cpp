#include "QVPDFDev/filters/compressed_stream_check.h"

#include <zlib.h>

#include <algorithm>
#include <cstdint>
#include <cstring>
#include <limits>

namespace vellora {

bool IsCompleteZlibStream(const void* data, std::size_t size) {
  if (data == nullptr || size == 0) return false;
  z_stream stream;
  std::memset(&stream, 0, sizeof stream);
  if (inflateInit(&stream) != Z_OK) return false;
  std::uint8_t scratch[16384];
  const auto* in = static_cast<const Bytef*>(data);
  std::size_t inLeft = size;
  int code = Z_OK;
  while (code == Z_OK || code == Z_BUF_ERROR) {
    if (stream.avail_in == 0 && inLeft > 0) {
      const std::size_t chunk = std::min<std::size_t>(inLeft, std::numeric_limits<uInt>::max());
      stream.next_in = const_cast<Bytef*>(in + (size - inLeft));
      stream.avail_in = static_cast<uInt>(chunk);
      inLeft -= chunk;
    }
    stream.next_out = scratch;
    stream.avail_out = sizeof scratch;
    const uInt inBefore = stream.avail_in;
    code = inflate(&stream, Z_NO_FLUSH);
    const bool progress = stream.avail_in != inBefore || stream.avail_out != sizeof scratch;
    if (!progress && code != Z_STREAM_END) break;
  }
  inflateEnd(&stream);
  return code == Z_STREAM_END;
}

bool IsValidLzwStream(const void* data, std::size_t size) {
  constexpr std::uint32_t kClear = 256, kEnd = 257, kFirstFree = 258, kTableSize = 4096;
  const auto* bytes = static_cast<const std::uint8_t*>(data);
  std::uint32_t next = kFirstFree;  // the entry the next code after a literal adds
  bool havePrevious = false;
  std::uint32_t width = 9;
  std::uint64_t bits = 0;
  std::uint32_t bitCount = 0;
  for (std::size_t i = 0; i < size; ++i) {
    bits = bits << 8 | bytes[i];
    bitCount += 8;
    while (bitCount >= width) {
      const auto code =
          static_cast<std::uint32_t>(bits >> (bitCount - width)) & ((1u << width) - 1);
      bitCount -= width;
      if (code == kEnd) return true;
      if (code == kClear) {
        next = kFirstFree;
        havePrevious = false;
        width = 9;
        continue;
      }
      // A code may name an entry made already, or (after a first code) the one it makes.
      if (code > next || (code == next && !havePrevious)) return false;
      if (havePrevious && next < kTableSize) ++next;
      havePrevious = true;
      // Early change: the width grows one code before the table fills it.
      if (next + 1 >= (1u << width) && width < 12) ++width;
    }
  }
  return true;
}

}  // namespace vellora
