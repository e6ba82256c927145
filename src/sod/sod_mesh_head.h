// The part of a mesh body before its counts: style name, the mode words of version
// 1.93, the texture names and the spare words. Both passes read it with the same
// function, so they always agree on where the counts start.
#pragma once

#include "common/byte_cursor.h"
#include "sod/sod_format.h"

// A texture name as the reader keeps it: the stored name and ".tga", or "NULL".
constexpr size_t kSodTextureNameBytes = kSodNameBytes + sizeof kSodTextureExtension - 1;

struct SodMeshTextures {
  char texture[kSodTextureNameBytes];        // empty where the version has no texture
  char secondTexture[kSodTextureNameBytes];  // empty where the version has none
};

// Reads the mesh head for `version` and leaves the cursor on the vertex count. 1 or 0.
int ReadMeshHead(ByteCursor* cursor, float version, SodMeshTextures* textures);
