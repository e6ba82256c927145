// Bounded text helpers for zero-terminated UTF-16 (char16_t) and narrow text. Every
// function that writes leaves its target zero-terminated inside the given capacity.
#pragma once

#include <cstddef>

size_t WideLength(const char16_t* text);

// Length of `text`, looking at no more than `capacity` units; a text without a
// terminator in that range counts as `capacity` long.
size_t WideLengthBounded(const char16_t* text, size_t capacity);
size_t NarrowLengthBounded(const char* text, size_t capacity);

// Copies `source` into `target` (capacity units), cutting what does not fit.
// Returns 1 when the whole text fitted, 0 when it was cut.
int WideCopy(char16_t* target, size_t capacity, const char16_t* source);
int NarrowCopy(char* target, size_t capacity, const char* source);

// Appends `source` to the text in `target` only if all of it fits with the
// terminator; otherwise leaves `target` unchanged and returns 0.
int WideAppend(char16_t* target, size_t capacity, const char16_t* source);

// Equality of two zero-terminated UTF-16 texts.
bool WideEqual(const char16_t* a, const char16_t* b);

// Formats into UTF-16. The format is ASCII and knows "%d" (int), "%.2f" (double),
// "%s" (const char16_t*) and "%%"; the result is cut to the capacity.
void FormatWide(char16_t* target, size_t capacity, const char* format, ...);

// Widens ASCII/Latin-1 bytes unit by unit (for literal texts in tests and messages).
void WidenLatin1(char16_t* target, size_t capacity, const char* source);
