#include "sod/marker_node_writers.h"

#include "common/text_lists.h"
#include "common/wide_text.h"
#include "sod/sod_format.h"
#include "sod/sod_writer.h"

namespace {

constexpr char kHardpointGroup[] = "hardpoints";
constexpr char kEmitterGroup[] = "emitters";
constexpr char kSpriteGroup[] = "sprites";

int WriteGroup(ByteBuffer* out, const char* name) {
  if (out == nullptr) return 0;
  return WriteSodNodeStart(out, kSodNodeNull, name, SodRootName()) && WriteSodIdentityTransform(out) ? 1 : 0;
}

// Columns 0 to 2 of the four rows, as loaded: no change of axes.
int WriteRecordTransform(ByteBuffer* out, const Matrix4& transform) {
  for (int row = 0; row < 4; ++row) {
    const float* r = transform.m[row];
    if (!WriteSodVector3(out, r[0], r[1], r[2])) return 0;
  }
  return 1;
}

}  // namespace

int WriteMarkerNode(ByteBuffer* out, uint16_t kind, const MarkerRecord& record, const char* parent) {
  if (out == nullptr) return 0;
  return WriteSodNodeStart(out, kind, record.name, parent) && WriteRecordTransform(out, record.transform) ? 1 : 0;
}

int WriteEmitterMarkerNode(ByteBuffer* out, const EmitterRecord& record, const char* parent) {
  if (out == nullptr) return 0;
  if (!WriteSodNodeStart(out, kSodNodeEmitter, record.name, parent) || !WriteRecordTransform(out, record.transform)) {
    return 0;
  }
  return WriteSodStringBytes(out, record.emitterName, NarrowLengthBounded(record.emitterName, kSodKeptStringBytes));
}

int WriteHardpointGroup(ByteBuffer* out) { return WriteGroup(out, kHardpointGroup); }
int WriteEmitterGroup(ByteBuffer* out) { return WriteGroup(out, kEmitterGroup); }
int WriteSpriteGroup(ByteBuffer* out) { return WriteGroup(out, kSpriteGroup); }

int WriteHardpointNode(ByteBuffer* out, int32_t index) {
  if (out == nullptr) return 0;
  if (textHardpoints == nullptr) return 1;
  if (index < 0 || index >= textHardpointCount) return 0;
  return WriteMarkerNode(out, kSodNodeNull, textHardpoints[index], kHardpointGroup);
}

int WriteEmitterNode(ByteBuffer* out, int32_t index) {
  if (out == nullptr) return 0;
  if (textEmitters == nullptr) return 1;
  if (index < 0 || index >= textEmitterCount) return 0;
  return WriteEmitterMarkerNode(out, textEmitters[index], kEmitterGroup);
}

int WriteSpriteNode(ByteBuffer* out, int32_t index) {
  if (out == nullptr) return 0;
  if (textSprites == nullptr) return 1;
  if (index < 0 || index >= textSpriteCount) return 0;
  return WriteMarkerNode(out, kSodNodeSprite, textSprites[index], kSpriteGroup);
}
