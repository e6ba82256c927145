// ByteCursor: the bounded read position over the bytes of a file held in memory.
#pragma once

#include <cstdint>

struct ByteCursor {
  uint8_t* data;      // owned; the whole file, or null
  uint32_t position;  // offset of the next byte to read
  uint32_t size;      // number of bytes in data
};

// Forgets the buffer without freeing it: pointer, position and size become zero.
int ByteCursorReset(ByteCursor* cursor);

// Frees the buffer if there is one and zeroes pointer, position and size.
int ByteCursorRelease(ByteCursor* cursor);
