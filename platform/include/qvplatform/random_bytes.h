// The system's random source (getrandom): file identifiers and anything else that must not
// repeat between documents or runs.
#pragma once

#include <cstddef>

namespace qvplatform {

// Fills count bytes, retrying interrupted and partial calls; false when the system gives none
// (the caller then uses a fallback of its own).
bool FillRandomBytes(void* out, std::size_t count);

}  // namespace qvplatform
