// Whether bytes handed over as "already Flate-compressed" are a whole zlib stream, so that
// a writer never labels damaged data with a filter no reader can undo.
#pragma once

#include <cstddef>

namespace vellora {

// Inflates into a small scratch buffer (the output is dropped): true when the stream reaches
// its end with a good checksum. Time is linear in the decompressed size, which deflate bounds
// at about a thousand times the input.
bool IsCompleteZlibStream(const void* data, std::size_t size);

}  // namespace vellora
