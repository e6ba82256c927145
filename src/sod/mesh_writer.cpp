#include "sod/mesh_writer.h"

#include <cstring>

#include "common/paths.h"
#include "common/text_conversion.h"
#include "common/transform.h"
#include "common/wide_text.h"
#include "export/export_options.h"
#include "plugin/plugin_state.h"
#include "sod/export_scene.h"
#include "sod/sod_format.h"
#include "sod/sod_writer.h"

namespace {

constexpr uint32_t kMinusHalfPiBits = 0xBFC90FDB;  // the single-precision value nearest to -pi/2
constexpr char kStyleNew[] = "opaque";
constexpr char kStyleOld[] = "default";

// Style name, the 1.93 mode words and the texture name, up to the spare words.
int WriteMeshStyle(FILE* stream, HostMaterial* material) {
  bool newFormat = SodWritesNewFormat();
  if (!WriteSodString(stream, newFormat ? kStyleNew : kStyleOld)) return 0;
  if (newFormat &&
      !(WriteSodU16(stream, 4) && WriteSodU16(stream, 0) && WriteSodU16(stream, 1) && WriteSodU16(stream, 0))) {
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
  if (!WriteSodString(stream, texture)) return 0;
  if (newFormat) {
    for (int i = 0; i < 4; ++i) {
      if (!WriteSodU16(stream, 0)) return 0;
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
  float q[3];
  TransformPoint(q, host, &axes);
  sod[0] = -q[0];
  sod[1] = -q[2];
  sod[2] = q[1];
}

int WriteMeshVertices(FILE* stream, const VertexWeld& weld) {
  if (!(WriteSodU16(stream, static_cast<uint16_t>(weld.count)) &&
        WriteSodU16(stream, static_cast<uint16_t>(weld.count)) && WriteSodU16(stream, 1))) {
    return 0;
  }
  const Matrix4 axes = SodAxes();
  for (uint32_t i = 0; i < weld.count; ++i) {
    float p[3];
    SodPosition(axes, weld.vertices[i].position, p);
    if (!WriteSodVector3(stream, p[0], p[1], p[2])) return 0;
  }
  for (uint32_t i = 0; i < weld.count; ++i) {
    if (!(WriteSodF32(stream, weld.vertices[i].texCoord.u) && WriteSodF32(stream, weld.vertices[i].texCoord.v))) {
      return 0;
    }
  }
  return 1;
}

// The one face group: its faces in weld order, each corner's table index written as
// vertex index and texture coordinate index.
int WriteMeshFaces(FILE* stream, const HostContext* context, int32_t m, uint32_t faceCount) {
  const HostMaterial& material = context->materials[m];
  size_t nameLength =
      exportOptions.exportMaterials == 1 ? NarrowLengthBounded(material.name.narrow, kPathUnits - 1) : 0;
  if (!(WriteSodU16(stream, static_cast<uint16_t>(faceCount)) &&
        WriteSodStringBytes(stream, material.name.narrow, nameLength))) {
    return 0;
  }
  int written = 1;
  ForEachFaceOf(context, m, [&](const HostFace& face) {
    for (int c = 0; c < 3 && written; ++c) {
      // A welded vertex carries its own texture coordinate: both indices are its place.
      const uint16_t vertexIndex = static_cast<uint16_t>(face.exportScratch[c]);
      const uint16_t texCoordIndex = vertexIndex;
      written = WriteSodU16(stream, vertexIndex) && WriteSodU16(stream, texCoordIndex);
    }
    return written != 0;
  });
  return written && WriteSodU8(stream, 1) && WriteSodU16(stream, 0) ? 1 : 0;
}

int WriteMeshBody(FILE* stream, HostContext* context, int32_t m, uint32_t faceCount, const VertexWeld& weld) {
  HostMaterial* material = &context->materials[m];
  return WriteSodNodeStart(stream, kSodNodeMesh, material->name.narrow, SodRootName()) &&
                 WriteSodIdentityTransform(stream) && WriteMeshStyle(stream, material) &&
                 WriteMeshVertices(stream, weld) && WriteMeshFaces(stream, context, m, faceCount)
             ? 1
             : 0;
}

}  // namespace

void SodPositionOf(const float* host, float* sod) { SodPosition(SodAxes(), host, sod); }

int WriteMeshNode(FILE* stream, int32_t material) {
  HostContext* context = currentContext;
  if (stream == nullptr || context == nullptr || context->vertexCount == 0) return 0;
  if (context->materials == nullptr || material < 0 || material >= context->materialCount) return 0;
  uint32_t faceCount = 0;
  MeshCheck check = ScanMaterialFaces(context, material, &faceCount);
  if (check != kMeshFits) {
    ReportMeshRefusal(context, check, material, faceCount);
    return 0;
  }
  VertexWeld weld;
  if (!VertexWeldCreate(&weld, faceCount * 3)) return 0;
  int written = 0;
  if (WeldMaterialCorners(context, material, &weld)) {
    if (weld.count > kSodMaxCount) {
      ReportMeshRefusal(context, kMeshTooManyVertices, material, weld.count);
    } else {
      written = WriteMeshBody(stream, context, material, faceCount, weld);
    }
  }
  VertexWeldFree(&weld);
  return written;
}
