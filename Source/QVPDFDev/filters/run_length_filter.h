// The PDF RunLengthDecode format: a length byte n, then n + 1 literal bytes (n 0..127) or one
// byte repeated 257 - n times (n 129..255); 128 ends the data.
#pragma once

#include <cstddef>
#include <cstdint>
#include <vector>

namespace vellora {

// Runs of two or more equal bytes become repeat runs of at most 127 (a run of two inside
// literal bytes stays literal, which is never longer); literal runs hold 1 to 128 bytes. The
// output always ends with the end marker 128. Empty input gives empty output.
std::vector<std::uint8_t> RunLengthEncodeBytes(const std::uint8_t* data, std::size_t size);

// Decodes up to the end marker (or the end of the data). Raises std::runtime_error for a run
// that is cut off by the end of the data or output beyond maxOutput bytes.
std::vector<std::uint8_t> RunLengthDecodeBytes(const std::uint8_t* data, std::size_t size,
                                               std::size_t maxOutput);

}  // namespace vellora
