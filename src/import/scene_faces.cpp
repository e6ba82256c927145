// The polygon sets of a build: triangles for every face group of the selected meshes,
// then one quad per converted marker. Every index is checked before it is stored, so
// a corrupt file can only fail the build, never point the host outside its arrays.
#include <cstddef>

#include "import/scene_steps.h"

namespace {

constexpr int32_t kTriangleCorners = 3;
constexpr int32_t kNoMaterial = -1;

// A face's six entries: vertex indices of corners 0-2, then texture coordinate indices.
int32_t FillTriangle(const NodeRecord& node, const uint32_t* source, HostFace* face, int32_t total,
                     int32_t vertexBase) {
  if (face->cornerCount < kTriangleCorners || face->vertexIndices == nullptr) return 0;
  for (int k = 0; k < kTriangleCorners; ++k) {
    // An index is checked against its own node first, so that it can never reach the
    // vertices of another mesh.
    uint32_t local = source[k];
    if (local >= BuiltVertexCount(node)) return 0;
    int64_t index = int64_t{vertexBase} + local;
    if (index >= total) return 0;
    face->vertexIndices[k] = static_cast<int32_t>(index);
    if (node.texCoords == nullptr) continue;
    uint32_t t = source[kTriangleCorners + k];
    if (t >= node.texCoordCount) return 0;
    if (face->faceTexCoords == nullptr || face->faceTexCoords->corners == nullptr) return 0;
    face->faceTexCoords->corners[k].u = node.texCoords[2 * static_cast<size_t>(t)];
    face->faceTexCoords->corners[k].v = node.texCoords[2 * static_cast<size_t>(t) + 1];
  }
  return 1;
}

int32_t BuildGroup(const NodeRecord& node, const FaceGroup& group, HostContext* context, int32_t total,
                   const FaceCursor& cursor) {
  HostPolygonSet* set = context->services->CreatePolygonSet(context);
  if (set == nullptr) return 0;
  uint32_t faceCount = BuiltFaceCount(group);
  if (faceCount == 0) return 1;
  if (faceCount > INT32_MAX || !set->methods->AllocTriangles(set, static_cast<int32_t>(faceCount))) return 0;
  if (set->faces == nullptr || set->faceCount < static_cast<int32_t>(faceCount)) return 0;
  for (uint32_t f = 0; f < faceCount; ++f) {
    if (context->parts != nullptr && cursor.part >= context->partCount) return 0;
    if (context->materials != nullptr && group.materialIndex >= context->materialCount) return 0;
    HostFace* face = &set->faces[f];
    face->materialIndex = group.materialIndex;
    face->partIndex = cursor.part;
    if (!FillTriangle(node, group.faces + 6 * static_cast<size_t>(f), face, total, cursor.vertexBase)) return 0;
  }
  return 1;
}

int32_t BuildMarker(HostContext* context, const FaceCursor& cursor) {
  HostPolygonSet* set = context->services->CreatePolygonSet(context);
  if (set == nullptr) return 0;
  if (!set->methods->AllocPolygons(set, 1)) return 0;
  if (set->methods->SetCornerCount(set, 0, kMarkerCorners) == nullptr) return 0;
  if (cursor.part >= context->partCount || !(kNoMaterial < context->materialCount)) return 0;
  if (set->faces == nullptr || set->faceCount < 1) return 0;
  HostFace* face = &set->faces[0];
  face->materialIndex = kNoMaterial;
  face->partIndex = cursor.part;
  if (int64_t{cursor.vertexBase} + 3 >= context->vertexCount) return 0;
  if (face->cornerCount < kMarkerCorners || face->vertexIndices == nullptr) return 0;
  for (int32_t k = 0; k < kMarkerCorners; ++k) face->vertexIndices[k] = cursor.vertexBase + k;
  return 1;
}

}  // namespace

int32_t BuildMeshFaces(const ImportedModel& model, HostContext* context, int32_t total, FaceCursor* cursor) {
  for (int32_t i = 0; model.nodes != nullptr && i < model.nodeCount; ++i) {
    const NodeRecord& node = model.nodes[i];
    if (!IsSelectedMesh(node)) continue;
    for (uint32_t g = 0; g < BuiltGroupCount(node); ++g) {
      if (!BuildGroup(node, node.groups[g], context, total, *cursor)) return 0;
      ++cursor->part;  // a group without faces takes its part index too
    }
    cursor->vertexBase += static_cast<int32_t>(BuiltVertexCount(node));
  }
  return 1;
}

int32_t BuildMarkerFaces(const ImportedModel& model, HostContext* context, FaceCursor* cursor) {
  MarkerView views[kMarkerKinds];
  ConvertedMarkers(model, views);
  for (const MarkerView& view : views) {
    for (int32_t m = 0; m < view.count; ++m) {
      if (!BuildMarker(context, *cursor)) return 0;
      cursor->vertexBase += kMarkerCorners;
      ++cursor->part;
    }
  }
  return 1;
}
