// What the model's nodes and markers bring to a scene build.
#include "import/import_options.h"
#include "import/scene_steps.h"

namespace {

constexpr uint32_t kMeshKind = 1;

MarkerView ViewOf(const MarkerRecord* markers, const EmitterRecord* emitters, int32_t count, int32_t converted) {
  MarkerView view = {0, markers, emitters};
  if (converted == 1 && (markers != nullptr || emitters != nullptr) && count > 0) view.count = count;
  return view;
}

}  // namespace

bool IsSelectedMesh(const NodeRecord& node) { return node.kind == kMeshKind && node.selected != 0; }

uint32_t BuiltVertexCount(const NodeRecord& node) { return node.worldVertices != nullptr ? node.vertexCount : 0; }

uint32_t BuiltGroupCount(const NodeRecord& node) { return node.groups != nullptr ? node.groupCount : 0; }

uint32_t BuiltFaceCount(const FaceGroup& group) { return group.faces != nullptr ? group.faceCount : 0; }

void ConvertedMarkers(const ImportedModel& model, MarkerView views[kMarkerKinds]) {
  views[0] = ViewOf(model.hardpoints, nullptr, model.hardpointCount, importOptions.convertHardpoints);
  views[1] = ViewOf(nullptr, model.emitters, model.emitterCount, importOptions.convertEmitters);
  views[2] = ViewOf(model.sprites, nullptr, model.spriteCount, importOptions.convertSprites);
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
