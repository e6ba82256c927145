#include "sod/sod_cursor_read.h"

#include <cstring>

#include "sod/sod_format.h"

namespace {

// True when n more bytes can be taken; written so that nothing can overflow.
bool Available(const ByteCursor* cursor, uint32_t n) {
  if (cursor == nullptr || cursor->data == nullptr || cursor->position > cursor->size) return false;
  return n <= cursor->size - cursor->position;
}

uint32_t LittleEndian32(const uint8_t* b) {
  return static_cast<uint32_t>(b[0]) | static_cast<uint32_t>(b[1]) << 8 | static_cast<uint32_t>(b[2]) << 16 |
         static_cast<uint32_t>(b[3]) << 24;
}

float FloatFromBits(uint32_t bits) {
  float value;
  std::memcpy(&value, &bits, sizeof value);
  return value;
}

}  // namespace

int CursorRead(ByteCursor* cursor, void* out, uint32_t n) {
  if (out == nullptr || !Available(cursor, n)) return 0;
  if (n > 0) std::memcpy(out, cursor->data + cursor->position, n);
  cursor->position += n;
  return 1;
}

int CursorSkip(ByteCursor* cursor, uint32_t n) {
  if (!Available(cursor, n)) return 0;
  cursor->position += n;
  return 1;
}

int CursorReadU16(ByteCursor* cursor, uint16_t* out) {
  uint8_t b[2];
  if (!CursorRead(cursor, b, sizeof b)) return 0;
  *out = static_cast<uint16_t>(b[0] | b[1] << 8);
  return 1;
}

int CursorReadF32(ByteCursor* cursor, float* out) { return CursorReadFloats(cursor, out, 1); }

int CursorReadFloats(ByteCursor* cursor, float* out, uint32_t count) {
  uint8_t b[16];
  if (count == 0 || count > 4 || !CursorRead(cursor, b, 4 * count)) return 0;
  for (uint32_t i = 0; i < count; ++i) out[i] = FloatFromBits(LittleEndian32(b + 4 * i));
  return 1;
}

int ReadString(ByteCursor* cursor, char* out) {
  if (out == nullptr) return 0;
  std::memset(out, 0, kSodNameBytes);
  const uint32_t start = cursor != nullptr ? cursor->position : 0;
  uint16_t n = 0;
  if (!CursorReadU16(cursor, &n)) return 0;
  if (!Available(cursor, n)) {
    cursor->position = start;
    return 0;
  }
  const uint32_t kept = n < kSodKeptStringBytes ? n : static_cast<uint32_t>(kSodKeptStringBytes);
  std::memcpy(out, cursor->data + cursor->position, kept);
  cursor->position += n;
  return 1;
}

int SkipString(ByteCursor* cursor) {
  const uint32_t start = cursor != nullptr ? cursor->position : 0;
  uint16_t n = 0;
  if (!CursorReadU16(cursor, &n)) return 0;
  if (!CursorSkip(cursor, n)) {
    cursor->position = start;
    return 0;
  }
  return 1;
}
