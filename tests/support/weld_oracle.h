// The literal weld, kept as the oracle of the hashed one: every corner searches the
// table from the start for the first entry with the same host vertex, exactly equal
// u and v, and a position within 0.0001 per component; without one it is appended.
#pragma once

#include <cstdint>

#include "common/transform.h"
#include "sod/vertex_weld.h"

inline uint32_t LiteralWeldAdd(ExportVertex* table, uint32_t* count, const ExportVertex& corner) {
  for (uint32_t e = 0; e < *count; ++e) {
    const ExportVertex& entry = table[e];
    if (entry.hostVertex == corner.hostVertex && corner.texCoord.u == entry.texCoord.u &&
        corner.texCoord.v == entry.texCoord.v && PointsNearlyEqual(corner.position, entry.position)) {
      return e;
    }
  }
  table[*count] = corner;
  return (*count)++;
}
