// Running the SOD reader on bytes in tests: from a fresh buffer of exactly the bytes'
// size (so that the sanitizer sees any access past the end), or through the whole read
// operation on a file with a host scene's context.
#pragma once

#include <cstring>
#include <memory>
#include <string>

#include "interface/host_scene.h"
#include "plugin/operations.h"
#include "plugin/plugin_state.h"
#include "sod/sod_reader.h"
#include "support/temp_dir.h"

namespace sodtest {

// ParseSod over a copy of `bytes` in an exact-size heap buffer; the buffer is freed
// before returning, so the model must not point into it (it does not).
inline int32_t ParseBytes(const std::string& bytes, ImportedModel* model, HostContext* context) {
  std::unique_ptr<uint8_t[]> data(new uint8_t[bytes.size()]);
  if (!bytes.empty()) std::memcpy(data.get(), bytes.data(), bytes.size());
  ByteCursor cursor = {data.get(), 0, static_cast<uint32_t>(bytes.size())};
  return ParseSod(&cursor, context, model);
}

// A zeroed host context for parses whose messages do not matter.
inline HostContext* BlankContext() {
  static HostContext context;
  std::memset(&context, 0, sizeof context);
  return &context;
}

inline int32_t ParseBytes(const std::string& bytes, ImportedModel* model) {
  return ParseBytes(bytes, model, BlankContext());
}

// Every count, pointer and text of the model is zero.
inline bool ModelIsEmpty(const ImportedModel& m) {
  const int32_t counts[] = {m.nodesFilled,          m.hardpointsFilled,  m.emittersFilled, m.spritesFilled,
                            m.nullNodeCount,        m.meshNodeCount,     m.spriteCount,    m.lodNodeCount,
                            m.emitterCount,         m.selectedMeshCount, m.hardpointCount, m.nodeCount,
                            m.materialSectionCount, m.materialCount};
  for (int32_t count : counts) {
    if (count != 0) return false;
  }
  return m.version == 0.0f && m.hardpoints == nullptr && m.emitters == nullptr && m.sprites == nullptr &&
         m.nodes == nullptr && m.materials == nullptr && m.materialIndex == nullptr && m.sourcePath[0] == 0;
}

inline HostContext* ContextOf(host::HostScene& scene) { return static_cast<HostContext*>(scene.Context()); }

// What the read operation answered and left in errorText.
struct HostRead {
  int32_t result = -1;
  std::u16string wide;
  std::string narrow;
};

// Writes `bytes` to a file and runs the read operation on it with a fresh host scene;
// the plug-in-wide model keeps what the read left.
inline HostRead ReadFileThroughHost(const std::string& bytes, const TempDir& dir, const std::string& name = "m.sod") {
  dir.Write(name, bytes);
  host::HostScene scene;
  scene.SetFilePath(dir.Wide(name));
  HostRead read;
  read.result = ReadSodFile(ContextOf(scene));
  read.wide = scene.ErrorTextWide();
  read.narrow = scene.ErrorTextNarrow();
  return read;
}

}  // namespace sodtest
