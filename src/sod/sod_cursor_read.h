// Bounded reads from the file bytes held by a ByteCursor. Every read of n bytes fails
// when the cursor has no data or fewer than n bytes are left; a failed read leaves the
// position where it was and writes nothing, so a value is never taken in part.
#pragma once

#include <cstdint>

#include "common/byte_cursor.h"

// Copies the next n bytes to `out` and moves past them. 1 or 0.
int CursorRead(ByteCursor* cursor, void* out, uint32_t n);

// Moves past the next n bytes without looking at them. 1 or 0.
int CursorSkip(ByteCursor* cursor, uint32_t n);

// Little-endian numbers. 1 or 0.
int CursorReadU16(ByteCursor* cursor, uint16_t* out);
int CursorReadF32(ByteCursor* cursor, float* out);

// `count` (1 to 4) f32 values taken in one read of 4 * count bytes, such as a vector
// or a texture coordinate. 1 or 0.
int CursorReadFloats(ByteCursor* cursor, float* out, uint32_t count);

// A string: u16 byte count n, then n bytes. `out` (128 bytes) is zeroed and receives
// the first min(n, 127) bytes and a terminator, so a zero byte in the text ends the
// kept text; the rest of the string is consumed. Fails when any of its bytes is missing.
int ReadString(ByteCursor* cursor, char* out);

// Moves past one string. 1 or 0.
int SkipString(ByteCursor* cursor);
