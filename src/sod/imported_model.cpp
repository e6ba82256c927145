#include "sod/imported_model.h"

#include <cstring>

#include "common/memory.h"

ImportedModel importedModel;

// An open-addressing table of the material records by name. Records are only ever
// added, so the table only grows; it doubles before it is half full. The list itself
// keeps its order, and a record's list position follows from its creation ordinal, so
// a lookup costs the same however many materials a file has.
struct MaterialNameIndex {
  MaterialRecord** slots;
  uint32_t capacity;  // a power of two
  uint32_t used;
};

namespace {

uint32_t HashName(const char* name) {
  uint32_t hash = 2166136261u;
  for (const unsigned char* p = reinterpret_cast<const unsigned char*>(name); *p != 0; ++p) {
    hash = (hash ^ *p) * 16777619u;
  }
  return hash;
}

MaterialRecord** FindSlot(MaterialRecord** slots, uint32_t capacity, const char* name) {
  uint32_t mask = capacity - 1;
  uint32_t i = HashName(name) & mask;
  for (uint32_t step = 1; slots[i] != nullptr; ++step) {
    if (std::strcmp(slots[i]->name, name) == 0) break;
    i = (i + step) & mask;  // triangular probing visits every slot of a power-of-two table
  }
  return &slots[i];
}

// Makes room for one more record; false when memory runs out.
bool ReserveOneMore(ImportedModel* model) {
  MaterialNameIndex* index = model->materialIndex;
  if (index == nullptr) {
    index = static_cast<MaterialNameIndex*>(AllocZeroed(1, sizeof(MaterialNameIndex)));
    if (index == nullptr) return false;
    model->materialIndex = index;
  }
  if (index->slots != nullptr && (index->used + 1) * 2 <= index->capacity) return true;
  uint32_t capacity = index->capacity == 0 ? 64 : index->capacity * 2;
  // An array of record pointers, one per slot.
  MaterialRecord** slots = static_cast<MaterialRecord**>(
      AllocZeroed(capacity, sizeof(MaterialRecord*)));  // NOLINT(bugprone-sizeof-expression)
  if (slots == nullptr) return false;
  if (index->slots != nullptr) {
    for (uint32_t i = 0; i < index->capacity; ++i) {
      if (index->slots[i] != nullptr) *FindSlot(slots, capacity, index->slots[i]->name) = index->slots[i];
    }
    FreeMemory(index->slots);
  }
  index->slots = slots;
  index->capacity = capacity;
  return true;
}

void FreeIndex(ImportedModel* model) {
  if (model->materialIndex == nullptr) return;
  FreeMemory(model->materialIndex->slots);
  FreeMemory(model->materialIndex);
  model->materialIndex = nullptr;
}

}  // namespace

MaterialRecord* FindMaterialRecord(const ImportedModel* model, const char* name) {
  if (model == nullptr || name == nullptr || model->materialIndex == nullptr) return nullptr;
  const MaterialNameIndex* index = model->materialIndex;
  if (index->slots == nullptr) return nullptr;  // the first table could not be allocated
  return *FindSlot(index->slots, index->capacity, name);
}

int32_t MaterialPosition(const ImportedModel* model, const MaterialRecord* record) {
  return model->materialCount - 1 - static_cast<int32_t>(record->ordinal);
}

int32_t FindMaterial(const ImportedModel* model, const char* name) {
  const MaterialRecord* record = FindMaterialRecord(model, name);
  return record != nullptr ? MaterialPosition(model, record) : -1;
}

MaterialRecord* AddMaterial(ImportedModel* model, const char* name) {
  if (model == nullptr || name == nullptr || FindMaterial(model, name) >= 0) return nullptr;
  if (!ReserveOneMore(model)) return nullptr;
  MaterialRecord* record = static_cast<MaterialRecord*>(AllocZeroed(1, sizeof(MaterialRecord)));
  if (record == nullptr) return nullptr;
  const float ambient[4] = {0.0f, 0.0f, 0.0f, 1.0f};
  const float diffuse[4] = {1.0f, 1.0f, 1.0f, 1.0f};
  std::memcpy(record->ambient, ambient, sizeof ambient);
  std::memcpy(record->diffuse, diffuse, sizeof diffuse);
  std::memcpy(record->specular, ambient, sizeof ambient);
  record->specularPower = 128.0f;
  std::strncpy(record->name, name, kSodNameBytes - 1);
  record->ordinal = static_cast<uint32_t>(model->materialCount);
  record->next = model->materials;
  model->materials = record;
  ++model->materialCount;
  MaterialNameIndex* index = model->materialIndex;
  *FindSlot(index->slots, index->capacity, record->name) = record;
  ++index->used;
  return record;
}

void FreeMaterials(ImportedModel* model) {
  if (model == nullptr) return;
  MaterialRecord* record = model->materials;
  while (record != nullptr) {
    MaterialRecord* next = record->next;
    FreeMemory(record);
    record = next;
  }
  model->materials = nullptr;
  model->materialCount = 0;
  FreeIndex(model);
}

void FreeImportedModel(ImportedModel* model) {
  if (model == nullptr) return;
  FreeMaterials(model);
  FreeMemory(model->hardpoints);
  FreeMemory(model->emitters);
  FreeMemory(model->sprites);
  if (model->nodes != nullptr) {
    for (int32_t i = 0; i < model->nodeCount; ++i) {
      NodeRecord& node = model->nodes[i];
      FreeMemory(node.vertices);
      FreeMemory(node.worldVertices);
      FreeMemory(node.texCoords);
      if (node.groups != nullptr) {
        for (uint32_t g = 0; g < node.groupCount; ++g) FreeMemory(node.groups[g].faces);
      }
      FreeMemory(node.groups);
    }
    FreeMemory(model->nodes);
  }
  *model = ImportedModel{};
}

void ResetImport(ImportedModel* model, ByteCursor* cursor) {
  FreeImportedModel(model);
  ByteCursorRelease(cursor);
}
