#include "sod/vertex_weld.h"

#include <cstring>

#include "common/memory.h"
#include "common/transform.h"

namespace {

// The bits of a coordinate with -0 made +0, so that equal values have equal keys.
uint32_t KeyBits(float value) {
  float normal = value + 0.0f;
  uint32_t bits;
  std::memcpy(&bits, &normal, sizeof bits);
  return bits;
}

uint32_t HashKey(int32_t hostVertex, uint32_t u, uint32_t v) {
  uint32_t h = static_cast<uint32_t>(hostVertex) * 0x9E3779B1u;
  h ^= u * 0x85EBCA77u;
  h = (h << 13 | h >> 19) * 5u + 0xE6546B64u;
  h ^= v * 0xC2B2AE3Du;
  h ^= h >> 16;
  h *= 0x85EBCA6Bu;
  h ^= h >> 13;
  return h;
}

// A corner that no later corner can weld with: a NaN in u or v, or a position that
// does not match itself (a NaN or an infinity makes the difference NaN).
bool CanEverWeld(const ExportVertex& corner) {
  return corner.texCoord.u == corner.texCoord.u && corner.texCoord.v == corner.texCoord.v &&
         PointsNearlyEqual(corner.position, corner.position);
}

bool SameKey(const ExportVertex& entry, const ExportVertex& corner) {
  return entry.hostVertex == corner.hostVertex && entry.texCoord.u == corner.texCoord.u &&
         entry.texCoord.v == corner.texCoord.v;
}

uint32_t Append(VertexWeld* weld, const ExportVertex& corner) {
  if (weld->count >= weld->capacity) return kVertexWeldFull;
  weld->vertices[weld->count] = corner;
  return weld->count++;
}

}  // namespace

int VertexWeldCreate(VertexWeld* weld, uint32_t capacity) {
  if (weld == nullptr) return 0;
  *weld = VertexWeld{nullptr, 0, 0, nullptr, 0};
  if (capacity > kVertexWeldMaxCapacity) return 0;
  // A power of two above 1.25 times the entries keeps the probe sequences short.
  uint32_t slots = 16;
  while (slots < capacity + capacity / 4) slots *= 2;
  weld->vertices = static_cast<ExportVertex*>(AllocZeroed(capacity, sizeof(ExportVertex)));
  weld->slots = static_cast<uint32_t*>(AllocZeroed(slots, sizeof(uint32_t)));
  if (weld->vertices == nullptr || weld->slots == nullptr) {
    VertexWeldFree(weld);
    return 0;
  }
  weld->capacity = capacity;
  weld->slotMask = slots - 1;
  return 1;
}

uint32_t VertexWeldAdd(VertexWeld* weld, const ExportVertex& corner) {
  if (!CanEverWeld(corner)) return Append(weld, corner);
  uint32_t slot = HashKey(corner.hostVertex, KeyBits(corner.texCoord.u), KeyBits(corner.texCoord.v)) & weld->slotMask;
  for (uint32_t step = 1;; ++step) {
    uint32_t held = weld->slots[slot];
    if (held == 0) {
      uint32_t index = Append(weld, corner);
      if (index != kVertexWeldFull) weld->slots[slot] = index + 1;
      return index;
    }
    if (SameKey(weld->vertices[held - 1], corner)) return held - 1;
    slot = (slot + step) & weld->slotMask;  // triangular probing visits every slot
  }
}

void VertexWeldFree(VertexWeld* weld) {
  if (weld == nullptr) return;
  FreeMemory(weld->vertices);
  FreeMemory(weld->slots);
  *weld = VertexWeld{nullptr, 0, 0, nullptr, 0};
}
