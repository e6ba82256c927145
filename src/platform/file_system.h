// Files named by UTF-16 paths. The Windows build uses the wide CRT and kernel calls;
// the native build opens the same paths as UTF-8.
#pragma once

#include <cstdint>
#include <cstdio>

// Opens `path` like _wfopen with a narrow mode such as "rb" or "wb". Null on failure.
FILE* OpenFileWide(const char16_t* path, const char* mode);

// Creates `path` for binary writing only if no file of that name exists yet.
// Null when it exists or cannot be created.
FILE* CreateNewFileWide(const char16_t* path);

// Moves `source` over `target`, replacing a file that is already there. 1 or 0.
int ReplaceFileWide(const char16_t* source, const char16_t* target);

// Deletes the file `path`. 1 or 0.
int RemoveFileWide(const char16_t* path);

// Makes `path` the process's current directory. 1 or 0.
int SetCurrentDirectoryWide(const char16_t* path);

// Size in bytes of an open stream, found by seeking to its end; the position is left
// at the end. -1 when the stream cannot seek or tell.
int64_t StreamSizeBySeeking(FILE* stream);
