// Data the model derives from what the file holds: world-space vertices of every mesh
// and the positions of the markers.
#include "sod/sod_reader.h"

namespace {

template <typename Record>
void SetPositions(Record* records, int32_t count) {
  if (records == nullptr) return;
  for (int32_t i = 0; i < count; ++i) {
    for (int k = 0; k < 3; ++k) records[i].position[k] = records[i].transform.m[3][k];
  }
}

}  // namespace

int32_t DeriveModelData(ImportedModel* model) {
  if (model == nullptr) return 0;
  for (int32_t n = 0; model->nodes != nullptr && n < model->nodeCount; ++n) {
    NodeRecord& node = model->nodes[n];
    if (node.kind != kSodNodeMesh || node.vertices == nullptr || node.worldVertices == nullptr) continue;
    for (uint32_t v = 0; v < node.vertexCount; ++v) {
      TransformPoint(node.worldVertices + 3 * v, node.vertices + 3 * v, &node.transform);
    }
  }
  SetPositions(model->hardpoints, model->hardpointCount);
  SetPositions(model->emitters, model->emitterCount);
  SetPositions(model->sprites, model->spriteCount);
  return 1;
}
