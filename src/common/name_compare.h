// Case-insensitive comparison of narrow names, as the Windows runtime's _stricmp does
// in its "C" locale: A to Z fold to a to z, then bytes compare unsigned, so '_' sorts
// before the letters.
#pragma once

int CompareTextNoCase(const char* a, const char* b);

// qsort comparator for records that begin with a zero-terminated name.
int CompareNamesNoCase(const void* a, const void* b);

// _strlwr in the "C" locale: folds A to Z in place.
void LowerCaseAscii(char* text);
