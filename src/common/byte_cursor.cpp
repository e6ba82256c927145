#include "common/byte_cursor.h"

#include "common/memory.h"

int ByteCursorReset(ByteCursor* cursor) {
  if (cursor == nullptr) return 0;
  cursor->data = nullptr;
  cursor->position = 0;
  cursor->size = 0;
  return 1;
}

int ByteCursorRelease(ByteCursor* cursor) {
  if (cursor == nullptr) return 0;
  if (cursor->data != nullptr) FreeMemory(cursor->data);
  return ByteCursorReset(cursor);
}
