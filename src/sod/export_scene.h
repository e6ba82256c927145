// What of the host's scene a SOD file receives, and whether it fits the format: the
// exported materials, their faces grouped by material, the node count, and the
// checks of a mesh's faces and its welded corners.
#pragma once

#include <cstddef>
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

// 1 when the scene's nodes fit the file's u16 node count; 0 with the reason in the
// context's errorText.
int CheckSodNodeCount(HostContext* context);

// The faces of one material, in polygon set order and face order.
struct FaceList {
  HostFace* const* faces;
  size_t count;
};

// The faces of the exported materials, grouped by material in the order of their
// polygon sets and faces: one read of each face counts them, a second walk places
// their addresses, so that the cost is linear in the faces whatever the number of
// materials. Faces of other materials are left out.
struct MaterialFaces {
  HostFace** faces;  // the faces of exported material i are faces[start[i]] to faces[start[i + 1] - 1]
  size_t* start;     // count + 1 entries
  int32_t first;     // FirstExportedMaterial
  int32_t count;     // ExportedMaterialCount
  // Working memory kept for the next grouping: room of the two arrays above, and each
  // scene face's place among the exported materials.
  size_t facesRoom;
  size_t startRoom;
  uint32_t* places;
  size_t placesRoom;
};

// `grouped` is all zero or an earlier grouping, whose arrays are used again when they
// are large enough. 1, or 0 (nothing held) when memory runs out.
int GroupFacesByMaterial(const HostContext* context, MaterialFaces* grouped);
// The bytes the grouping's arrays hold.
size_t MaterialFacesHeldBytes(const MaterialFaces& grouped);
// The faces of host material `material`; none for a material that is not exported.
FaceList FacesOfMaterial(const MaterialFaces& grouped, int32_t material);
// Frees the grouping; safe on one that failed or was freed.
void MaterialFacesFree(MaterialFaces* grouped);

enum MeshCheck {
  kMeshFits,
  kMeshNotTriangles,     // a face has other than three corners
  kMeshBrokenFace,       // a face lacks its corner arrays or names a vertex that does not exist
  kMeshTooManyFaces,     // more than 65535 faces
  kMeshTooManyVertices,  // more than 65535 welded vertices
  kMeshWeldFailed        // the welded table ran out of room (a table too small for the faces)
};

// Checks each face: three corners, its corner arrays present, vertex indices inside
// the vertex array. The first problem in face order is answered; kMeshTooManyFaces
// only when every face is sound.
MeshCheck ScanFaces(const HostContext* context, FaceList faces);

// Checks the faces as ScanFaces does and welds the corners of each sound one into
// `weld` (emptied by the caller with room for three corners per face), in the same
// pass over the host's corners: each corner's table index goes to its exportScratch
// slot and its low 16 bits to `corners` (three per face), from which the faces are
// written. The first face that is not sound ends the pass with its problem; then
// kMeshTooManyVertices when more than 65535 vertices were welded, else kMeshFits.
MeshCheck WeldFaces(const HostContext* context, FaceList faces, VertexWeld* weld, uint16_t* corners);

// Puts the message for a refused mesh into the context's errorText: `count` is the
// faces or vertices found.
void ReportMeshRefusal(HostContext* context, MeshCheck check, int32_t material, int64_t count);
