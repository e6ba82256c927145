// The field writers of the SOD writer: little-endian numbers, strings, names, the
// identity transform and the start of a node, appended to the file in memory.
#include <cstring>

#include "common/wide_text.h"
#include "sod/sod_format.h"
#include "sod/sod_writer.h"

int WriteSodU8(ByteBuffer* out, uint8_t value) {
  uint8_t* at = ByteBufferExtend(out, 1);
  if (at == nullptr) return 0;
  *at = value;
  return 1;
}

int WriteSodU16(ByteBuffer* out, uint16_t value) {
  uint8_t* at = ByteBufferExtend(out, 2);
  if (at == nullptr) return 0;
  StoreU16(at, value);
  return 1;
}

int WriteSodF32(ByteBuffer* out, float value) {
  uint8_t* at = ByteBufferExtend(out, 4);
  if (at == nullptr) return 0;
  StoreF32(at, value);
  return 1;
}

int WriteSodVector3(ByteBuffer* out, float x, float y, float z) {
  uint8_t* at = ByteBufferExtend(out, kSodVector3Bytes);
  if (at == nullptr) return 0;
  StoreF32(StoreF32(StoreF32(at, x), y), z);
  return 1;
}

int WriteSodIdentityTransform(ByteBuffer* out) {
  return WriteSodVector3(out, 1, 0, 0) && WriteSodVector3(out, 0, 1, 0) && WriteSodVector3(out, 0, 0, 1) &&
                 WriteSodVector3(out, 0, 0, 0)
             ? 1
             : 0;
}

int WriteSodStringBytes(ByteBuffer* out, const char* text, size_t length) {
  if (out == nullptr || text == nullptr || length > kSodMaxCount) return 0;
  uint8_t* at = ByteBufferExtend(out, 2 + length);
  if (at == nullptr) return 0;
  at = StoreU16(at, static_cast<uint16_t>(length));
  if (length > 0) std::memcpy(at, text, length);
  return 1;
}

int WriteSodString(ByteBuffer* out, const char* text) {
  if (text == nullptr) return 0;
  return WriteSodStringBytes(out, text, std::strlen(text));
}

int WriteSodName(ByteBuffer* out, const char* text) {
  if (text == nullptr) return 0;
  return WriteSodStringBytes(out, text, NarrowLengthBounded(text, kSodKeptStringBytes));
}

int WriteSodNodeStart(ByteBuffer* out, uint16_t kind, const char* name, const char* parent) {
  return WriteSodU16(out, kind) && WriteSodName(out, name) && WriteSodString(out, parent) ? 1 : 0;
}
