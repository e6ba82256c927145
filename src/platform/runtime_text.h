// The runtime library's own wide/narrow conversions (wcstombs and mbstowcs in the
// current locale). The native stand-ins behave like the
// Windows runtime in its start-up "C" locale: UTF-16 units below 256 map to the byte
// of the same value, others cannot be converted.
#pragma once

#include <cstddef>

// wcstombs: converts `source` into at most `targetBytes` bytes of `target`, stopping
// after the terminator. Returns the bytes written without the terminator, or
// (size_t)-1 at a unit that cannot be converted. Like the runtime it does not
// terminate a text that fills the whole capacity.
size_t RuntimeWideToNarrow(char* target, const char16_t* source, size_t targetBytes);

// mbstowcs: converts the zero-terminated `source` into at most `targetUnits` units.
// Returns the units written without the terminator, or (size_t)-1.
size_t RuntimeNarrowToWide(char16_t* target, const char* source, size_t targetUnits);
