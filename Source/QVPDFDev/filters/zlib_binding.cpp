#include "QVPDFDev/filters/zlib_binding.h"

#include <libdeflate.h>
#include <zlib.h>

#include <algorithm>
#include <array>
#include <climits>
#include <cstdint>
#include <cstring>
#include <memory>

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

// A compressor for one stream, freed with it: kept ones (several hundred KiB each, one per
// level and thread) raised the peak memory of a conversion above what zlib's transient state
// costs, and allocating one per stream measured no slower over the corpus.
struct CompressorDeleter {
  void operator()(libdeflate_compressor* compressor) const {
    libdeflate_free_compressor(compressor);
  }
};
using CompressorHandle = std::unique_ptr<libdeflate_compressor, CompressorDeleter>;

CompressorHandle CompressorFor(int level) {
  CompressorHandle compressor(libdeflate_alloc_compressor(level));
  if (compressor == nullptr) throw EZCompressionError("cannot start compression");
  return compressor;
}

// Inputs up to this size are also given to zlib (see ZCompressBuffer), and so are inputs
// that shrink to less than an eighth.
constexpr std::size_t kSmallInput = 4096;
constexpr std::size_t kRepetitiveRatio = 8;

// zlib at the level index into out; 0 unless the whole stream fits in capacity bytes. The
// stream is not kept: its state (about 256 KiB) would add to every thread's peak memory.
std::size_t ZlibCompressInto(const void* input, std::size_t size, int levelIndex, std::uint8_t* out,
                             std::size_t capacity) {
  if (size > kMaxChunk || capacity > kMaxChunk) return 0;
  z_stream stream;
  std::memset(&stream, 0, sizeof stream);
  if (deflateInit(&stream, ZCompressionLevels(levelIndex)) != Z_OK) return 0;
  stream.next_in = const_cast<Bytef*>(static_cast<const Bytef*>(input));
  stream.avail_in = static_cast<uInt>(size);
  stream.next_out = out;
  stream.avail_out = static_cast<uInt>(capacity);
  const int code = deflate(&stream, Z_FINISH);
  deflateEnd(&stream);
  return code == Z_STREAM_END ? capacity - stream.avail_out : 0;
}

}  // namespace

int ZCompressionLevels(int index) {
  static constexpr int kLevels[] = {0, 1, -1, 9};
  if (index < 0 || index > 3) return -1;
  return kLevels[index];
}

int DeflateCompressionLevel(int index) {
  // zlib's levels mapped onto libdeflate's 0..12 scale: 0 stored, 1 fastest, zlib's default 6
  // to 6, zlib's best 9 to 9. Levels 10 to 12 compress a few percent smaller but their
  // compressor takes 9 MB against 0.67 MB, which showed in the peak memory of a conversion.
  // Measured on the corpus's compressed streams: of the 288 streams of the 93 metafiles, 5 come
  // out larger than zlib made them, by at most 4%: four page contents past 50000 bytes at the
  // default level and one of 7 KB at level 9. On the streams past 50000 bytes, libdeflate 7
  // leaves 4 of 7 larger at 1.3 times the time of 6, 8 and 9 leave 2 at 2.3 and 3.3 times, 10
  // none at 5 times; zlib 6 itself makes them 7% larger in all than libdeflate 6. Without the
  // cross-check in ZCompressBuffer, 684 small streams of the output check grew by a few bytes.
  // Deflate alone on the corpus's documents written uncompressed (bench/deflate_bench): zlib 6
  // 239 ms, 1.402 MB; libdeflate 6 110 ms, 1.315 MB; zlib 9 593 ms, 1.402 MB.
  static constexpr int kLevels[] = {0, 1, 6, 9};
  if (index < 0 || index > 3) return 6;
  return kLevels[index];
}

std::vector<std::uint8_t> ZCompressBuffer(const void* input, std::size_t size, int levelIndex) {
  // Compressed into scratch memory left uninitialised: the bound is larger than the input, and
  // zeroing it made every large stream fault in pages it never wrote, which serialised
  // threads on the process's memory map. Only the bytes produced are copied out.
  std::unique_ptr<std::uint8_t[]> scratch;
  std::size_t produced = 0;
  {
    const CompressorHandle compressor = CompressorFor(DeflateCompressionLevel(levelIndex));
    const std::size_t bound = libdeflate_zlib_compress_bound(compressor.get(), size);
    scratch.reset(new std::uint8_t[bound]);
    produced = libdeflate_zlib_compress(compressor.get(), input, size, scratch.get(), bound);
  }
  // The bound always fits; nothing written means libdeflate refused the buffer.
  if (produced == 0) throw EZCompressionError("compression failed");
  // On a few hundred bytes libdeflate's block headers can cost more than zlib's, and on very
  // repetitive data (flat images) zlib's matching can win; zlib is cheap on both and is only
  // asked for output smaller than libdeflate's, written over the scratch bytes.
  if (produced > 1 && (size <= kSmallInput || produced * kRepetitiveRatio < size)) {
    std::unique_ptr<std::uint8_t[]> other(new std::uint8_t[produced - 1]);
    const std::size_t zlibSize =
        ZlibCompressInto(input, size, levelIndex, other.get(), produced - 1);
    if (zlibSize != 0) {
      scratch = std::move(other);
      produced = zlibSize;
    }
  }
  // Streams are kept until the document is written: they hold only the compressed bytes.
  return std::vector<std::uint8_t>(scratch.get(), scratch.get() + produced);
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
