#include "sod/sod_mesh_head.h"

#include <cstdio>
#include <cstring>

#include "sod/sod_cursor_read.h"

namespace {

// Reads a texture name string into `out`: a non-empty name gets ".tga", an empty one
// becomes "NULL".
int ReadTextureName(ByteCursor* cursor, char* out) {
  char stored[kSodNameBytes];
  if (!ReadString(cursor, stored)) return 0;
  std::memset(out, 0, kSodTextureNameBytes);
  // At most 127 characters and ".tga": the buffer always has room.
  if (stored[0] == 0) {
    (void)snprintf(out, kSodTextureNameBytes, "%s", kSodNoTexture);
  } else {
    (void)snprintf(out, kSodTextureNameBytes, "%s%s", stored, kSodTextureExtension);
  }
  return 1;
}

// Version 1.93: the mode words, the second texture they may announce, the spare words.
int ReadModeWordsAndSpares(ByteCursor* cursor, SodMeshTextures* textures) {
  uint16_t first = 0;
  uint16_t second = 0;
  if (!CursorReadU16(cursor, &first) || !CursorSkip(cursor, 2)) return 0;
  if (!CursorReadU16(cursor, &second) || !CursorSkip(cursor, 2)) return 0;
  if (!ReadTextureName(cursor, textures->texture)) return 0;
  if (first == kSodModeWordSecondTextureFirst && second == kSodModeWordSecondTextureSecond) {
    if (!CursorSkip(cursor, 4) || !ReadTextureName(cursor, textures->secondTexture)) return 0;
  }
  return CursorSkip(cursor, 8);
}

}  // namespace

int ReadMeshHead(ByteCursor* cursor, float version, SodMeshTextures* textures) {
  std::memset(textures, 0, sizeof *textures);
  if (!SkipString(cursor)) return 0;  // style name, not kept
  const SodMeshLayout layout = SodLayoutFor(version);
  if (layout.modeWords) return ReadModeWordsAndSpares(cursor, textures);
  if (layout.textureName && !ReadTextureName(cursor, textures->texture)) return 0;
  if (layout.extraName) return SkipString(cursor);
  if (layout.secondTexture) return ReadTextureName(cursor, textures->secondTexture) && CursorSkip(cursor, 2);
  return 1;
}
