#include "sod/mesh_writer.h"

#include <cstring>

#include "common/memory.h"
#include "common/paths.h"
#include "common/text_conversion.h"
#include "common/transform.h"
#include "common/wide_text.h"
#include "export/export_options.h"
#include "sod/export_scene.h"
#include "sod/sod_format.h"
#include "sod/sod_writer.h"

namespace {

constexpr uint32_t kMinusHalfPiBits = 0xBFC90FDB;  // the single-precision value nearest to -pi/2
constexpr char kStyleNew[] = "opaque";
constexpr char kStyleOld[] = "default";

// Style name, the 1.93 mode words and the texture name, up to the spare words.
int WriteMeshStyle(ByteBuffer* out, HostMaterial* material) {
  bool newFormat = SodWritesNewFormat();
  if (!WriteSodString(out, newFormat ? kStyleNew : kStyleOld)) return 0;
  if (newFormat && !(WriteSodU16(out, 4) && WriteSodU16(out, 0) && WriteSodU16(out, 1) && WriteSodU16(out, 0))) {
    return 0;
  }
  char texture[kPathUnits] = {0};
  if (exportOptions.exportMaterials == 1 && material->methods != nullptr && material->methods->FindMap != nullptr) {
    const HostMap* map = material->methods->FindMap(material, 0);
    if (map != nullptr && map->mapKind == 1) {
      char16_t title[kPathUnits] = {0};
      FileTitleOfPath(map->path.wide, title);
      WideToNarrow(title, texture, kPathUnits);
    }
  }
  if (!WriteSodString(out, texture)) return 0;
  if (newFormat) {
    for (int i = 0; i < 4; ++i) {
      if (!WriteSodU16(out, 0)) return 0;
    }
  }
  return 1;
}

// The rotation by -pi/2 about X that takes host positions into the SOD axes.
Matrix4 SodAxes() {
  float angle;
  std::memcpy(&angle, &kMinusHalfPiBits, sizeof angle);
  Matrix4 rotation;
  MakeRotationX(&rotation, angle);
  return rotation;
}

// q = p * R, written as (-q.x, -q.z, q.y).
void SodPosition(const Matrix4& axes, const float* host, float* sod) {
  float q[3] = {0.0f, 0.0f, 0.0f};
  TransformPoint(q, host, &axes);
  sod[0] = -q[0];
  sod[1] = -q[2];
  sod[2] = q[1];
}

// Counts V, K and G, then the V positions and the V texture coordinates of the table.
int WriteMeshVertices(ByteBuffer* out, const VertexWeld& weld) {
  const uint16_t count = static_cast<uint16_t>(weld.count);
  uint8_t* at = ByteBufferExtend(out, 6 + size_t{count} * (kSodVector3Bytes + kSodTexCoordBytes));
  if (at == nullptr) return 0;
  at = StoreU16(StoreU16(StoreU16(at, count), count), 1);
  const Matrix4 axes = SodAxes();
  for (uint32_t i = 0; i < count; ++i) {
    float p[3];
    SodPosition(axes, weld.vertices[i].position, p);
    at = StoreF32(StoreF32(StoreF32(at, p[0]), p[1]), p[2]);
  }
  for (uint32_t i = 0; i < count; ++i)
    at = StoreF32(StoreF32(at, weld.vertices[i].texCoord.u), weld.vertices[i].texCoord.v);
  return 1;
}

// The one face group: its faces in weld order, each corner's table index written as
// vertex index and texture coordinate index; then the end byte and word.
int WriteMeshFaces(ByteBuffer* out, const HostMaterial& material, size_t faceCount, const uint16_t* corners) {
  size_t nameLength =
      exportOptions.exportMaterials == 1 ? NarrowLengthBounded(material.name.narrow, kPathUnits - 1) : 0;
  if (!(WriteSodU16(out, static_cast<uint16_t>(faceCount)) &&
        WriteSodStringBytes(out, material.name.narrow, nameLength))) {
    return 0;
  }
  uint8_t* at = ByteBufferExtend(out, faceCount * kSodFaceBytes + 3);
  if (at == nullptr) return 0;
  // A welded vertex carries its own texture coordinate: both indices are its place.
  for (size_t c = 0; c < 3 * faceCount; ++c) at = StoreU16(StoreU16(at, corners[c]), corners[c]);
  *at = 1;
  StoreU16(at + 1, 0);
  return 1;
}

int WriteMeshBody(ByteBuffer* out, HostMaterial* material, size_t faceCount, const VertexWeld& weld,
                  const uint16_t* corners) {
  return WriteSodNodeStart(out, kSodNodeMesh, material->name.narrow, SodRootName()) && WriteSodIdentityTransform(out) &&
                 WriteMeshStyle(out, material) && WriteMeshVertices(out, weld) &&
                 WriteMeshFaces(out, *material, faceCount, corners)
             ? 1
             : 0;
}

}  // namespace

void SodPositionOf(const float* host, float* sod) { SodPosition(SodAxes(), host, sod); }

int MeshWorkspaceCreate(MeshWorkspace* workspace, size_t faces) {
  if (workspace == nullptr) return 0;
  const size_t welded = faces < kSodMaxCount ? faces : kSodMaxCount;
  *workspace = MeshWorkspace{VertexWeld{}, nullptr, welded};
  workspace->corners = static_cast<uint16_t*>(AllocBytes(3 * welded, sizeof(uint16_t)));  // written before read
  if (workspace->corners != nullptr && VertexWeldCreate(&workspace->weld, static_cast<uint32_t>(3 * welded), 0))
    return 1;
  MeshWorkspaceFree(workspace);
  return 0;
}

void MeshWorkspaceFree(MeshWorkspace* workspace) {
  if (workspace == nullptr) return;
  VertexWeldFree(&workspace->weld);
  FreeMemory(workspace->corners);
  workspace->corners = nullptr;
  workspace->faces = 0;
}

int WriteMeshNode(ByteBuffer* out, HostContext* context, int32_t material, FaceList faces, MeshWorkspace* workspace) {
  if (out == nullptr || context == nullptr || context->vertexCount == 0 || workspace == nullptr) return 0;
  if (context->materials == nullptr || material < 0 || material >= context->materialCount) return 0;
  if (faces.count > kSodMaxCount) {
    ReportMeshRefusal(context, ScanFaces(context, faces), material, static_cast<int64_t>(faces.count));
    return 0;
  }
  VertexWeld* weld = &workspace->weld;
  if (faces.count > workspace->faces ||
      !VertexWeldReset(weld, static_cast<uint32_t>(faces.count * 3), static_cast<uint32_t>(context->vertexCount)))
    return 0;
  const MeshCheck check = WeldFaces(context, faces, weld, workspace->corners);
  if (check != kMeshFits) {
    ReportMeshRefusal(context, check, material, check == kMeshTooManyVertices ? weld->count : faces.count);
    return 0;
  }
  return WriteMeshBody(out, &context->materials[material], faces.count, *weld, workspace->corners);
}
