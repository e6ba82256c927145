#include "sod/export_memory.h"

#include "sod/sod_format.h"

// Empty at load; the plug-in's teardown at unload frees what it holds.
ExportMemory exportMemory = ExportMemory{ByteBufferEmpty(), MeshWorkspace{}, MaterialFaces{}};

namespace {

size_t HeldBytes(const ExportMemory& memory) {
  const VertexWeld& weld = memory.workspace.weld;
  return memory.file.capacity + size_t{weld.largest} * (sizeof(ExportVertex) + sizeof(uint32_t)) +
         size_t{weld.hostVertices} * sizeof(uint32_t) + memory.workspace.faces * 3 * sizeof(uint16_t) +
         MaterialFacesHeldBytes(memory.grouped);
}

}  // namespace

int MeshWorkspaceEnsure(MeshWorkspace* workspace, size_t faces) {
  if (workspace == nullptr) return 0;
  const size_t welded = faces < kSodMaxCount ? faces : kSodMaxCount;
  if (workspace->corners != nullptr && workspace->faces >= welded) return 1;
  MeshWorkspaceFree(workspace);
  return MeshWorkspaceCreate(workspace, faces);
}

void TrimExportMemory(ExportMemory* memory) {
  if (memory != nullptr && HeldBytes(*memory) > kKeptExportBytes) ReleaseExportMemory(memory);
}

void ReleaseExportMemory(ExportMemory* memory) {
  if (memory == nullptr) return;
  ByteBufferFree(&memory->file);
  MeshWorkspaceFree(&memory->workspace);
  MaterialFacesFree(&memory->grouped);
}
