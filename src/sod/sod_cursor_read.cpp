#include "sod/sod_cursor_read.h"

#include "sod/sod_format.h"

int ReadString(ByteCursor* cursor, char* out) {
  if (out == nullptr) return 0;
  std::memset(out, 0, kSodNameBytes);
  const uint32_t start = cursor != nullptr ? cursor->position : 0;
  uint16_t n = 0;
  if (!CursorReadU16(cursor, &n)) return 0;
  if (!CursorHas(cursor, n)) {
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
