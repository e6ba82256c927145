// Files written whole or not at all. A SafeFile writes into a new temporary file in
// the target's directory; only a commit after the last byte replaces the target. On
// any failure the file that was at the target stays as it was and the temporary file
// is removed, so a failed write never leaves a file cut short behind.
#pragma once

#include <cstdio>

#include "common/paths.h"

struct SafeFile {
  FILE* stream;  // open for binary writing between open and commit or abandon
  char16_t target[kPathUnits];
  char16_t temporary[kPathUnits];
};

// Opens a temporary file beside `target` (a path of at most 259 units). 1 or 0; on 0
// nothing was created.
int SafeFileOpen(SafeFile* file, const char16_t* target);

// Closes the temporary file and moves it over the target. 1 when the target now holds
// the complete file; 0 when closing or replacing failed, with the target untouched and
// the temporary file removed.
int SafeFileCommit(SafeFile* file);

// Closes and removes the temporary file; the target is untouched.
void SafeFileAbandon(SafeFile* file);
