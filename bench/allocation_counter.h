// Counts the calls of the global operator new in a benchmark program: linking
// allocation_counter.cpp replaces the allocator of the whole process, the engine's shared
// library included.
#pragma once

#include <cstdint>

namespace vellora::bench {

// Calls of operator new (all forms) since the program began.
std::uint64_t AllocationCount();

}  // namespace vellora::bench
