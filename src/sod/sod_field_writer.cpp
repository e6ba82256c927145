// The field writers of the SOD writer: little-endian numbers, strings, names, the
// identity transform and the start of a node.
#include <cstring>

#include "common/stream_write.h"
#include "common/wide_text.h"
#include "sod/sod_format.h"
#include "sod/sod_writer.h"

int WriteSodU8(FILE* stream, uint8_t value) { return WriteBytes(stream, &value, 1); }

int WriteSodU16(FILE* stream, uint16_t value) {
  const uint8_t bytes[2] = {static_cast<uint8_t>(value & 0xFF), static_cast<uint8_t>(value >> 8)};
  return WriteBytes(stream, bytes, sizeof bytes);
}

int WriteSodF32(FILE* stream, float value) {
  uint32_t bits;
  std::memcpy(&bits, &value, sizeof bits);
  const uint8_t bytes[4] = {static_cast<uint8_t>(bits & 0xFF), static_cast<uint8_t>((bits >> 8) & 0xFF),
                            static_cast<uint8_t>((bits >> 16) & 0xFF), static_cast<uint8_t>(bits >> 24)};
  return WriteBytes(stream, bytes, sizeof bytes);
}

int WriteSodVector3(FILE* stream, float x, float y, float z) {
  return WriteSodF32(stream, x) && WriteSodF32(stream, y) && WriteSodF32(stream, z) ? 1 : 0;
}

int WriteSodIdentityTransform(FILE* stream) {
  return WriteSodVector3(stream, 1, 0, 0) && WriteSodVector3(stream, 0, 1, 0) && WriteSodVector3(stream, 0, 0, 1) &&
                 WriteSodVector3(stream, 0, 0, 0)
             ? 1
             : 0;
}

int WriteSodStringBytes(FILE* stream, const char* text, size_t length) {
  if (stream == nullptr || text == nullptr || length > kSodMaxCount) return 0;
  if (!WriteSodU16(stream, static_cast<uint16_t>(length))) return 0;
  return length == 0 ? 1 : WriteBytes(stream, text, length);
}

int WriteSodString(FILE* stream, const char* text) {
  if (text == nullptr) return 0;
  return WriteSodStringBytes(stream, text, std::strlen(text));
}

int WriteSodName(FILE* stream, const char* text) {
  if (text == nullptr) return 0;
  return WriteSodStringBytes(stream, text, NarrowLengthBounded(text, kSodKeptStringBytes));
}

int WriteSodNodeStart(FILE* stream, uint16_t kind, const char* name, const char* parent) {
  return WriteSodU16(stream, kind) && WriteSodName(stream, name) && WriteSodString(stream, parent) ? 1 : 0;
}
