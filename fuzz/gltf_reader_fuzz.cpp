// The glTF reader on arbitrary bytes, read from memory: the document is filled or the
// bytes are refused with a reason, and everything is released again.
#include <cstddef>
#include <cstdint>
#include <string>

#include "formats/gltf_scene_reader.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  host::SceneDocument document;
  std::string error;
  // External files are looked for in a folder that does not exist; a refusal says why.
  if (!host::ReadGltfSceneFromMemory(data, size, u"/nowhere", &document, &error) && error.empty()) __builtin_trap();
  return 0;
}
