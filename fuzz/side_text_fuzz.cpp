// The three side text readers on arbitrary bytes, read as a file: each loads what it
// takes for records and the lists are released again.
#include <cstddef>
#include <cstdint>
#include <cstdio>

#include "common/text_lists.h"
#include "sidetext/side_text.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  if (size == 0) return 0;  // fmemopen refuses an empty buffer
  FILE* file = fmemopen(const_cast<uint8_t*>(data), size, "rb");
  if (file == nullptr) return 0;
  ReadHardpointFile(file);
  rewind(file);
  ReadEmitterFile(file);
  rewind(file);
  ReadSpriteFile(file);
  fclose(file);
  ReleaseHardpointList();
  ReleaseEmitterList();
  ReleaseSpriteList();
  return 0;
}
