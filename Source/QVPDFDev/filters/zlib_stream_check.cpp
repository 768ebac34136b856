#include "QVPDFDev/filters/zlib_stream_check.h"

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

}  // namespace vellora
