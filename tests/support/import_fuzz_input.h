// One input of the import fuzz target (also replayed by the tests): a byte of build
// choices, then the bytes of a SOD file. A file the reader takes is built into a real
// host scene; a build that reports success must have put every corner of every face
// inside the vertex array and every face in an existing part.
#pragma once

#include <cstdint>
#include <cstdlib>
#include <cstring>

#include "import/import_options.h"
#include "import/scene_builder.h"
#include "interface/host_layout.h"
#include "interface/host_scene.h"
#include "sod/sod_reader.h"

// Checks what a successful build left in the scene; false at the first corner or part
// index outside the scene.
inline bool SceneIndicesInRange(host::HostScene& scene) {
  for (int s = 0; s < scene.PolygonSetCount(); ++s) {
    for (int f = 0; f < scene.FaceCount(s); ++f) {
      const uint8_t* face = scene.Face(s, f);
      int32_t part = layout::Get<int32_t>(face, layout::kFacePartIndex);
      if (part < 0 || part >= scene.PartCount()) return false;
      int32_t corners = layout::Get<int32_t>(face, layout::kFaceCornerCount);
      const int32_t* indices = layout::GetPointer<const int32_t*>(face, layout::kFaceVertexIndices);
      for (int32_t k = 0; k < corners; ++k) {
        if (indices[k] < 0 || indices[k] >= scene.VertexCount()) return false;
      }
    }
  }
  return true;
}

// Bit 0 of the first byte selects every mesh node (else every other one); bits 1 to 3
// convert hardpoints, emitters and sprites. Returns the build's result, -1 when the
// reader refused the file; aborts when a successful build broke its promise.
inline int BuildFromFuzzInput(const uint8_t* data, size_t size) {
  if (size < 1 || size - 1 > UINT32_MAX) return -1;
  const uint8_t choices = data[0];
  static HostContext messages;
  std::memset(&messages, 0, sizeof messages);
  ByteCursor cursor = {const_cast<uint8_t*>(data + 1), 0, static_cast<uint32_t>(size - 1)};
  ImportedModel model = {};
  int result = -1;
  if (ParseSod(&cursor, &messages, &model) == 1) {
    for (int32_t i = 0; i < model.nodeCount; ++i) model.nodes[i].selected = (choices & 1) != 0 || i % 2 == 0 ? 1 : 0;
    const ImportOptions saved = importOptions;
    importOptions = ImportOptions{0, 0, 0, (choices >> 3) & 1, (choices >> 2) & 1, (choices >> 1) & 1};
    host::HostScene scene;
    result = BuildScene(&model, static_cast<HostContext*>(scene.Context()));
    importOptions = saved;
    if (result == 1 && !SceneIndicesInRange(scene)) std::abort();
  }
  FreeImportedModel(&model);
  return result;
}
