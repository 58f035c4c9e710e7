#include "AllocationCounter.h"

#include <atomic>
#include <cstddef>

extern "C" {
void* __libc_malloc(std::size_t);
void* __libc_calloc(std::size_t, std::size_t);
void* __libc_realloc(void*, std::size_t);
}

namespace {
std::atomic<std::uint64_t> Allocations{0};
} // namespace

std::uint64_t HeapAllocations() noexcept { return Allocations.load(std::memory_order_relaxed); }

// The executable's definitions take the place of the C library's for every module of the process.
extern "C" void* malloc(std::size_t size) {
    Allocations.fetch_add(1, std::memory_order_relaxed);
    return __libc_malloc(size);
}

extern "C" void* calloc(std::size_t count, std::size_t size) {
    Allocations.fetch_add(1, std::memory_order_relaxed);
    return __libc_calloc(count, size);
}

extern "C" void* realloc(void* p, std::size_t size) {
    Allocations.fetch_add(1, std::memory_order_relaxed);
    return __libc_realloc(p, size);
}
