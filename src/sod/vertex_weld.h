// The welded vertex table of one mesh node. Every corner of the mesh's faces either
// finds the first entry that it welds with or becomes a new entry at the end; an
// entry's place in the table is its SOD vertex index and its texture coordinate index.
//
// A corner welds with an entry when both name the same host vertex, their u and their
// v are exactly equal (+0 equals -0, a NaN equals nothing) and their positions are
// within 0.0001 per component (PointsNearlyEqual). The table finds that entry among
// the entries of the corner's own host vertex, chained in table order, instead of
// searching all entries, with the same result as the search: since every corner of
// one host vertex carries a copy of the same position, the position test reduces to
// "the position is finite", and a corner whose u, v or position can never match is
// appended without entering the chain. For the same reason a corner that finds an
// entry of its host vertex needs no position: it is read only for a corner that
// becomes an entry.
#pragma once

#include <cstdint>

#include "plugin/host_records.h"

struct ExportVertex {
  int32_t hostVertex;     // index into the host's vertex array
  float position[3];      // copy of that host vertex's position, host coordinates
  HostTexCoord texCoord;  // copy of the corner's whole texture coordinate record
};
static_assert(sizeof(ExportVertex) == 32, "an entry of the welded table is 32 bytes");

// The last entry a host vertex's corner welded with, with the entry's key.
struct VertexWeldRecent {
  uint32_t entry;  // index + 1; 0 for none
  int32_t hostVertex;
  float u;
  float v;
};

struct VertexWeld {
  ExportVertex* vertices;  // room for `capacity` entries, `count` of them in use
  uint32_t count;
  uint32_t capacity;
  uint32_t largest;       // the capacity the table was created with
  uint32_t* first;        // per host vertex: its first entry that corners can weld with (index + 1), 0 for none
  uint32_t* next;         // per entry: the next such entry of the same host vertex (index + 1), 0 for none
  uint32_t hostVertices;  // host vertices `first` has room for
  // In front of the chains: for each host vertex modulo recentMask + 1, the entry that
  // its last corner welded with, with that entry's key. Faces that follow each other
  // share vertices, so most corners find their entry here without reading the table.
  VertexWeldRecent* recent;
  uint32_t recentMask;
};

// Largest capacity a table accepts (three corners for each of 65535 faces, with room).
constexpr uint32_t kVertexWeldMaxCapacity = 1u << 24;

// Creates an empty table with room for `capacity` entries of corners of host vertices
// 0 to `hostVertices` - 1. 1, or 0 (nothing held) when memory runs out or the capacity
// is above the maximum.
int VertexWeldCreate(VertexWeld* weld, uint32_t capacity, uint32_t hostVertices);

// Empties the table for the corners of another mesh, with room for `capacity` entries
// (at most the capacity it was created with; 0 otherwise) of host vertices 0 to
// `hostVertices` - 1 (0 when there is no memory for more). Costs time in proportion to
// the entries of the mesh before, so that one table serves many small meshes in turn.
int VertexWeldReset(VertexWeld* weld, uint32_t capacity, uint32_t hostVertices);

constexpr uint32_t kVertexWeldFull = 0xFFFFFFFFu;

// The table index of the first entry that the corner of host vertex `hostVertex` at
// `position` (its three coordinates) with the texture coordinate record `texCoord`
// welds with, appending the corner when there is none; kVertexWeldFull when it would
// have to append to a full table, or the host vertex is not one the table was made
// for. Corners of one host vertex must carry the same position.
inline uint32_t VertexWeldAdd(VertexWeld* weld, int32_t hostVertex, const float* position,
                              const HostTexCoord& texCoord);

// VertexWeldAdd for a corner that did not weld with the last entry of its host vertex.
uint32_t VertexWeldSearch(VertexWeld* weld, int32_t hostVertex, const float* position, const HostTexCoord& texCoord);

// Frees the table; safe on a table that was never created or is already freed.
void VertexWeldFree(VertexWeld* weld);

// Most corners weld with the entry the last corner of their host vertex welded with;
// only the others search their host vertex's chain, out of line.
inline uint32_t VertexWeldAdd(VertexWeld* weld, int32_t hostVertex, const float* position,
                              const HostTexCoord& texCoord) {
  const VertexWeldRecent& recent = weld->recent[static_cast<uint32_t>(hostVertex) & weld->recentMask];
  if (recent.entry != 0 && recent.hostVertex == hostVertex && recent.u == texCoord.u && recent.v == texCoord.v) {
    return recent.entry - 1;
  }
  return VertexWeldSearch(weld, hostVertex, position, texCoord);
}
