#include "common/memory.h"

#include <cstdint>
#include <cstdlib>

namespace {

long failureCountdown = 0;
long allocationsMade = 0;

// Counts the call; false when the test seam fails it or count * size overflows.
bool MayAllocate(size_t count, size_t size) {
  ++allocationsMade;
  if (failureCountdown > 0 && --failureCountdown == 0) return false;
  return size == 0 || count <= SIZE_MAX / size;
}

}  // namespace

void* AllocZeroed(size_t count, size_t size) {
  if (!MayAllocate(count, size)) return nullptr;
  if (count == 0 || size == 0) return calloc(1, 1);
  return calloc(count, size);
}

void* AllocBytes(size_t count, size_t size) {
  if (!MayAllocate(count, size)) return nullptr;
  if (count == 0 || size == 0) return malloc(1);
  return malloc(count * size);
}

void FreeMemory(void* block) { free(block); }

void SetAllocationFailure(long countdown) { failureCountdown = countdown; }

long AllocationsMade() { return allocationsMade; }
