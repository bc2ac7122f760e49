#pragma once

// Heap allocations counted by replacing the global allocation functions: every
// operator new and, outside sanitizer builds, every C malloc/calloc/realloc
// (the platform layer and the GL driver too). Linked into every benchmark; an
// atomic increment per allocation is the only cost.

#include <cstdint>

namespace bwbench
{

uint64_t AllocationCount();

} // namespace bwbench
