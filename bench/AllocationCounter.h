// Counts every heap allocation of the process (malloc, calloc, realloc, and operator new through
// them), including those of the shared platform library, and the bytes they hold.
#pragma once

#include <cstdint>

std::uint64_t HeapAllocations() noexcept;
// Bytes held now, and the most held since the last ResetHeapPeak.
std::int64_t HeapLiveBytes() noexcept;
std::int64_t HeapPeakBytes() noexcept;
void ResetHeapPeak() noexcept;
