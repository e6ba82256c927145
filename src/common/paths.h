// Wide path helpers. Results go into a buffer of 260 UTF-16 units and are always
// zero-terminated; a result that would not fit is refused (empty, result 0) rather
// than cut. Each returns 0 for a null argument, 1 otherwise.
#pragma once

#include <cstddef>

constexpr size_t kPathUnits = 260;

// Drive and directory of `path`; a non-empty result that ends in neither '\' nor '/'
// gets a '\'. "C:\models\ship.sod" -> "C:\models\", "C:ship.sod" -> "C:\".
int DirectoryOfPath(const char16_t* path, char16_t* out);

// The same, but only '\' counts as a trailing separator: "C:/models/x" -> "C:/models/\".
int DirectoryOfPathBackslash(const char16_t* path, char16_t* out);

// The file name of `path` without directory and extension: "C:\maps\hull.tga" -> "hull".
int FileTitleOfPath(const char16_t* path, char16_t* out);
