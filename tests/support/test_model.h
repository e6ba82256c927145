// Imported models made in tests, without a SOD file: mesh nodes with vertices, texture
// coordinates and face groups, marker records and materials, in the plug-in's own
// allocations so that FreeImportedModel releases them like a read model.
#pragma once

#include <array>
#include <cstring>
#include <string>
#include <vector>

#include "common/memory.h"
#include "common/wide_text.h"
#include "sod/imported_model.h"

struct TestGroup {
  std::string material;
  int32_t materialIndex = 0;
  std::vector<std::array<uint32_t, 6>> faces;  // vertex indices 0-2, texture coordinate indices 0-2
};

struct TestNode {
  std::string name;
  uint32_t kind = 1;
  uint32_t selected = 1;
  std::vector<std::array<float, 3>> vertices;  // world positions
  std::vector<std::array<float, 2>> texCoords;
  std::vector<TestGroup> groups;
};

struct TestMarker {
  std::string name;
  std::array<float, 3> position;
  std::string emitterName;
};

template <typename T>
T* TestArray(size_t count) {
  return count == 0 ? nullptr : static_cast<T*>(AllocZeroed(count, sizeof(T)));
}

inline void FillTestNode(NodeRecord* record, const TestNode& node) {
  record->kind = node.kind;
  record->selected = node.selected;
  std::strncpy(record->name, node.name.c_str(), sizeof record->name - 1);
  record->transform = IdentityMatrix();
  record->vertexCount = static_cast<uint32_t>(node.vertices.size());
  record->vertices = TestArray<float>(3 * node.vertices.size());
  record->worldVertices = TestArray<float>(3 * node.vertices.size());
  for (size_t v = 0; v < node.vertices.size(); ++v) {
    for (size_t k = 0; k < 3; ++k) record->vertices[3 * v + k] = record->worldVertices[3 * v + k] = node.vertices[v][k];
  }
  record->texCoordCount = static_cast<uint32_t>(node.texCoords.size());
  record->texCoords = TestArray<float>(2 * node.texCoords.size());
  for (size_t t = 0; t < node.texCoords.size(); ++t) {
    record->texCoords[2 * t] = node.texCoords[t][0];
    record->texCoords[2 * t + 1] = node.texCoords[t][1];
  }
  record->groupCount = static_cast<uint32_t>(node.groups.size());
  record->groups = TestArray<FaceGroup>(node.groups.size());
  for (size_t g = 0; g < node.groups.size(); ++g) {
    FaceGroup& group = record->groups[g];
    std::strncpy(group.materialName, node.groups[g].material.c_str(), sizeof group.materialName - 1);
    group.materialIndex = node.groups[g].materialIndex;
    group.faceCount = static_cast<uint32_t>(node.groups[g].faces.size());
    group.faces = TestArray<uint32_t>(6 * node.groups[g].faces.size());
    for (size_t f = 0; f < node.groups[g].faces.size(); ++f) {
      for (size_t k = 0; k < 6; ++k) group.faces[6 * f + k] = node.groups[g].faces[f][k];
    }
  }
}

template <typename Record>
Record* FillTestMarkers(const std::vector<TestMarker>& markers, int32_t* count) {
  *count = static_cast<int32_t>(markers.size());
  Record* records = TestArray<Record>(markers.size());
  for (size_t i = 0; i < markers.size(); ++i) {
    std::strncpy(records[i].name, markers[i].name.c_str(), sizeof records[i].name - 1);
    records[i].transform = IdentityMatrix();
    for (size_t k = 0; k < 3; ++k) records[i].transform.m[3][k] = records[i].position[k] = markers[i].position[k];
  }
  return records;
}

// Fills an empty model (all zero) with the given nodes and markers and counts them the
// way the reader does. Materials are added with AddMaterial.
inline void FillTestModel(ImportedModel* model, const std::vector<TestNode>& nodes,
                          const std::vector<TestMarker>& hardpoints = {}, const std::vector<TestMarker>& emitters = {},
                          const std::vector<TestMarker>& sprites = {}) {
  model->version = 1.8f;
  model->nodeCount = static_cast<int32_t>(nodes.size());
  model->nodes = TestArray<NodeRecord>(nodes.size());
  for (size_t i = 0; i < nodes.size(); ++i) {
    FillTestNode(&model->nodes[i], nodes[i]);
    if (nodes[i].kind == 0) ++model->nullNodeCount;
    if (nodes[i].kind == 1) ++model->meshNodeCount;
    if (nodes[i].kind == 11) ++model->lodNodeCount;
  }
  model->nodesFilled = model->nodeCount;
  model->hardpoints = FillTestMarkers<HardpointRecord>(hardpoints, &model->hardpointCount);
  model->sprites = FillTestMarkers<SpriteRecord>(sprites, &model->spriteCount);
  model->emitters = FillTestMarkers<EmitterRecord>(emitters, &model->emitterCount);
  for (size_t i = 0; i < emitters.size(); ++i) {
    std::strncpy(model->emitters[i].emitterName, emitters[i].emitterName.c_str(),
                 sizeof model->emitters[i].emitterName - 1);
  }
  model->hardpointsFilled = model->hardpointCount;
  model->spritesFilled = model->spriteCount;
  model->emittersFilled = model->emitterCount;
}

// A material record with the given colours and textures.
inline MaterialRecord* AddTestMaterial(ImportedModel* model, const std::string& name, float red,
                                       const std::u16string& texture = u"", const std::u16string& second = u"") {
  MaterialRecord* record = AddMaterial(model, name.c_str());
  if (record == nullptr) return nullptr;
  model->materialSectionCount = model->materialCount;
  for (int k = 0; k < 3; ++k) {
    record->ambient[k] = red / 4;
    record->diffuse[k] = red;
    record->specular[k] = red / 2;
  }
  record->diffuse[3] = record->ambient[3] = record->specular[3] = 1.0f;
  record->specularPower = 30.0f;
  WideCopy(record->texture, kModelTextUnits, texture.c_str());
  WideCopy(record->secondTexture, kModelTextUnits, second.c_str());
  return record;
}
