#include "QVPDFDev/filters/zlib_binding.h"

#include <libdeflate.h>
#include <zlib.h>

#include <algorithm>
#include <array>
#include <climits>
#include <cstdint>
#include <cstring>
#include <memory>
#include <mutex>
#include <vector>

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

// Compressors and zlib streams are kept for reuse, since allocating one costs far more than
// compressing a small stream. They are lent from a pool, one call at a time, rather than kept
// per thread: thread-local objects with destructors pin the library in memory for as long as
// any thread that used them lives, so a host could never unload it. The pool's lock is held
// only to take or give back an idle object, never while compressing.
template <class T, std::size_t kSlots, void (*kRelease)(T*)>
class IdlePool {
 public:
  ~IdlePool() {
    for (auto& idle : idle_)
      for (T* object : idle) kRelease(object);
  }
  T* Take(std::size_t slot) {
    std::lock_guard<std::mutex> hold(lock_);
    if (idle_[slot].empty()) return nullptr;
    T* object = idle_[slot].back();
    idle_[slot].pop_back();
    return object;
  }
  void GiveBack(std::size_t slot, T* object) {
    std::lock_guard<std::mutex> hold(lock_);
    try {
      idle_[slot].push_back(object);
    } catch (...) {
      kRelease(object);
    }
  }

 private:
  std::mutex lock_;
  std::array<std::vector<T*>, kSlots> idle_;
};

// Lends an object of a pool for one call and gives it back after.
template <class Pool, class T>
class Lease {
 public:
  Lease(Pool& pool, std::size_t slot, T* object) : pool_(pool), slot_(slot), object_(object) {}
  ~Lease() {
    if (object_ != nullptr) pool_.GiveBack(slot_, object_);
  }
  Lease(const Lease&) = delete;
  Lease& operator=(const Lease&) = delete;
  T* get() const { return object_; }

 private:
  Pool& pool_;
  std::size_t slot_;
  T* object_;
};

void FreeCompressor(libdeflate_compressor* compressor) { libdeflate_free_compressor(compressor); }

using CompressorPool = IdlePool<libdeflate_compressor, 13, FreeCompressor>;
CompressorPool compressorPool;

Lease<CompressorPool, libdeflate_compressor> CompressorFor(int level) {
  const auto slot = static_cast<std::size_t>(level);
  libdeflate_compressor* compressor = compressorPool.Take(slot);
  if (compressor == nullptr) compressor = libdeflate_alloc_compressor(level);
  if (compressor == nullptr) throw EZCompressionError("cannot start compression");
  return {compressorPool, slot, compressor};
}

void FreeStream(z_stream* stream) {
  deflateEnd(stream);
  delete stream;
}

using StreamPool = IdlePool<z_stream, 4, FreeStream>;
StreamPool streamPool;

// Inputs up to this size are also given to zlib (see ZCompressBuffer), and so are inputs
// that shrink to less than an eighth.
constexpr std::size_t kSmallInput = 4096;
constexpr std::size_t kRepetitiveRatio = 8;

// zlib at the level index into out, with a kept stream of the level; 0 unless the
// whole stream fits in capacity bytes.
std::size_t ZlibCompressInto(const void* input, std::size_t size, int levelIndex, std::uint8_t* out,
                             std::size_t capacity) {
  if (size > kMaxChunk || capacity > kMaxChunk) return 0;
  const std::size_t slot =
      levelIndex >= 0 && levelIndex <= 3 ? static_cast<std::size_t>(levelIndex) : 2;
  z_stream* kept = streamPool.Take(slot);
  if (kept != nullptr && deflateReset(kept) != Z_OK) {
    FreeStream(kept);
    kept = nullptr;
  }
  if (kept == nullptr) {
    auto fresh = std::make_unique<z_stream>();
    if (deflateInit(fresh.get(), ZCompressionLevels(levelIndex)) != Z_OK) return 0;
    kept = fresh.release();
  }
  const Lease<StreamPool, z_stream> lease(streamPool, slot, kept);
  z_stream& stream = *kept;
  stream.next_in = const_cast<Bytef*>(static_cast<const Bytef*>(input));
  stream.avail_in = static_cast<uInt>(size);
  stream.next_out = out;
  stream.avail_out = static_cast<uInt>(capacity);
  if (deflate(&stream, Z_FINISH) != Z_STREAM_END) return 0;
  return capacity - stream.avail_out;
}

}  // namespace

int ZCompressionLevels(int index) {
  static constexpr int kLevels[] = {0, 1, -1, 9};
  if (index < 0 || index > 3) return -1;
  return kLevels[index];
}

int DeflateCompressionLevel(int index) {
  // zlib's levels mapped onto libdeflate's 0..12 scale: 0 stored, 1 fastest, zlib's default 6
  // to 6, zlib's best 9 to 10. Measured on the 1698 compressed streams of the 565 corpus
  // documents of the output check (2.2 MB compressed with zlib, 2.1 MB with this mapping and
  // the zlib cross-check in ZCompressBuffer): 16 streams come out larger than zlib made them,
  // all page contents past 50000 bytes at the default level, by at most 4%; libdeflate 9
  // there leaves 6 such streams, 1% larger, at 4.7 times the time of 6. Without the
  // cross-check, 684 small streams grow by a few bytes. Deflate alone on the corpus's
  // documents written uncompressed (bench/deflate_bench): zlib 6 239 ms, 1.402 MB; libdeflate
  // 6 110 ms, 1.315 MB; zlib 9 593 ms, 1.402 MB; libdeflate 10 650 ms, 1.133 MB.
  static constexpr int kLevels[] = {0, 1, 6, 10};
  if (index < 0 || index > 3) return 6;
  return kLevels[index];
}

std::vector<std::uint8_t> ZCompressBuffer(const void* input, std::size_t size, int levelIndex) {
  const auto lease = CompressorFor(DeflateCompressionLevel(levelIndex));
  libdeflate_compressor* compressor = lease.get();
  // Compressed into scratch memory left uninitialised: the bound is larger than the input,
  // and zeroing it made every large stream fault in fresh pages it never wrote, which
  // serialises threads on the process's memory map. Only the bytes produced are kept.
  const std::size_t bound = libdeflate_zlib_compress_bound(compressor, size);
  const auto scratch = std::make_unique_for_overwrite<std::uint8_t[]>(bound);
  std::size_t produced = libdeflate_zlib_compress(compressor, input, size, scratch.get(), bound);
  // The bound always fits; nothing written means libdeflate refused the buffer.
  if (produced == 0) throw EZCompressionError("compression failed");
  // On a few hundred bytes libdeflate's block headers can cost more than zlib's, and on very
  // repetitive data (flat images) zlib's matching can win; zlib is cheap on both, with a kept
  // stream, and is only asked for output smaller than libdeflate's.
  if (produced > 1 && (size <= kSmallInput || produced * kRepetitiveRatio < size)) {
    const auto other = std::make_unique_for_overwrite<std::uint8_t[]>(produced - 1);
    const std::size_t zlibSize =
        ZlibCompressInto(input, size, levelIndex, other.get(), produced - 1);
    if (zlibSize != 0) return std::vector<std::uint8_t>(other.get(), other.get() + zlibSize);
  }
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
