// Shared set-up of the export tests: the plug-in-wide export state put back to its
// load-time values around each test, and small helpers that build host scenes and
// write them through the write operation.
#pragma once

#include <array>
#include <cstring>
#include <string>

#include "common/memory.h"
#include "common/stream_write.h"
#include "common/text_lists.h"
#include "export/export_options.h"
#include "interface/host_scene.h"
#include "platform/file_system.h"
#include "plugin/host_records.h"
#include "plugin/plugin_state.h"
#include "sod/sod_format.h"
#include "sod/sod_writer.h"
#include "support/temp_dir.h"

inline void ResetExportState() {
  exportOptions = ExportOptions{kGameArmada1, 1, 0, 0, 0, {0}, {0}, {0}};
  exportVersion = SodVersionFromBits(kSodVersion18);
  ReleaseHardpointList();
  ReleaseEmitterList();
  ReleaseSpriteList();
  SetWriteFailureAfter(-1);
  SetAllocationFailure(0);
  currentContext = nullptr;
}

// Puts the export state back before and after a test.
struct ExportStateGuard {
  ExportStateGuard() { ResetExportState(); }
  ~ExportStateGuard() { ResetExportState(); }
  ExportStateGuard(const ExportStateGuard&) = delete;
  ExportStateGuard& operator=(const ExportStateGuard&) = delete;
};

inline HostContext* ContextOf(host::HostScene& scene) { return static_cast<HostContext*>(scene.Context()); }

inline int AddPlainMaterial(host::HostScene& scene, const std::u16string& name, int32_t useCount) {
  return scene.AddMaterial(name, {0.5f, 0.5f, 0.5f, 1}, {0.25f, 0.25f, 0.25f, 1}, {1, 1, 1, 1}, 10.0f, useCount);
}

inline int AddTriangle(host::HostScene& scene, int set, int material, std::array<int, 3> vertices,
                       std::array<int, 3> texCoords) {
  host::FaceSpec face;
  face.materialIndex = material;
  face.vertices.assign(vertices.begin(), vertices.end());
  face.texCoords.assign(texCoords.begin(), texCoords.end());
  return scene.AddFace(set, face);
}

// Runs the write operation on `scene` with target dir/name.
inline int32_t WriteSceneTo(host::HostScene& scene, const TempDir& dir, const std::string& name) {
  scene.SetFilePath(dir.Wide(name));
  currentContext = ContextOf(scene);
  return WriteSodFile(ContextOf(scene));
}

inline uint32_t FloatBits(float f) {
  uint32_t bits;
  std::memcpy(&bits, &f, sizeof bits);
  return bits;
}

struct StreamResult {
  int result;
  std::string bytes;
};

// Runs WriteSodStream for `scene` into a file of `dir` and reads the bytes back; the
// text lists and options are used as they stand.
inline StreamResult WriteStreamOf(host::HostScene& scene, const TempDir& dir) {
  currentContext = ContextOf(scene);
  FILE* file = OpenFileWide(dir.Wide("stream.sod").c_str(), "wb");
  if (file == nullptr) return {-1, ""};
  int result = WriteSodStream(file);
  fclose(file);
  return {result, dir.Read("stream.sod")};
}

// A marker record with the given name whose transform rows hold `first`, first + 1, ...
template <typename Record>
Record MarkerWithRows(const std::string& name, float first) {
  Record record;
  std::memset(&record, 0, sizeof record);
  std::memcpy(record.name, name.c_str(), name.size() < sizeof record.name ? name.size() : sizeof record.name - 1);
  for (int row = 0; row < 4; ++row) {
    for (int column = 0; column < 3; ++column)
      record.transform.m[row][column] = first + static_cast<float>(row * 3 + column);
    record.transform.m[row][3] = 99.0f;  // column 3 is never written
  }
  return record;
}
