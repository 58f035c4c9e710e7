// Counts every heap allocation of the process (malloc, calloc, realloc, and operator new through
// them), including those of the shared platform library.
#pragma once

#include <cstdint>

std::uint64_t HeapAllocations() noexcept;
