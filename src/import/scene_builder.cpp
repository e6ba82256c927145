// The scene build: the imported model turned into host materials, one vertex array,
// named parts and polygon sets, in that order, then the host is told the build is
// complete. The first refusal ends the build with 0 and leaves what was made.
#include "import/scene_builder.h"

#include <cstdint>

#include "common/paths.h"
#include "import/scene_steps.h"
#include "platform/file_system.h"

int32_t BuildScene(ImportedModel* model, HostContext* context) {
  if (model == nullptr || context == nullptr || context->services == nullptr) return 0;
  // Texture paths are the SOD file's directory joined to the names the file gives.
  char16_t directory[kPathUnits];
  DirectoryOfPath(model->sourcePath, directory);
  if (directory[0] != 0) SetCurrentDirectoryWide(directory);
  if (!BuildMaterials(*model, context, directory)) return 0;
  int64_t total = SceneVertexTotal(*model);
  if (total > INT32_MAX) return 0;
  if (total > 0 && !WriteSceneVertices(*model, context, static_cast<int32_t>(total))) return 0;
  if (!CreateParts(*model, context)) return 0;
  FaceCursor cursor = {0, 0};
  if (!BuildMeshFaces(*model, context, static_cast<int32_t>(total), &cursor)) return 0;
  if (!BuildMarkerFaces(*model, context, &cursor)) return 0;
  context->services->FinishBuild(context, 1);
  return 1;
}
