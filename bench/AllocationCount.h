// A count of the program's heap allocations, for benchmarks that report how many their timed loop
// makes. Linking AllocationCount.cpp replaces the global operator new to keep it.
#pragma once

#include <cstdint>

namespace tarn::bench {

/// Allocations made through operator new since the program started.
std::int64_t AllocationCount();

}  // namespace tarn::bench
