#include "QVPDFDev/filters/zlib_binding.h"

#include <zlib.h>

#include <algorithm>
#include <climits>
#include <cstdint>
#include <cstring>

namespace vellora {
namespace {

// zlib counts in 32-bit units; larger buffers are fed in chunks.
constexpr std::size_t kMaxChunk = UINT_MAX;

uInt Chunk(std::size_t n) { return static_cast<uInt>(std::min(n, kMaxChunk)); }

// Hands zlib the next chunk of the input once it has taken the last one; inLeft counts what
// remains of the size bytes at in.
void FeedInput(z_stream& stream, const Bytef* in, std::size_t size, std::size_t& inLeft) {
  if (stream.avail_in != 0 || inLeft == 0) return;
  stream.next_in = const_cast<Bytef*>(in + (size - inLeft));
  stream.avail_in = Chunk(inLeft);
  inLeft -= stream.avail_in;
}

std::string ZMessage(int code, const z_stream& stream) {
  if (stream.msg != nullptr) return stream.msg;
  return zError(code);
}

int CheckCompressResult(int code, const z_stream& stream) {
  if (code < 0 && code != Z_BUF_ERROR) throw EZCompressionError(ZMessage(code, stream));
  return code;
}

}  // namespace

int ZCompressionLevels(int index) {
  static constexpr int kLevels[] = {0, 1, -1, 9};
  if (index < 0 || index > 3) return -1;
  return kLevels[index];
}

std::vector<std::uint8_t> ZCompressBuffer(const void* input, std::size_t size, int levelIndex) {
  z_stream stream;
  std::memset(&stream, 0, sizeof stream);
  CheckCompressResult(deflateInit(&stream, ZCompressionLevels(levelIndex)), stream);

  std::vector<std::uint8_t> out;
  try {
    // deflateBound takes a 32-bit length; past that, start at the input size and grow.
    std::size_t bound = size <= kMaxChunk ? deflateBound(&stream, static_cast<uLong>(size))
                                          : size + size / 10 + 256;
    out.resize(bound);
    const auto* in = static_cast<const Bytef*>(input);
    std::size_t inLeft = size;
    std::size_t produced = 0;
    for (;;) {
      FeedInput(stream, in, size, inLeft);
      if (produced == out.size()) out.resize(out.size() * 2 + 256);
      stream.next_out = out.data() + produced;
      stream.avail_out = Chunk(out.size() - produced);
      const uInt before = stream.avail_out;
      const int flush = inLeft == 0 ? Z_FINISH : Z_NO_FLUSH;
      const int code = CheckCompressResult(deflate(&stream, flush), stream);
      produced += before - stream.avail_out;
      if (code == Z_STREAM_END) break;
    }
    out.resize(produced);
  } catch (...) {
    deflateEnd(&stream);
    throw;
  }
  const int endCode = deflateEnd(&stream);
  if (endCode < 0) throw EZCompressionError(zError(endCode));
  return out;
}

std::vector<std::uint8_t> ZDecompressBuffer(const void* input, std::size_t size,
                                            std::size_t sizeEstimate, std::size_t maxOutput) {
  z_stream stream;
  std::memset(&stream, 0, sizeof stream);
  if (inflateInit(&stream) != Z_OK) throw EZDecompressionError("cannot start decompression");

  std::vector<std::uint8_t> out;
  try {
    // One byte beyond the limit tells a stream that fits exactly from one that is too long.
    const std::size_t limit = maxOutput < SIZE_MAX ? maxOutput + 1 : maxOutput;
    // The estimate comes from the input's size: start no larger than 64 MiB.
    out.resize(std::clamp<std::size_t>(sizeEstimate, std::min<std::size_t>(4096, limit),
                                       std::min<std::size_t>(limit, std::size_t{64} << 20)));
    const auto* in = static_cast<const Bytef*>(input);
    std::size_t inLeft = size;
    std::size_t produced = 0;
    for (;;) {
      FeedInput(stream, in, size, inLeft);
      if (produced == out.size()) {
        if (out.size() >= limit) break;
        out.resize(out.size() <= limit / 2 ? out.size() * 2 : limit);
      }
      stream.next_out = out.data() + produced;
      stream.avail_out = Chunk(out.size() - produced);
      const uInt inBefore = stream.avail_in;
      const uInt outBefore = stream.avail_out;
      const int code = inflate(&stream, Z_NO_FLUSH);
      produced += outBefore - stream.avail_out;
      // The end, a preset dictionary we do not have, damaged data, or data that ends early.
      if (code != Z_OK && code != Z_BUF_ERROR) break;
      const bool progress = stream.avail_in != inBefore || stream.avail_out != outBefore;
      if (!progress && stream.avail_out != 0) break;
    }
    if (produced > maxOutput)
      throw EZDecompressionError("decompressed data exceeds the size limit");
    out.resize(produced);
  } catch (...) {
    inflateEnd(&stream);
    throw;
  }
  inflateEnd(&stream);
  return out;
}

}  // namespace vellora
