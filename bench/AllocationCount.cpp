// The global operator new and delete, replaced to count allocations. Kept in a file of their own so
// that no caller sees their bodies: the compiler then cannot pair an inlined malloc with a delete.
#include "bench/AllocationCount.h"

#include <atomic>
#include <cstdlib>
#include <new>

namespace {
std::atomic<std::int64_t> allocations{0};
}  // namespace

namespace tarn::bench {

std::int64_t AllocationCount() {
    return allocations.load(std::memory_order_relaxed);
}

}  // namespace tarn::bench

void* operator new(std::size_t size) {
    allocations.fetch_add(1, std::memory_order_relaxed);
    if (void* block = std::malloc(size == 0 ? 1 : size)) return block;
    throw std::bad_alloc();
}

void operator delete(void* block) noexcept {
    std::free(block);
}

void operator delete(void* block, std::size_t) noexcept {
    std::free(block);
}
