#include "sod/export_scene.h"

#include "common/host_text.h"
#include "common/text_conversion.h"
#include "common/text_lists.h"
#include "common/wide_text.h"
#include "export/export_options.h"
#include "sod/sod_format.h"

namespace {

constexpr size_t kMessageUnits = 512;

bool FaceIsSound(const HostContext* context, const HostFace& face) {
  if (face.vertexIndices == nullptr || face.exportScratch == nullptr || face.faceTexCoords == nullptr ||
      face.faceTexCoords->indices == nullptr || context->vertices == nullptr || context->texCoordTable == nullptr ||
      context->texCoordTable->entries == nullptr) {
    return false;
  }
  for (int32_t c = 0; c < face.cornerCount; ++c) {
    int32_t vertex = face.vertexIndices[c];
    if (vertex < 0 || vertex >= context->vertexCount) return false;
  }
  return true;
}

int ClampForMessage(int64_t count) { return count > INT32_MAX ? INT32_MAX : static_cast<int>(count); }

}  // namespace

int32_t FirstExportedMaterial(const HostContext* context) {
  bool inUse = context != nullptr && context->materials != nullptr && context->materialCount > 0 &&
               context->materials[0].useCount > 0;
  return inUse ? 0 : 1;
}

int32_t ExportedMaterialCount(const HostContext* context) {
  if (context == nullptr || context->materials == nullptr) return 0;
  int32_t count = context->materialCount - FirstExportedMaterial(context);
  return count > 0 ? count : 0;
}

int64_t SodNodeCount(const HostContext* context) {
  int64_t nodes = static_cast<int64_t>(ExportedMaterialCount(context)) + 1;
  if (exportOptions.useHardpointFile == 1) nodes += static_cast<int64_t>(textHardpointCount) + 1;
  if (exportOptions.useEmitterFile == 1) nodes += static_cast<int64_t>(textEmitterCount) + 1;
  if (exportOptions.useSpriteFile == 1) nodes += static_cast<int64_t>(textSpriteCount) + 1;
  return nodes;
}

MeshCheck ScanMaterialFaces(const HostContext* context, int32_t material, uint32_t* faceCount) {
  uint64_t faces = 0;
  MeshCheck check = kMeshFits;
  ForEachFaceOf(context, material, [&](const HostFace& face) {
    ++faces;
    if (check == kMeshFits && face.cornerCount != 3) check = kMeshNotTriangles;
    if (check == kMeshFits && !FaceIsSound(context, face)) check = kMeshBrokenFace;
    return true;
  });
  *faceCount = faces > UINT32_MAX ? UINT32_MAX : static_cast<uint32_t>(faces);
  if (check == kMeshFits && faces > kSodMaxCount) check = kMeshTooManyFaces;
  return check;
}

int WeldMaterialCorners(const HostContext* context, int32_t material, VertexWeld* weld) {
  const HostTexCoord* texCoords = context->texCoordTable->entries;
  bool full = false;
  ForEachFaceOf(context, material, [&](HostFace& face) {
    for (int32_t c = 0; c < 3; ++c) {
      ExportVertex corner;
      corner.hostVertex = face.vertexIndices[c];
      const float* position = context->vertices[corner.hostVertex].position;
      for (int k = 0; k < 3; ++k) corner.position[k] = position[k];
      corner.texCoord = texCoords[face.faceTexCoords->indices[c]];
      uint32_t index = VertexWeldAdd(weld, corner);
      if (index == kVertexWeldFull) {
        full = true;
        return false;
      }
      face.exportScratch[c] = static_cast<int32_t>(index);
    }
    return true;
  });
  return full ? 0 : 1;
}

void ReportMeshRefusal(HostContext* context, MeshCheck check, int32_t material, int64_t count) {
  if (context == nullptr || check == kMeshFits) return;
  char16_t name[kDualStringUnits] = {0};
  if (context->materials != nullptr && material >= 0 && material < context->materialCount) {
    const char* narrow = context->materials[material].name.narrow;
    char bounded[kDualStringUnits];
    NarrowCopy(bounded, sizeof bounded, narrow);
    NarrowToWide(bounded, name, kDualStringUnits);
  }
  char16_t message[kMessageUnits];
  const char* format = nullptr;
  switch (check) {
    case kMeshNotTriangles:
      format = "Only triangles can be written to a SOD file.\n\nmaterial: %s\n";
      break;
    case kMeshBrokenFace:
      format = "A face of the scene refers to geometry that does not exist.\n\nmaterial: %s\n";
      break;
    case kMeshTooManyFaces:
      format =
          "The SOD file format does not support more than\n65535 faces in one mesh.\n\nmaterial: %s\nfaces found: %d\n";
      break;
    default:
      format =
          "The SOD file format does not support more than\n65535 vertices in one mesh.\n\nmaterial: %s\nvertices "
          "found: %d\n";
      break;
  }
  FormatWide(message, kMessageUnits, format, name, ClampForMessage(count));
  SetErrorText(context, message);
}

int CheckSceneFitsSod(HostContext* context) {
  int64_t nodes = SodNodeCount(context);
  if (nodes > kSodMaxCount) {
    char16_t message[kMessageUnits];
    FormatWide(message, kMessageUnits,
               "The SOD file format does not support more than\n65535 nodes.\n\nnodes found: %d\n",
               ClampForMessage(nodes));
    SetErrorText(context, message);
    return 0;
  }
  int32_t first = FirstExportedMaterial(context);
  int32_t end = first + ExportedMaterialCount(context);
  for (int32_t m = first; m < end; ++m) {
    uint32_t faces = 0;
    MeshCheck check = ScanMaterialFaces(context, m, &faces);
    if (check != kMeshFits) {
      ReportMeshRefusal(context, check, m, faces);
      return 0;
    }
    // Three corners per face can only exceed the vertex limit above 21845 faces.
    if (static_cast<uint64_t>(faces) * 3 <= kSodMaxCount) continue;
    VertexWeld weld;
    if (!VertexWeldCreate(&weld, faces * 3)) return 0;
    int welded = WeldMaterialCorners(context, m, &weld);
    uint32_t vertices = weld.count;
    VertexWeldFree(&weld);
    if (!welded) return 0;
    if (vertices > kSodMaxCount) {
      ReportMeshRefusal(context, kMeshTooManyVertices, m, vertices);
      return 0;
    }
  }
  return 1;
}
