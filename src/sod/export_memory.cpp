#include "sod/export_memory.h"

#include <cstdlib>

#include "sod/sod_format.h"

ExportMemory exportMemory;

namespace {

size_t HeldBytes(const ExportMemory& memory) {
  const size_t welded = memory.workspace.weld.largest;
  return memory.file.capacity + welded * (sizeof(ExportVertex) + 2 * sizeof(uint32_t)) +
         memory.workspace.faces * 3 * sizeof(uint16_t) + MaterialFacesHeldBytes(memory.grouped);
}

void ReleaseAtUnload() { ReleaseExportMemory(&exportMemory); }

// Static initialisation at load: the memory starts empty, and its release goes on the
// runtime's exit list (should the list be full, it is simply not freed at unload).
struct ExportMemorySetup {
  ExportMemorySetup() {
    exportMemory = ExportMemory{ByteBufferEmpty(), MeshWorkspace{}, MaterialFaces{}};
    (void)atexit(ReleaseAtUnload);
  }
};

ExportMemorySetup exportMemorySetup;

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
