// Every buffer the plug-in allocates comes from here, so that tests can make the n-th
// allocation fail and check that each path frees what it took.
#pragma once

#include <cstddef>

// count * size zeroed bytes, or null when the product overflows or memory runs out.
void* AllocZeroed(size_t count, size_t size);
// count * size bytes whose contents are undefined, or null as for AllocZeroed: for an
// array that its maker writes in full before anything reads it, so that its bytes are
// not written twice.
void* AllocBytes(size_t count, size_t size);
void FreeMemory(void* block);

// Test seam: the `countdown`-th allocation from now on fails (1 = the next one);
// 0 turns failures off. AllocationsMade counts successful and failed calls.
void SetAllocationFailure(long countdown);
long AllocationsMade();
