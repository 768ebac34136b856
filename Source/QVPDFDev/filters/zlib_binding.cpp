#include "QVPDFDev/filters/zlib_binding.h"

#include <libdeflate.h>
#include <zlib.h>

#include <algorithm>
#include <array>
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

// One compressor per level and thread: allocating one costs far more than compressing a
// small stream, and a compressor must not be shared between threads.
libdeflate_compressor* CompressorFor(int level) {
  struct Compressors {
    std::array<libdeflate_compressor*, 13> byLevel{};
    ~Compressors() {
      for (libdeflate_compressor* compressor : byLevel) libdeflate_free_compressor(compressor);
    }
  };
  thread_local Compressors compressors;
  libdeflate_compressor*& slot = compressors.byLevel[static_cast<std::size_t>(level)];
  if (slot == nullptr) slot = libdeflate_alloc_compressor(level);
  if (slot == nullptr) throw EZCompressionError("cannot start compression");
  return slot;
}

// Inputs up to this size are also given to zlib (see ZCompressBuffer).
constexpr std::size_t kSmallInput = 4096;

// zlib at the level index into out, with a stream kept per level and thread; 0 when it does
// not fit.
std::size_t ZlibCompressSmall(const void* input, std::size_t size, int levelIndex,
                              std::array<std::uint8_t, kSmallInput + 64>& out) {
  struct Streams {
    std::array<z_stream, 4> byIndex{};
    std::array<bool, 4> ready{};
    ~Streams() {
      for (std::size_t i = 0; i < byIndex.size(); ++i)
        if (ready[i]) deflateEnd(&byIndex[i]);
    }
  };
  thread_local Streams streams;
  const std::size_t slot =
      levelIndex >= 0 && levelIndex <= 3 ? static_cast<std::size_t>(levelIndex) : 2;
  z_stream& stream = streams.byIndex[slot];
  if (!streams.ready[slot]) {
    if (deflateInit(&stream, ZCompressionLevels(levelIndex)) != Z_OK) return 0;
    streams.ready[slot] = true;
  } else if (deflateReset(&stream) != Z_OK) {
    return 0;
  }
  stream.next_in = const_cast<Bytef*>(static_cast<const Bytef*>(input));
  stream.avail_in = static_cast<uInt>(size);
  stream.next_out = out.data();
  stream.avail_out = static_cast<uInt>(out.size());
  if (deflate(&stream, Z_FINISH) != Z_STREAM_END) return 0;
  return out.size() - stream.avail_out;
}

}  // namespace

int ZCompressionLevels(int index) {
  static constexpr int kLevels[] = {0, 1, -1, 9};
  if (index < 0 || index > 3) return -1;
  return kLevels[index];
}

int DeflateCompressionLevel(int index) {
  // zlib's levels mapped onto libdeflate's 0..12 scale: 0 stored, 1 fastest, zlib's default 6
  // to 6, zlib's best 9 to 10. Measured on the 1255 compressed streams of the corpus's
  // documents under five property sets (70.20 MB with zlib): 69.93 MB with this mapping; 30
  // streams come out larger than zlib made them, all page contents past 50000 bytes at the
  // default level, by at most 4% (libdeflate 9 there leaves 6 such streams, 1% larger, but
  // costs 4.7 times the time of 6); with 12 for the best level 559 small streams gain a few
  // bytes each without the zlib cross-check below. Deflate alone on the corpus's documents
  // written uncompressed (bench/deflate_bench): zlib 6 239 ms, 1.402 MB; libdeflate 6 110 ms,
  // 1.315 MB; zlib 9 593 ms, 1.402 MB; libdeflate 10 650 ms, 1.133 MB.
  static constexpr int kLevels[] = {0, 1, 6, 10};
  if (index < 0 || index > 3) return 6;
  return kLevels[index];
}

std::vector<std::uint8_t> ZCompressBuffer(const void* input, std::size_t size, int levelIndex) {
  libdeflate_compressor* compressor = CompressorFor(DeflateCompressionLevel(levelIndex));
  std::vector<std::uint8_t> out(libdeflate_zlib_compress_bound(compressor, size));
  std::size_t produced = libdeflate_zlib_compress(compressor, input, size, out.data(), out.size());
  // The bound always fits; nothing written means libdeflate refused the buffer.
  if (produced == 0) throw EZCompressionError("compression failed");
  // On a few hundred bytes libdeflate's block headers can cost more than zlib's; zlib on so
  // little is cheap with a kept stream, so the smaller of the two is written.
  if (size <= kSmallInput) {
    std::array<std::uint8_t, kSmallInput + 64> small{};
    const std::size_t zlibSize = ZlibCompressSmall(input, size, levelIndex, small);
    if (zlibSize != 0 && zlibSize < produced) {
      std::memcpy(out.data(), small.data(), zlibSize);
      produced = zlibSize;
    }
  }
  out.resize(produced);
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
