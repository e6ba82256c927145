// The SOD writer on host scenes made from arbitrary bytes: any vertex indices, corner
// counts and float bits (NaN, infinities, signed zeros). The checks must refuse what
// cannot be written without reading outside the scene, the whole file is written to
// a null stream exactly when every mesh fits, and every material's weld equals the
// literal search.
#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <vector>

#include "../tests/support/weld_oracle.h"
#include "export/export_options.h"
#include "plugin/plugin_state.h"
#include "sod/export_scene.h"
#include "sod/sod_writer.h"

namespace {

struct Bytes {
  const uint8_t* data;
  size_t size;
  size_t at = 0;
  uint8_t U8() { return at < size ? data[at++] : 0; }
  float F32() {
    uint32_t bits = 0;
    for (int i = 0; i < 4; ++i) bits = bits << 8 | U8();
    float f;
    std::memcpy(&f, &bits, sizeof f);
    return f;
  }
};

HostMap* NoMap(HostMaterial*, int32_t) { return nullptr; }

// The literal weld of one material's corners, compared with the table WeldFaces made
// and the places it gave each corner.
void CompareWithLiteral(const HostContext* context, FaceList faces, const VertexWeld& weld,
                        const std::vector<uint16_t>& places) {
  std::vector<ExportVertex> table(weld.capacity + 1);
  uint32_t count = 0;
  for (size_t f = 0; f < faces.count; ++f) {
    const HostFace& face = *faces.faces[f];
    for (int c = 0; c < 3; ++c) {
      ExportVertex corner;
      std::memset(&corner, 0, sizeof corner);
      corner.hostVertex = face.vertexIndices[c];
      std::memcpy(corner.position, context->vertices[corner.hostVertex].position, sizeof corner.position);
      corner.texCoord = context->texCoordTable->entries[face.faceTexCoords->indices[c]];
      const uint32_t index = LiteralWeldAdd(table.data(), &count, corner);
      if (index != static_cast<uint32_t>(face.exportScratch[c]) || index != places[3 * f + static_cast<size_t>(c)]) {
        abort();
      }
    }
  }
  if (count != weld.count || std::memcmp(table.data(), weld.vertices, count * sizeof(ExportVertex)) != 0) abort();
}

// Whether every exported material's faces can be stored; the weld answers as the scan
// does, and each fitting material's weld equals the literal search.
bool EveryMeshFits(HostContext* context) {
  MaterialFaces grouped{};
  if (!GroupFacesByMaterial(context, &grouped)) abort();
  bool fits = true;
  for (int32_t m = grouped.first; fits && m < grouped.first + grouped.count; ++m) {
    const FaceList faces = FacesOfMaterial(grouped, m);
    VertexWeld weld;
    std::vector<uint16_t> places(3 * faces.count + 1);
    if (!VertexWeldCreate(&weld, static_cast<uint32_t>(3 * faces.count), static_cast<uint32_t>(context->vertexCount))) {
      abort();
    }
    const MeshCheck check = WeldFaces(context, faces, &weld, places.data());
    if (check != ScanFaces(context, faces)) abort();
    fits = check == kMeshFits;
    if (fits) CompareWithLiteral(context, faces, weld, places);
    VertexWeldFree(&weld);
  }
  MaterialFacesFree(&grouped);
  return fits;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  Bytes in{data, size};
  const int vertexCount = in.U8() % 16;
  const int texCount = 1 + in.U8() % 8;
  const int materialCount = in.U8() % 4;
  std::vector<HostVertex> vertices(static_cast<size_t>(vertexCount));
  for (HostVertex& v : vertices) {
    for (float& coordinate : v.position) coordinate = in.F32();
  }
  std::vector<HostTexCoord> texCoords(static_cast<size_t>(texCount));
  for (HostTexCoord& t : texCoords) {
    t.u = in.F32();
    t.v = in.F32();
  }
  HostTexCoordTable table{};
  table.entries = texCoords.data();
  HostMaterialMethods methods{};
  methods.FindMap = NoMap;
  std::vector<HostMaterial> materials(static_cast<size_t>(materialCount));
  for (HostMaterial& m : materials) {
    std::memset(&m, 0, sizeof m);
    m.methods = &methods;
    std::snprintf(m.name.narrow, sizeof m.name.narrow, "m%d", in.U8());
    m.useCount = in.U8() % 2;
  }
  const size_t faceCount = in.U8() % 32;
  std::vector<HostFace> faces(faceCount);
  std::vector<std::vector<int32_t>> corners(faceCount * 3);
  std::vector<HostFaceTexCoords> faceTex(faceCount);
  for (size_t f = 0; f < faceCount; ++f) {
    HostFace& face = faces[f];
    std::memset(&face, 0, sizeof face);
    face.materialIndex = static_cast<int8_t>(in.U8()) % 5;
    face.cornerCount = in.U8() % 5;
    auto& vi = corners[f * 3];
    auto& ti = corners[f * 3 + 1];
    auto& scratch = corners[f * 3 + 2];
    for (int c = 0; c < face.cornerCount; ++c) {
      vi.push_back(static_cast<int8_t>(in.U8()) % 20);
      ti.push_back(in.U8() % texCount);
      scratch.push_back(-1);
    }
    face.vertexIndices = vi.data();
    face.exportScratch = scratch.data();
    faceTex[f].indices = ti.data();
    face.faceTexCoords = &faceTex[f];
  }
  HostPolygonSet set;
  std::memset(&set, 0, sizeof set);
  set.faceCount = static_cast<int32_t>(faceCount);
  set.faces = faces.data();
  HostContext context;
  std::memset(&context, 0, sizeof context);
  context.materialCount = materialCount;
  context.materials = materials.empty() ? nullptr : materials.data();
  context.vertexCount = vertexCount;
  context.vertices = vertices.empty() ? nullptr : vertices.data();
  context.texCoordTable = &table;
  context.polygonSetCount = 1;
  context.polygonSets = &set;
  currentContext = &context;
  exportOptions.gameVersion = in.U8() % 2 ? kGameArmada2 : kGameArmada1;
  const bool fits = EveryMeshFits(&context);
  FILE* sink = std::fopen("/dev/null", "wb");
  if (sink == nullptr) return 0;
  // A scene without vertices has no mesh to write (the checks before the dialog say so).
  bool writable = fits && (vertexCount > 0 || ExportedMaterialCount(&context) == 0);
  if (WriteSodStream(sink) != (writable ? 1 : 0)) abort();
  std::fclose(sink);
  return 0;
}
