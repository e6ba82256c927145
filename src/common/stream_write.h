// Every byte the plug-in writes to a file goes through WriteBytes, so that tests can
// make the write at any byte offset fall short.
#pragma once

#include <cstddef>
#include <cstdint>
#include <cstdio>

// Writes `size` bytes; 1 when all of them were written, 0 when the write fell short.
int WriteBytes(FILE* stream, const void* data, size_t size);

// Test seam: after `byteBudget` more bytes the writes fall short (the bytes that fit
// the budget are still written). A negative budget turns failures off.
void SetWriteFailureAfter(int64_t byteBudget);
