// Whole-buffer compression over libdeflate and decompression over zlib.
#pragma once

#include <cstddef>
#include <cstdint>
#include <stdexcept>
#include <string>
#include <vector>

namespace vellora {

class EZLibError : public std::runtime_error {
 public:
  using std::runtime_error::runtime_error;
};

class EZCompressionError : public EZLibError {
 public:
  using EZLibError::EZLibError;
};

// Damaged, truncated or oversized compressed input.
class EZDecompressionError : public EZLibError {
 public:
  using EZLibError::EZLibError;
};

// zlib level by index: 0 none, 1 fastest, 2 zlib's default, 3 best; other indices the default.
int ZCompressionLevels(int index);

// The libdeflate level that stands for a zlib level index, as fast or faster and smaller in
// all (a few large streams come out up to 4 % larger: see the measurements where it is defined).
int DeflateCompressionLevel(int index);

// Compresses size bytes into one zlib-format stream, in a single call on the whole buffer.
// Raises EZCompressionError when no compressor can be had or it refuses the buffer.
std::vector<std::uint8_t> ZCompressBuffer(const void* input, std::size_t size, int levelIndex);

// A decoded size beyond which an input stream is taken for a decompression bomb.
constexpr std::size_t kDefaultMaxDecodedSize = std::size_t{256} << 20;

// Inflates a zlib stream. The buffer starts at sizeEstimate (capped) and doubles as needed.
// Damaged or truncated data, a missing checksum and a stream that asks for a preset
// dictionary end the decompression quietly: the bytes produced so far are the result, as
// readers treat the streams of damaged files. Only output that would exceed maxOutput bytes
// raises EZDecompressionError. Bytes after the end of the zlib stream are ignored.
std::vector<std::uint8_t> ZDecompressBuffer(const void* input, std::size_t size,
                                            std::size_t sizeEstimate,
                                            std::size_t maxOutput = kDefaultMaxDecodedSize);

}  // namespace vellora
