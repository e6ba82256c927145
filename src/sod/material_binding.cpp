// Binding face groups to materials. The result is that of three plain sweeps over the
// mesh nodes in file order: add every missing material, then give each group the list
// position of its material, then give each material the textures of the last mesh
// node that uses it. Here lookups go through the model's name index, and the third
// sweep walks the nodes backwards once, so a file with many materials and many groups
// binds in time proportional to its groups.
#include <cstring>

#include "sod/sod_reader.h"

namespace {

// Sweep one: a record with default colours for every group material the section
// lacks. (The textures it would take from the first node that names it are always
// replaced by sweep three, so they are not copied here.)
int AddMissingMaterials(ImportedModel* model) {
  for (int32_t n = 0; n < model->nodeCount; ++n) {
    const NodeRecord& node = model->nodes[n];
    if (node.kind != kSodNodeMesh || node.groups == nullptr) continue;
    for (uint32_t g = 0; g < node.groupCount; ++g) {
      const char* name = node.groups[g].materialName;
      if (FindMaterialRecord(model, name) != nullptr) continue;
      if (AddMaterial(model, name) == nullptr) return 0;  // no memory
    }
  }
  return 1;
}

// Sweeps two and three: every position is final now. Walking the nodes from the last,
// the first node to reach a record is the last one in file order that uses it.
void SetIndicesAndTextures(ImportedModel* model) {
  for (MaterialRecord* r = model->materials; r != nullptr; r = r->next) r->texturesBound = 0;
  if (model->nodes == nullptr) return;
  for (int32_t n = model->nodeCount - 1; n >= 0; --n) {
    const NodeRecord& node = model->nodes[n];
    if (node.kind != kSodNodeMesh || node.groups == nullptr) continue;
    for (uint32_t g = 0; g < node.groupCount; ++g) {
      FaceGroup& group = node.groups[g];
      MaterialRecord* record = FindMaterialRecord(model, group.materialName);
      group.materialIndex = record != nullptr ? MaterialPosition(model, record) : -1;
      if (record == nullptr || record->texturesBound) continue;
      std::memcpy(record->texture, node.texture, sizeof record->texture);
      std::memcpy(record->secondTexture, node.secondTexture, sizeof record->secondTexture);
      record->texturesBound = 1;
    }
  }
}

}  // namespace

int32_t BindMaterials(ImportedModel* model) {
  if (model == nullptr || (model->nodes == nullptr && model->nodeCount > 0)) return 0;
  if (!AddMissingMaterials(model)) return 0;
  SetIndicesAndTextures(model);
  return 1;
}
