#include "sod/export_scene.h"

#include <cstring>

#include "common/host_text.h"
#include "common/memory.h"
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

constexpr uint32_t kNotExported = UINT32_MAX;

// Visits every face of the scene, polygon sets in order and faces in order.
template <typename Visit>
void ForEachSceneFace(const HostContext* context, Visit visit) {
  if (context->polygonSets == nullptr) return;
  for (int32_t s = 0; s < context->polygonSetCount; ++s) {
    const HostPolygonSet& set = context->polygonSets[s];
    if (set.faces == nullptr) continue;
    for (int32_t f = 0; f < set.faceCount; ++f) visit(set.faces[f]);
  }
}

size_t SceneFaceCount(const HostContext* context) {
  size_t faces = 0;
  for (int32_t s = 0; context->polygonSets != nullptr && s < context->polygonSetCount; ++s) {
    const HostPolygonSet& set = context->polygonSets[s];
    if (set.faces != nullptr && set.faceCount > 0) faces += static_cast<size_t>(set.faceCount);
  }
  return faces;
}

// The place among the exported materials of each face of the scene, in scene order
// (kNotExported for the others), and each material's face count in start[i + 1].
void CountFaces(const HostContext* context, const MaterialFaces& grouped, uint32_t* places) {
  size_t k = 0;
  ForEachSceneFace(context, [&](const HostFace& face) {
    const int64_t place = static_cast<int64_t>(face.materialIndex) - grouped.first;
    const bool exported = place >= 0 && place < grouped.count;
    places[k++] = exported ? static_cast<uint32_t>(place) : kNotExported;
    if (exported) ++grouped.start[place + 1];
  });
}

// Points `*array` at room for `count` items: the array it holds when that has room
// (`*room` items), else a new one, not zeroed. True, or false when memory runs out.
template <typename Item>
bool ReuseOrAllocate(Item** array, size_t* room, size_t count) {
  if (*array != nullptr && *room >= count) return true;
  FreeMemory(*array);
  *room = 0;
  *array = static_cast<Item*>(AllocBytes(count, sizeof(Item)));  // NOLINT(bugprone-sizeof-expression)
  if (*array == nullptr) return false;
  *room = count;
  return true;
}

// The host keeps each face's corner arrays in memory of their own, so the weld asks
// for those of face f, a few places ahead, while it welds the current one.
constexpr size_t kPrefetchFaces = 8;

void PrefetchFaceArrays(FaceList faces, size_t f) {
  if (f >= faces.count) return;
  const HostFace* face = faces.faces[f];
  __builtin_prefetch(face->vertexIndices);
  __builtin_prefetch(face->exportScratch, 1);
  if (face->faceTexCoords != nullptr) __builtin_prefetch(face->faceTexCoords->indices);
}

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

int GroupFacesByMaterial(const HostContext* context, MaterialFaces* grouped) {
  grouped->first = FirstExportedMaterial(context);
  grouped->count = ExportedMaterialCount(context);
  const size_t count = static_cast<size_t>(grouped->count);
  const size_t sceneFaces = SceneFaceCount(context);
  if (!ReuseOrAllocate(&grouped->start, &grouped->startRoom, count + 1)) {
    MaterialFacesFree(grouped);
    return 0;
  }
  size_t* start = grouped->start;
  std::memset(start, 0, (count + 1) * sizeof(size_t));
  if (count == 1) {
    // One exported material: its faces are the scene's faces of it, in one pass.
    if (!ReuseOrAllocate(&grouped->faces, &grouped->facesRoom, sceneFaces)) {
      MaterialFacesFree(grouped);
      return 0;
    }
    ForEachSceneFace(context, [&](HostFace& face) {
      if (face.materialIndex == grouped->first) grouped->faces[start[1]++] = &face;
    });
    return 1;
  }
  // One place per scene face, written by CountFaces; the one pass over the faces
  // counts, and the offsets follow from the counts.
  if (!ReuseOrAllocate(&grouped->places, &grouped->placesRoom, sceneFaces)) {
    MaterialFacesFree(grouped);
    return 0;
  }
  CountFaces(context, *grouped, grouped->places);
  for (size_t i = 0; i < count; ++i) start[i + 1] += start[i];
  if (!ReuseOrAllocate(&grouped->faces, &grouped->facesRoom, start[count])) {
    MaterialFacesFree(grouped);
    return 0;
  }
  // Each face goes to its material's next free place: start[i] moves up to the old
  // start[i + 1] on the way, so the offsets move back down by one material after.
  size_t k = 0;
  ForEachSceneFace(context, [&](HostFace& face) {
    const uint32_t place = grouped->places[k++];
    if (place != kNotExported) grouped->faces[start[place]++] = &face;
  });
  for (size_t i = count; i > 0; --i) start[i] = start[i - 1];
  start[0] = 0;
  return 1;
}

