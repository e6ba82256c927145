// The counting pass: walks the whole file after the header under the bounds rule and
// sets the model's counts, so that the filling pass can allocate every array at its
// exact length and only for bytes that are really there.
#include <cstring>

#include "sod/sod_cursor_read.h"
#include "sod/sod_mesh_head.h"
#include "sod/sod_reader.h"
#include "sod/sod_skip.h"

namespace {

int CountMaterials(ByteCursor* cursor, ImportedModel* model) {
  uint16_t count = 0;
  if (!SkipMaterialSection(cursor, model->version, &count)) return 0;
  model->materialSectionCount = count;
  return 1;
}

int SkipEmitterBody(ByteCursor* cursor) { return SkipString(cursor); }

void CountKind(ImportedModel* model, uint16_t kind) {
  if (kind == kSodNodeNull) ++model->nullNodeCount;
  if (kind == kSodNodeMesh) ++model->meshNodeCount;
  if (kind == kSodNodeSprite) ++model->spriteCount;
  if (kind == kSodNodeLod) ++model->lodNodeCount;
  if (kind == kSodNodeEmitter) ++model->emitterCount;
}

int CountNodes(ByteCursor* cursor, ImportedModel* model) {
  uint16_t count = 0;
  if (!CursorReadU16(cursor, &count)) return 0;
  model->nodeCount = count;
  for (uint32_t i = 0; i < count; ++i) {
    uint16_t kind = 0;
    char name[kSodNameBytes];
    if (!CursorReadU16(cursor, &kind) || !ReadString(cursor, name)) return 0;
    if (!SkipString(cursor) || !CursorSkip(cursor, kSodTransformBytes)) return 0;  // parent, transform
    if (kind == kSodNodeMesh && !SkipMeshBody(cursor, model->version)) return 0;
    if (kind == kSodNodeEmitter && !SkipEmitterBody(cursor)) return 0;
    CountKind(model, kind);
    if (SodIsHardpointName(name)) ++model->hardpointCount;
  }
  return 1;
}

}  // namespace

int SkipPrefixTable(ByteCursor* cursor) {
  uint16_t count = 0;
  if (!CursorReadU16(cursor, &count)) return 0;
  for (uint32_t i = 0; i < count; ++i) {
    // Two strings, then the fixed tail of the entry.
    if (!SkipString(cursor)) return 0;
    if (!SkipString(cursor) || !CursorSkip(cursor, kSodPrefixEntryTail)) return 0;
  }
  return 1;
}

int SkipMaterialSection(ByteCursor* cursor, float version, uint16_t* count) {
  if (!CursorReadU16(cursor, count)) return 0;
  const uint32_t entryTail = 3 * kSodVector3Bytes + 4 + 1 + (SodLayoutFor(version).secondMaterialModeByte ? 1 : 0);
  for (uint32_t i = 0; i < *count; ++i) {
    if (!SkipString(cursor) || !CursorSkip(cursor, entryTail)) return 0;
  }
  return 1;
}

int SkipMeshBody(ByteCursor* cursor, float version) {
  SodMeshTextures textures;
  uint16_t vertexCount = 0;
  uint16_t texCoordCount = 0;
  uint16_t groupCount = 0;
  if (!ReadMeshHead(cursor, version, &textures)) return 0;
  if (!CursorReadU16(cursor, &vertexCount) || !CursorReadU16(cursor, &texCoordCount)) return 0;
  if (!CursorReadU16(cursor, &groupCount)) return 0;
  if (!CursorSkip(cursor, vertexCount * kSodVector3Bytes)) return 0;
  if (!CursorSkip(cursor, texCoordCount * kSodTexCoordBytes)) return 0;
  for (uint32_t g = 0; g < groupCount; ++g) {
    uint16_t faceCount = 0;
    if (!CursorReadU16(cursor, &faceCount) || !SkipString(cursor)) return 0;
    if (!CursorSkip(cursor, faceCount * kSodFaceBytes)) return 0;
  }
  return CursorSkip(cursor, 3);  // end byte and end word
}

int32_t CountPass(ByteCursor* cursor, ImportedModel* model) {
  if (cursor == nullptr || model == nullptr) return 0;
  if (SodVersionIs(model->version, kSodVersion16) && !SkipPrefixTable(cursor)) return 0;
  return CountMaterials(cursor, model) && CountNodes(cursor, model) ? 1 : 0;
}
