// One mesh node per exported host material: the material's faces from every polygon
// set, their corners welded into a vertex table in which a host vertex occurs once per
// distinct texture coordinate, positions turned into the SOD axes.
#pragma once

#include <cstdint>

#include "common/byte_buffer.h"
#include "sod/export_scene.h"

// The working memory of the mesh writer, made once per file for its largest mesh and
// used by each mesh in turn: the welded table and each corner's place in it.
struct MeshWorkspace {
  VertexWeld weld;
  uint16_t* corners;  // three per face
  size_t faces;       // the most faces of a mesh it serves
};

// Room for meshes of up to `faces` faces (more than 65535 are never welded). 1, or 0
// (nothing held) when memory runs out.
int MeshWorkspaceCreate(MeshWorkspace* workspace, size_t faces);
// Frees the memory; safe on a workspace that failed or was freed.
void MeshWorkspaceFree(MeshWorkspace* workspace);

// Appends the mesh node of host material `material` of the scene of `context`, whose
// faces are `faces` (as GroupFacesByMaterial finds them), to `out`. The faces are
// checked and their corners welded once, in `workspace`, and the node is written from
// that weld. 1 when the whole node was appended; 0 for a missing buffer, a scene
// without vertices, a workspace too small or a buffer that cannot grow, and 0 before
// appending anything when the mesh cannot be stored (a face without three sound
// corners, more than 65535 faces or welded vertices; the reason goes to errorText).
int WriteMeshNode(ByteBuffer* out, HostContext* context, int32_t material, FaceList faces, MeshWorkspace* workspace);

// The SOD position of a host position: mirrored x, turned a quarter about X.
void SodPositionOf(const float* host, float* sod);
