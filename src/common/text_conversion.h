// Conversion between narrow text in the system's ANSI code page and UTF-16, whole
// strings with their terminator. The target is always zero-terminated inside its
// capacity; a text that does not fit is cut.
#pragma once

#include <cstddef>

void NarrowToWide(const char* source, char16_t* target, size_t targetUnits);
void WideToNarrow(const char16_t* source, char* target, size_t targetBytes);
