// What the model's nodes and markers bring to a scene build.
#include <cstddef>

#include "import/import_options.h"
#include "import/scene_steps.h"

namespace {

constexpr uint32_t kMeshKind = 1;

MarkerView ViewOf(const void* records, int32_t count, size_t stride, size_t positionOffset, int32_t converted) {
  MarkerView view = {0, static_cast<const unsigned char*>(records), stride, positionOffset};
  if (converted == 1 && records != nullptr && count > 0) view.count = count;
  return view;
}

}  // namespace

bool IsSelectedMesh(const NodeRecord& node) { return node.kind == kMeshKind && node.selected != 0; }

uint32_t BuiltVertexCount(const NodeRecord& node) { return node.worldVertices != nullptr ? node.vertexCount : 0; }

uint32_t BuiltGroupCount(const NodeRecord& node) { return node.groups != nullptr ? node.groupCount : 0; }

uint32_t BuiltFaceCount(const FaceGroup& group) { return group.faces != nullptr ? group.faceCount : 0; }

void ConvertedMarkers(const ImportedModel& model, MarkerView views[kMarkerKinds]) {
  views[0] = ViewOf(model.hardpoints, model.hardpointCount, sizeof(HardpointRecord),
                    offsetof(HardpointRecord, position), importOptions.convertHardpoints);
  views[1] = ViewOf(model.emitters, model.emitterCount, sizeof(EmitterRecord), offsetof(EmitterRecord, position),
                    importOptions.convertEmitters);
  views[2] = ViewOf(model.sprites, model.spriteCount, sizeof(SpriteRecord), offsetof(SpriteRecord, position),
                    importOptions.convertSprites);
}

int64_t SceneVertexTotal(const ImportedModel& model) {
  int64_t total = 0;
  for (int32_t i = 0; model.nodes != nullptr && i < model.nodeCount; ++i) {
    if (IsSelectedMesh(model.nodes[i])) total += BuiltVertexCount(model.nodes[i]);
  }
  MarkerView views[kMarkerKinds];
  ConvertedMarkers(model, views);
  for (const MarkerView& view : views) total += int64_t{kMarkerCorners} * view.count;
  return total;
}