size_t MaterialFacesHeldBytes(const MaterialFaces& grouped) {
  // NOLINTNEXTLINE(bugprone-sizeof-expression): the array holds pointers to faces
  return grouped.facesRoom * sizeof(HostFace*) + grouped.startRoom * sizeof(size_t) +
         grouped.placesRoom * sizeof(uint32_t);
}

FaceList FacesOfMaterial(const MaterialFaces& grouped, int32_t material) {
  const int64_t place = static_cast<int64_t>(material) - grouped.first;
  if (grouped.faces == nullptr || place < 0 || place >= grouped.count) return FaceList{nullptr, 0};
  const size_t first = grouped.start[place];
  return FaceList{grouped.faces + first, grouped.start[place + 1] - first};
}

void MaterialFacesFree(MaterialFaces* grouped) {
  if (grouped == nullptr) return;
  FreeMemory(grouped->faces);
  FreeMemory(grouped->start);
  FreeMemory(grouped->places);
  *grouped = MaterialFaces{};
}

MeshCheck ScanFaces(const HostContext* context, FaceList faces) {
  for (size_t f = 0; f < faces.count; ++f) {
    const HostFace& face = *faces.faces[f];
    if (face.cornerCount != 3) return kMeshNotTriangles;
    if (!FaceIsSound(context, face)) return kMeshBrokenFace;
  }
  return faces.count > kSodMaxCount ? kMeshTooManyFaces : kMeshFits;
}

MeshCheck WeldFaces(const HostContext* context, FaceList faces, VertexWeld* weld, uint16_t* corners) {
  for (size_t f = 0; f < faces.count; ++f) {
    PrefetchFaceArrays(faces, f + kPrefetchFaces);
    HostFace& face = *faces.faces[f];
    if (face.cornerCount != 3) return kMeshNotTriangles;
    if (!FaceIsSound(context, face)) return kMeshBrokenFace;
    for (int32_t c = 0; c < 3; ++c) {
      const int32_t vertex = face.vertexIndices[c];
      const HostTexCoord& texCoord = context->texCoordTable->entries[face.faceTexCoords->indices[c]];
      const uint32_t index = VertexWeldAdd(weld, vertex, context->vertices[vertex].position, texCoord);
      if (index == kVertexWeldFull) return kMeshWeldFailed;
      face.exportScratch[c] = static_cast<int32_t>(index);
      corners[3 * f + static_cast<size_t>(c)] = static_cast<uint16_t>(index);
    }
  }
  return weld->count > kSodMaxCount ? kMeshTooManyVertices : kMeshFits;
}

void ReportMeshRefusal(HostContext* context, MeshCheck check, int32_t material, int64_t count) {
  if (context == nullptr || check == kMeshFits || check == kMeshWeldFailed) return;
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

int CheckSodNodeCount(HostContext* context) {
  const int64_t nodes = SodNodeCount(context);
  if (nodes <= kSodMaxCount) return 1;
  char16_t message[kMessageUnits];
  FormatWide(message, kMessageUnits,
             "The SOD file format does not support more than\n65535 nodes.\n\nnodes found: %d\n",
             ClampForMessage(nodes));
  SetErrorText(context, message);
  return 0;
}
