#include "sod/vertex_weld.h"

#include <cstring>

#include "common/memory.h"
#include "common/transform.h"

namespace {

constexpr uint32_t kRecentSlots = 1024;

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

// Whether a later corner can weld with this one: not when u or v is a NaN, or the
// position does not match itself (a NaN or an infinity makes the difference NaN).
bool CanEverWeld(const float* position, const HostTexCoord& texCoord) {
  return texCoord.u == texCoord.u && texCoord.v == texCoord.v && PointsNearlyEqual(position, position);
}

// An entry found for a corner welds with it: the same host vertex carries the same
// position, finite since the entry is in the hash.
bool SameKey(const ExportVertex& entry, int32_t hostVertex, const HostTexCoord& texCoord) {
  return entry.hostVertex == hostVertex && entry.texCoord.u == texCoord.u && entry.texCoord.v == texCoord.v;
}

// A power of two above 1.25 times the entries keeps the probe sequences short.
uint32_t SlotsFor(uint32_t capacity) {
  uint32_t slots = 16;
  while (slots < capacity + capacity / 4) slots *= 2;
  return slots;
}

uint32_t Append(VertexWeld* weld, int32_t hostVertex, const float* position, const HostTexCoord& texCoord) {
  if (weld->count >= weld->capacity) return kVertexWeldFull;
  ExportVertex& entry = weld->vertices[weld->count];
  entry.hostVertex = hostVertex;
  std::memcpy(entry.position, position, sizeof entry.position);
  entry.texCoord = texCoord;
  return weld->count++;
}

}  // namespace

int VertexWeldCreate(VertexWeld* weld, uint32_t capacity) {
  if (weld == nullptr) return 0;
  *weld = VertexWeld{nullptr, 0, 0, nullptr, 0, 0, nullptr, 0};
  if (capacity > kVertexWeldMaxCapacity) return 0;
  const uint32_t slots = SlotsFor(capacity);
  // Every field of an entry is written when it is appended.
  weld->vertices = static_cast<ExportVertex*>(AllocBytes(capacity, sizeof(ExportVertex)));
  weld->slots = static_cast<uint32_t*>(AllocZeroed(slots, sizeof(uint32_t)));
  weld->recent = static_cast<VertexWeldRecent*>(AllocZeroed(kRecentSlots, sizeof(VertexWeldRecent)));
  if (weld->vertices == nullptr || weld->slots == nullptr || weld->recent == nullptr) {
    VertexWeldFree(weld);
    return 0;
  }
  weld->largest = capacity;
  return VertexWeldReset(weld, capacity);
}

int VertexWeldReset(VertexWeld* weld, uint32_t capacity) {
  if (weld == nullptr || weld->slots == nullptr || capacity > weld->largest) return 0;
  // Only the part the last mesh could reach may hold anything, and only when it
  // welded a corner: every entry in the hash is an entry of the table.
  if (weld->count > 0) {
    std::memset(weld->slots, 0, (size_t{weld->slotMask} + 1) * sizeof(uint32_t));
    std::memset(weld->recent, 0, (size_t{weld->recentMask} + 1) * sizeof(VertexWeldRecent));
  }
  const uint32_t slots = SlotsFor(capacity);
  const uint32_t recent = slots < kRecentSlots ? slots : kRecentSlots;
  weld->count = 0;
  weld->capacity = capacity;
  weld->slotMask = slots - 1;
  weld->recentMask = recent - 1;
  return 1;
}

uint32_t VertexWeldSearch(VertexWeld* weld, int32_t hostVertex, const float* position, const HostTexCoord& texCoord) {
  VertexWeldRecent& recent = weld->recent[static_cast<uint32_t>(hostVertex) & weld->recentMask];
  // The probes start at the four slots of the host vertex, beside those of the
  // vertices numbered around it, so that a mesh's neighbouring corners probe
  // neighbouring memory; from there they go on in odd steps drawn from the key,
  // which visit every slot and part corners that share the four.
  uint32_t slot = (static_cast<uint32_t>(hostVertex) << 2) & weld->slotMask;
  const uint32_t step = HashKey(hostVertex, KeyBits(texCoord.u), KeyBits(texCoord.v)) | 1u;
  for (uint32_t probe = 1; weld->slots[slot] != 0; ++probe) {
    const uint32_t held = weld->slots[slot];
    if (SameKey(weld->vertices[held - 1], hostVertex, texCoord)) {
      recent = VertexWeldRecent{held, hostVertex, texCoord.u, texCoord.v};
      return held - 1;
    }
    slot = (slot + (probe < 4 ? 1 : step)) & weld->slotMask;
  }
  // No entry: the corner becomes one, and enters the hash when a later corner can
  // weld with it.
  const uint32_t index = Append(weld, hostVertex, position, texCoord);
  if (index != kVertexWeldFull && CanEverWeld(position, texCoord)) {
    weld->slots[slot] = index + 1;
    recent = VertexWeldRecent{index + 1, hostVertex, texCoord.u, texCoord.v};
  }
  return index;
}

void VertexWeldFree(VertexWeld* weld) {
  if (weld == nullptr) return;
  FreeMemory(weld->vertices);
  FreeMemory(weld->slots);
  FreeMemory(weld->recent);
  *weld = VertexWeld{nullptr, 0, 0, nullptr, 0, 0, nullptr, 0};
}
