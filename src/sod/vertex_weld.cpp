#include "sod/vertex_weld.h"

#include <algorithm>
#include <cstring>

#include "common/memory.h"
#include "common/transform.h"

namespace {

constexpr uint32_t kRecentSlots = 1024;

// Whether a later corner can weld with this one: not when u or v is a NaN, or the
// position does not match itself (a NaN or an infinity makes the difference NaN).
bool CanEverWeld(const float* position, const HostTexCoord& texCoord) {
  return texCoord.u == texCoord.u && texCoord.v == texCoord.v && PointsNearlyEqual(position, position);
}

// The recent slots in use for a table of `capacity` entries: a power of two, at most
// kRecentSlots, so that a small mesh clears few of them.
uint32_t RecentSlotsFor(uint32_t capacity) {
  uint32_t slots = 16;
  while (slots < kRecentSlots && slots < capacity) slots *= 2;
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

// Room in `first` for `hostVertices` host vertices, all without entries.
int MakeFirstRoom(VertexWeld* weld, uint32_t hostVertices) {
  if (weld->first != nullptr && hostVertices <= weld->hostVertices) return 1;
  FreeMemory(weld->first);
  weld->hostVertices = 0;
  weld->first = static_cast<uint32_t*>(AllocZeroed(hostVertices > 0 ? hostVertices : 1, sizeof(uint32_t)));
  if (weld->first == nullptr) return 0;
  weld->hostVertices = hostVertices;
  return 1;
}

}  // namespace

int VertexWeldCreate(VertexWeld* weld, uint32_t capacity, uint32_t hostVertices) {
  if (weld == nullptr) return 0;
  *weld = VertexWeld{nullptr, 0, 0, 0, nullptr, nullptr, 0, nullptr, 0};
  if (capacity > kVertexWeldMaxCapacity) return 0;
  // Every field of an entry, and its link, is written when it is appended.
  weld->vertices = static_cast<ExportVertex*>(AllocBytes(capacity, sizeof(ExportVertex)));
  weld->next = static_cast<uint32_t*>(AllocBytes(capacity, sizeof(uint32_t)));
  weld->recent = static_cast<VertexWeldRecent*>(AllocZeroed(kRecentSlots, sizeof(VertexWeldRecent)));
  if (weld->vertices == nullptr || weld->next == nullptr || weld->recent == nullptr ||
      !MakeFirstRoom(weld, hostVertices)) {
    VertexWeldFree(weld);
    return 0;
  }
  weld->largest = capacity;
  return VertexWeldReset(weld, capacity, hostVertices);
}

int VertexWeldReset(VertexWeld* weld, uint32_t capacity, uint32_t hostVertices) {
  if (weld == nullptr || weld->recent == nullptr || capacity > weld->largest) return 0;
  // Only the host vertices of the last mesh's entries have a chain, and only the
  // recent slots that mesh could reach hold anything.
  if (weld->count > 0) {
    for (uint32_t i = 0; i < weld->count; ++i) weld->first[weld->vertices[i].hostVertex] = 0;
    std::fill_n(weld->recent, size_t{weld->recentMask} + 1, VertexWeldRecent{0, 0, 0.0f, 0.0f});
  }
  weld->count = 0;
  weld->capacity = capacity;
  weld->recentMask = RecentSlotsFor(capacity) - 1;
  return MakeFirstRoom(weld, hostVertices);
}

uint32_t VertexWeldSearch(VertexWeld* weld, int32_t hostVertex, const float* position, const HostTexCoord& texCoord) {
  if (hostVertex < 0 || static_cast<uint32_t>(hostVertex) >= weld->hostVertices) return kVertexWeldFull;
  VertexWeldRecent& recent = weld->recent[static_cast<uint32_t>(hostVertex) & weld->recentMask];
  // The host vertex's entries in table order: the first whose u and v are equal is
  // the one the search finds, the same host vertex carrying the same finite position.
  uint32_t last = 0;
  for (uint32_t held = weld->first[hostVertex]; held != 0; last = held, held = weld->next[held - 1]) {
    const HostTexCoord& entry = weld->vertices[held - 1].texCoord;
    if (entry.u == texCoord.u && entry.v == texCoord.v) {
      recent = VertexWeldRecent{held, hostVertex, texCoord.u, texCoord.v};
      return held - 1;
    }
  }
  // No entry: the corner becomes one, and joins its host vertex's chain when a later
  // corner can weld with it.
  const uint32_t index = Append(weld, hostVertex, position, texCoord);
  if (index != kVertexWeldFull && CanEverWeld(position, texCoord)) {
    weld->next[index] = 0;
    (last == 0 ? weld->first[hostVertex] : weld->next[last - 1]) = index + 1;
    recent = VertexWeldRecent{index + 1, hostVertex, texCoord.u, texCoord.v};
  }
  return index;
}

void VertexWeldFree(VertexWeld* weld) {
  if (weld == nullptr) return;
  FreeMemory(weld->vertices);
  FreeMemory(weld->next);
  FreeMemory(weld->first);
  FreeMemory(weld->recent);
  *weld = VertexWeld{nullptr, 0, 0, 0, nullptr, nullptr, 0, nullptr, 0};
}
