// Whether bytes handed over as already compressed can be undone by their filter, so that a
// writer never labels damaged data with a filter no reader can undo.
#pragma once

#include <cstddef>

namespace vellora {

// Inflates into a small scratch buffer (the output is dropped): true when the stream reaches
// its end with a good checksum. Time is linear in the decompressed size, which deflate bounds
// at about a thousand times the input.
bool IsCompleteZlibStream(const void* data, std::size_t size);

// Walks the codes of LZW data as the LZWDecode filter reads them (9 to 12 bits, early change,
// 256 clear, 257 end): false when a code names no entry of the table built so far. The
// table is only counted, not built.
bool IsValidLzwStream(const void* data, std::size_t size);

}  // namespace vellora
