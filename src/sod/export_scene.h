// What of the host's scene a SOD file receives, and whether it fits the format: the
// exported materials, the faces of one material, the node count, and the checks that
// run before anything is written.
#pragma once

#include <cstdint>

#include "plugin/host_records.h"
#include "sod/vertex_weld.h"

// The first exported material: 0 when material 0 is in use (useCount above 0), else 1.
int32_t FirstExportedMaterial(const HostContext* context);
// M: the number of exported materials (materialCount - first, never below 0; 0 when
// the scene has no materials array). Each becomes one mesh node.
int32_t ExportedMaterialCount(const HostContext* context);

// The nodes a file of this scene holds: the root, the mesh nodes, and each ticked
// group with its loaded records. Counted without limit.
int64_t SodNodeCount(const HostContext* context);

// Visits the faces whose materialIndex is `material`, polygon sets in order and faces
// in order; stops early when `visit` returns false.
template <typename Visit>
void ForEachFaceOf(const HostContext* context, int32_t material, Visit visit) {
  if (context->polygonSets == nullptr) return;
  for (int32_t s = 0; s < context->polygonSetCount; ++s) {
    const HostPolygonSet& set = context->polygonSets[s];
    if (set.faces == nullptr) continue;
    for (int32_t f = 0; f < set.faceCount; ++f) {
      HostFace& face = set.faces[f];
      if (face.materialIndex == material && !visit(face)) return;
    }
  }
}

enum MeshCheck {
  kMeshFits,
  kMeshNotTriangles,    // a face has other than three corners
  kMeshBrokenFace,      // a face lacks its corner arrays or names a vertex that does not exist
  kMeshTooManyFaces,    // more than 65535 faces
  kMeshTooManyVertices  // more than 65535 welded vertices
};

// Counts the faces of `material` into *faceCount and checks each: three corners, its
// corner arrays present, vertex indices inside the vertex array. The first problem in
// face order is answered; kMeshTooManyFaces only when every face is sound.
MeshCheck ScanMaterialFaces(const HostContext* context, int32_t material, uint32_t* faceCount);

// Welds the corners of `material` into `weld` (created by the caller with room for
// three corners per face) and stores each corner's table index in its exportScratch
// slot. Only for a material whose scan found every face sound. 1, or 0 when the table
// ran full.
int WeldMaterialCorners(const HostContext* context, int32_t material, VertexWeld* weld);

// Puts the message for a refused mesh into the context's errorText: `count` is the
// faces or vertices found.
void ReportMeshRefusal(HostContext* context, MeshCheck check, int32_t material, int64_t count);

// The checks that can refuse a scene before anything is written: the node count, and
// for each exported material its faces, their count and its welded vertex count. 1
// when the scene fits; 0 with the reason in errorText (none when memory ran out).
int CheckSceneFitsSod(HostContext* context);
