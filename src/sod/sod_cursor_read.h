// Bounded reads from the file bytes held by a ByteCursor. Every read of n bytes fails
// when the cursor has no data or fewer than n bytes are left; a failed read leaves the
// position where it was and writes nothing, so a value is never taken in part.
//
// The small reads are defined here, inline, because the reader calls them once per
// vertex and face.
#pragma once

#include <cstdint>
#include <cstring>

#include "common/byte_cursor.h"
#include "common/byte_order.h"

// The little-endian u16 at `p`, which the caller has bounds-checked.
inline uint16_t LoadU16(const uint8_t* p) {
  if (!kLittleEndianMachine) return static_cast<uint16_t>(p[0] | p[1] << 8);
  uint16_t value;
  std::memcpy(&value, p, sizeof value);
  return value;
}

// True when n more bytes can be taken; written so that nothing can overflow.
inline bool CursorHas(const ByteCursor* cursor, uint32_t n) {
  if (cursor == nullptr || cursor->data == nullptr || cursor->position > cursor->size) return false;
  return n <= cursor->size - cursor->position;
}

// Copies the next n bytes to `out` and moves past them. 1 or 0.
inline int CursorRead(ByteCursor* cursor, void* out, uint32_t n) {
  if (out == nullptr || !CursorHas(cursor, n)) return 0;
  if (n > 0) std::memcpy(out, cursor->data + cursor->position, n);
  cursor->position += n;
  return 1;
}

// Moves past the next n bytes without looking at them. 1 or 0.
inline int CursorSkip(ByteCursor* cursor, uint32_t n) {
  if (!CursorHas(cursor, n)) return 0;
  cursor->position += n;
  return 1;
}

// A little-endian u16. 1 or 0.
inline int CursorReadU16(ByteCursor* cursor, uint16_t* out) {
  if (!CursorHas(cursor, 2)) return 0;
  *out = LoadU16(cursor->data + cursor->position);
  cursor->position += 2;
  return 1;
}

// `count` little-endian f32 values after one bounds check of all their bytes, for the
// vertex and texture coordinate arrays. 1 or 0 (nothing taken).
inline int CursorReadFloatArray(ByteCursor* cursor, float* out, uint32_t count) {
  if (count > UINT32_MAX / 4 || !CursorHas(cursor, 4 * count)) return 0;
  const uint8_t* p = cursor->data + cursor->position;
  if (kLittleEndianMachine) {
    if (count > 0) std::memcpy(out, p, size_t{4} * count);  // the file's byte order is the machine's
  } else {
    for (uint32_t i = 0; i < count; ++i, p += 4) {
      const uint32_t bits = static_cast<uint32_t>(p[0]) | static_cast<uint32_t>(p[1]) << 8 |
                            static_cast<uint32_t>(p[2]) << 16 | static_cast<uint32_t>(p[3]) << 24;
      std::memcpy(out + i, &bits, sizeof bits);
    }
  }
  cursor->position += 4 * count;
  return 1;
}

// `count` (1 to 4) f32 values taken in one read, such as a vector or a texture
// coordinate. 1 or 0.
inline int CursorReadFloats(ByteCursor* cursor, float* out, uint32_t count) {
  return count >= 1 && count <= 4 ? CursorReadFloatArray(cursor, out, count) : 0;
}

inline int CursorReadF32(ByteCursor* cursor, float* out) { return CursorReadFloats(cursor, out, 1); }

// A string: u16 byte count n, then n bytes. `out` (128 bytes) is zeroed and receives
// the first min(n, 127) bytes and a terminator, so a zero byte in the text ends the
// kept text; the rest of the string is consumed. Fails when any of its bytes is missing.
int ReadString(ByteCursor* cursor, char* out);

// Moves past one string. 1 or 0.
int SkipString(ByteCursor* cursor);
