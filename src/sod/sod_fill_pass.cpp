// The filling pass: walks the bytes the counting pass has already walked and fills the
// arrays it sized, and the material list from the material section.
#include <cstring>

#include "common/memory.h"
#include "common/text_conversion.h"
#include "sod/sod_cursor_read.h"
#include "sod/sod_mesh_head.h"
#include "sod/sod_reader.h"
#include "sod/sod_skip.h"

namespace {

// One material entry: a new name becomes a record with the file's colours; a name
// seen before is dropped, so the first entry of a name wins.
int ReadMaterialEntry(ByteCursor* cursor, ImportedModel* model, bool secondModeByte) {
  char name[kSodNameBytes];
  float colours[3][3];
  float power = 0.0f;
  if (!ReadString(cursor, name)) return 0;
  for (auto& colour : colours) {
    if (!CursorReadFloats(cursor, colour, 3)) return 0;
  }
  if (!CursorReadF32(cursor, &power) || !CursorSkip(cursor, secondModeByte ? 2 : 1)) return 0;
  MaterialRecord* record = AddMaterial(model, name);
  if (record == nullptr) return FindMaterial(model, name) >= 0 ? 1 : 0;  // a repeat, or no memory
  float* targets[3] = {record->ambient, record->diffuse, record->specular};
  for (int c = 0; c < 3; ++c) {
    std::memcpy(targets[c], colours[c], sizeof colours[c]);
    targets[c][3] = 1.0f;
  }
  // Clamped to 0..128; a power that is not a number becomes 0.
  record->specularPower = power > 128.0f ? 128.0f : (power >= 0.0f ? power : 0.0f);
  return 1;
}

int ReadMaterials(ByteCursor* cursor, ImportedModel* model) {
  uint16_t count = 0;
  if (!CursorReadU16(cursor, &count)) return 0;
  const bool secondModeByte = SodLayoutFor(model->version).secondMaterialModeByte;
  for (uint32_t i = 0; i < count; ++i) {
    if (!ReadMaterialEntry(cursor, model, secondModeByte)) return 0;
  }
  return 1;
}

// Allocates the arrays of a mesh with V vertices, K texture coordinates, G groups. The
// arrays of numbers are not zeroed: the filling pass writes them in full, and a read
// that fails before then frees them unread.
int AllocateMesh(NodeRecord* node, uint16_t vertexCount, uint16_t texCoordCount, uint16_t groupCount) {
  if (groupCount > 0) {
    node->groups = static_cast<FaceGroup*>(AllocZeroed(groupCount, sizeof(FaceGroup)));
    if (node->groups == nullptr) return 0;
    node->groupCount = groupCount;
  }
  if (vertexCount > 0) {
    node->vertices = static_cast<float*>(AllocBytes(vertexCount, 3 * sizeof(float)));
    node->worldVertices = static_cast<float*>(AllocBytes(vertexCount, 3 * sizeof(float)));
    node->vertexCount = vertexCount;
    if (node->vertices == nullptr || node->worldVertices == nullptr) return 0;
  }
  if (texCoordCount > 0) {
    node->texCoords = static_cast<float*>(AllocBytes(texCoordCount, 2 * sizeof(float)));
    if (node->texCoords == nullptr) return 0;
    node->texCoordCount = texCoordCount;
  }
  return 1;
}

int ReadFaceGroup(ByteCursor* cursor, FaceGroup* group) {
  uint16_t faceCount = 0;
  if (!CursorReadU16(cursor, &faceCount) || !ReadString(cursor, group->materialName)) return 0;
  if (faceCount == 0) return 1;
  // The counting pass has seen these bytes; checking again keeps the allocation tied to them.
  if (faceCount * kSodFaceBytes > cursor->size - cursor->position) return 0;
  group->faces = static_cast<uint32_t*>(AllocBytes(faceCount, 6 * sizeof(uint32_t)));  // filled below
  if (group->faces == nullptr) return 0;
  group->faceCount = faceCount;
  const uint8_t* b = cursor->data + cursor->position;  // per corner: u16 vertex, u16 texture coordinate index
  for (uint32_t* face = group->faces; face < group->faces + 6 * faceCount; face += 6, b += kSodFaceBytes) {
    for (int c = 0; c < 3; ++c) {
      face[c] = LoadU16(b + 4 * c);
      face[3 + c] = LoadU16(b + 4 * c + 2);
    }
  }
  cursor->position += faceCount * kSodFaceBytes;
  return 1;
}

int ReadMeshBody(ByteCursor* cursor, float version, NodeRecord* node) {
  SodMeshTextures textures;
  uint16_t counts[3];  // V, K, G
  if (!ReadMeshHead(cursor, version, &textures)) return 0;
  NarrowToWide(textures.texture, node->texture, kModelTextUnits);
  NarrowToWide(textures.secondTexture, node->secondTexture, kModelTextUnits);
  for (uint16_t& count : counts) {
    if (!CursorReadU16(cursor, &count)) return 0;
  }
  // The least the rest of the body takes: vertices, texture coordinates, a face count
  // and a name count per group, the end byte and word.
  const uint32_t leastBytes = counts[0] * kSodVector3Bytes + counts[1] * kSodTexCoordBytes + counts[2] * 4u + 3u;
  if (leastBytes > cursor->size - cursor->position) return 0;
  if (!AllocateMesh(node, counts[0], counts[1], counts[2])) return 0;
  if (!CursorReadFloatArray(cursor, node->vertices, 3 * node->vertexCount)) return 0;
  // Each vertex in world space (own transform only) while the vertices are at hand;
  // a copy of the transform, which no store to the vertices can change, stays in registers.
  const Matrix4 transform = node->transform;
  for (uint32_t v = 0; v < node->vertexCount; ++v) {
    TransformPoint(node->worldVertices + 3 * v, node->vertices + 3 * v, &transform);
  }
  if (!CursorReadFloatArray(cursor, node->texCoords, 2 * node->texCoordCount)) return 0;
  for (uint32_t g = 0; g < node->groupCount; ++g) {
    if (!ReadFaceGroup(cursor, &node->groups[g])) return 0;
  }
  return CursorSkip(cursor, 3);  // end byte and end word
}

int ReadEmitterBody(ByteCursor* cursor, ImportedModel* model) {
  char emitterName[kSodNameBytes];
  if (!ReadString(cursor, emitterName)) return 0;
  if (model->emitters == nullptr) return 1;
  if (model->emittersFilled >= model->emitterCount) return 0;
  std::memcpy(model->emitters[model->emittersFilled].emitterName, emitterName, kSodNameBytes);
  return 1;
}

// The transform's rows R0, R1, R2 and T as the matrix (R0, 0), (R1, 0), (R2, 0), (T, 1).
int ReadTransform(ByteCursor* cursor, Matrix4* transform) {
  *transform = Matrix4{};
  for (int row = 0; row < 4; ++row) {
    if (!CursorReadFloats(cursor, transform->m[row], 3)) return 0;
  }
  transform->m[3][3] = 1.0f;
  return 1;
}

// Copies a node's name and transform into the next record of a marker array; fails
// when the array is already full (the counting pass makes that impossible).
template <typename Record>
int FillMarker(Record* records, int32_t count, int32_t* filled, const NodeRecord& node) {
  if (records == nullptr) return 1;
  if (*filled >= count) return 0;
  Record& record = records[*filled];
  std::memcpy(record.name, node.name, kSodNameBytes);
  record.transform = node.transform;
  ++*filled;
  return 1;
}

int ReadNode(ByteCursor* cursor, ImportedModel* model, NodeRecord* node) {
  uint16_t kind = 0;
  char parent[kSodNameBytes];
  if (!CursorReadU16(cursor, &kind) || !ReadString(cursor, node->name) || !ReadString(cursor, parent)) return 0;
  if (!ReadTransform(cursor, &node->transform)) return 0;
  node->kind = kind;
  if (kind == kSodNodeMesh && !ReadMeshBody(cursor, model->version, node)) return 0;
  if (kind == kSodNodeEmitter && !ReadEmitterBody(cursor, model)) return 0;
  if (kind == kSodNodeSprite && !FillMarker(model->sprites, model->spriteCount, &model->spritesFilled, *node)) {
    return 0;
  }
  if (kind == kSodNodeEmitter && !FillMarker(model->emitters, model->emitterCount, &model->emittersFilled, *node)) {
    return 0;
  }
  if (SodIsHardpointName(node->name) &&
      !FillMarker(model->hardpoints, model->hardpointCount, &model->hardpointsFilled, *node)) {
    return 0;
  }
  return 1;
}

int ReadNodes(ByteCursor* cursor, ImportedModel* model) {
  uint16_t count = 0;
  if (model->nodes == nullptr || !CursorReadU16(cursor, &count)) return 0;
  for (uint32_t i = 0; i < count; ++i) {
    if (model->nodesFilled >= model->nodeCount) return 0;
    if (!ReadNode(cursor, model, &model->nodes[model->nodesFilled])) return 0;
    ++model->nodesFilled;
  }
  return 1;
}

}  // namespace

int32_t FillPass(ByteCursor* cursor, ImportedModel* model) {
  if (cursor == nullptr || model == nullptr) return 0;
  if (SodVersionIs(model->version, kSodVersion16) && !SkipPrefixTable(cursor)) return 0;
  return ReadMaterials(cursor, model) && ReadNodes(cursor, model) ? 1 : 0;
}
