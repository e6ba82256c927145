// The material binding of a read, done literally: three sweeps over the mesh nodes in
// file order, finding materials by walking the list from the front. Slow on purpose;
// tests and benchmarks hold the reader's indexed binding against it.
#pragma once

#include <cstring>

#include "sod/imported_model.h"

namespace sodtest {

// Position of the first record named exactly `name`, walking from the front; -1 if none.
inline int32_t WalkFindMaterial(const ImportedModel* model, const char* name) {
  int32_t position = 0;
  for (const MaterialRecord* r = model->materials; r != nullptr; r = r->next, ++position) {
    if (std::strcmp(r->name, name) == 0) return position;
  }
  return -1;
}

inline void CopyNodeTextures(const NodeRecord& node, MaterialRecord* record) {
  std::memcpy(record->texture, node.texture, sizeof record->texture);
  std::memcpy(record->secondTexture, node.secondTexture, sizeof record->secondTexture);
}

inline bool NodeUsesMaterial(const NodeRecord& node, const char* name) {
  for (uint32_t g = 0; g < node.groupCount; ++g) {
    if (std::strcmp(node.groups[g].materialName, name) == 0) return true;
  }
  return false;
}

// 1, or 0 when a record could not be added.
inline int32_t LiteralBindMaterials(ImportedModel* model) {
  for (int32_t n = 0; n < model->nodeCount; ++n) {
    const NodeRecord& node = model->nodes[n];
    if (node.kind != 1) continue;
    for (uint32_t g = 0; g < node.groupCount; ++g) {
      if (WalkFindMaterial(model, node.groups[g].materialName) >= 0) continue;
      MaterialRecord* record = AddMaterial(model, node.groups[g].materialName);
      if (record == nullptr) return 0;
      CopyNodeTextures(node, record);
    }
  }
  for (int32_t n = 0; n < model->nodeCount; ++n) {
    NodeRecord& node = model->nodes[n];
    if (node.kind != 1) continue;
    for (uint32_t g = 0; g < node.groupCount; ++g) {
      node.groups[g].materialIndex = WalkFindMaterial(model, node.groups[g].materialName);
    }
  }
  for (MaterialRecord* r = model->materials; r != nullptr; r = r->next) {
    for (int32_t n = 0; n < model->nodeCount; ++n) {
      const NodeRecord& node = model->nodes[n];
      if (node.kind == 1 && NodeUsesMaterial(node, r->name)) CopyNodeTextures(node, r);
    }
  }
  return 1;
}

}  // namespace sodtest
