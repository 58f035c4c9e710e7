#include "AllocationCounter.h"

#include <malloc.h>

#include <atomic>
#include <cstddef>

extern "C" {
void* __libc_malloc(std::size_t);
void* __libc_calloc(std::size_t, std::size_t);
void* __libc_realloc(void*, std::size_t);
void __libc_free(void*);
}

namespace {
std::atomic<std::uint64_t> Allocations{0};
std::atomic<std::int64_t> LiveBytes{0};
std::atomic<std::int64_t> PeakBytes{0};

void* Counted(void* p) {
    if (p) {
        const std::int64_t live =
            LiveBytes.fetch_add(static_cast<std::int64_t>(malloc_usable_size(p)), std::memory_order_relaxed) +
            static_cast<std::int64_t>(malloc_usable_size(p));
        std::int64_t peak = PeakBytes.load(std::memory_order_relaxed);
        while (live > peak && !PeakBytes.compare_exchange_weak(peak, live, std::memory_order_relaxed)) {
        }
    }
    return p;
}

void Uncount(void* p) {
    if (p)
        LiveBytes.fetch_sub(static_cast<std::int64_t>(malloc_usable_size(p)), std::memory_order_relaxed);
}
} // namespace

std::uint64_t HeapAllocations() noexcept { return Allocations.load(std::memory_order_relaxed); }
std::int64_t HeapLiveBytes() noexcept { return LiveBytes.load(std::memory_order_relaxed); }
std::int64_t HeapPeakBytes() noexcept { return PeakBytes.load(std::memory_order_relaxed); }
void ResetHeapPeak() noexcept { PeakBytes.store(LiveBytes.load(std::memory_order_relaxed), std::memory_order_relaxed); }

// The executable's definitions take the place of the C library's for every module of the process.
extern "C" void* malloc(std::size_t size) {
    Allocations.fetch_add(1, std::memory_order_relaxed);
    return Counted(__libc_malloc(size));
}

extern "C" void* calloc(std::size_t count, std::size_t size) {
    Allocations.fetch_add(1, std::memory_order_relaxed);
    return Counted(__libc_calloc(count, size));
}

extern "C" void* realloc(void* p, std::size_t size) {
    Allocations.fetch_add(1, std::memory_order_relaxed);
    Uncount(p);
    return Counted(__libc_realloc(p, size));
}

extern "C" void free(void* p) {
    Uncount(p);
    __libc_free(p);
}
