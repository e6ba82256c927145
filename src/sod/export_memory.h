// The write operation's working memory, kept from one write to the next: the file
// assembled in memory, the mesh workspace and the grouping of the faces. A batch
// writes many files, and making and first touching megabytes of fresh memory for
// each (page by page, where the system hands out new pages slowly) would cost more
// than assembling them. What a write leaves above kKeptExportBytes is freed after
// it; everything is freed at unload.
#pragma once

#include "common/byte_buffer.h"
#include "sod/export_scene.h"
#include "sod/mesh_writer.h"

struct ExportMemory {
  ByteBuffer file;          // emptied (size 0) at the start of each write
  MeshWorkspace workspace;  // made again only for a mesh larger than it serves
  MaterialFaces grouped;    // its arrays reused when large enough
};

constexpr size_t kKeptExportBytes = size_t{64} << 20;

// The one instance, empty at load.
extern ExportMemory exportMemory;

// A workspace for meshes of up to `faces` faces: `workspace` as it is when it serves
// them already, else made anew. 1, or 0 (nothing held) when memory runs out.
int MeshWorkspaceEnsure(MeshWorkspace* workspace, size_t faces);

// Frees the parts of `memory` when together they hold more than kKeptExportBytes.
void TrimExportMemory(ExportMemory* memory);

// Frees everything `memory` holds.
void ReleaseExportMemory(ExportMemory* memory);
