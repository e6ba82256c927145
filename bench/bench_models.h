// The models the benchmarks measure on, shared by the Google Benchmark programs and
// the speed ratios of both builds.
#pragma once

#include <cstdint>
#include <string>

#include "interface/host_scene.h"
#include "support/sod_builder.h"

namespace bench {

// The largest legal mesh as a SOD 1.93 file: 65535 vertices, texture coordinates and
// faces in one mesh node.
inline std::string LargestMeshSod() {
  using namespace sodtest;
  SodFileSpec s;
  s.versionBits = kV193;
  s.materials = {Material("hull")};
  SodNodeSpec mesh = MeshNode("hull", {});
  mesh.mesh.vertices.clear();
  mesh.mesh.texCoords.clear();
  for (uint32_t i = 0; i < 65535; ++i) {
    mesh.mesh.vertices.push_back({static_cast<float>(i), static_cast<float>(i % 97), -1.5f});
    mesh.mesh.texCoords.push_back({static_cast<float>(i % 13) / 13.0f, 0.5f});
  }
  SodGroupSpec group{"hull", {}, std::nullopt};
  for (uint32_t f = 0; f < 65535; ++f) {
    SodFace face;
    for (int c = 0; c < 3; ++c) face.v[c] = face.t[c] = static_cast<uint16_t>((f + static_cast<uint32_t>(c)) % 65535);
    group.faces.push_back(face);
  }
  mesh.mesh.groups = {group};
  mesh.transform.t = {1, 2, 3};
  s.nodes = {NullNode("root"), mesh};
  return BuildSod(s);
}

// A host scene of `faces` triangles over a grid of 182 x 182 shared vertices, each
// with its own texture coordinate (181 x 181 quads make 65522 triangles; the rest
// cover the first row again). Face f has material materialOf(f); `materials`
// materials named m0, m1, ... are in use.
template <typename MaterialOf>
void BuildGridScene(host::HostScene& scene, int faces, int materials, MaterialOf materialOf) {
  constexpr int kQuads = 181;
  constexpr int kSide = kQuads + 1;
  for (int m = 0; m < materials; ++m) {
    const std::string name = "m" + std::to_string(m);
    scene.AddMaterial(std::u16string(name.begin(), name.end()), {0.5f, 0.5f, 0.5f, 1}, {0.2f, 0.2f, 0.2f, 1},
                      {1, 1, 1, 1}, 20, 1);
  }
  for (int y = 0; y < kSide; ++y) {
    for (int x = 0; x < kSide; ++x) {
      scene.AddVertex(
          {static_cast<float>(x) * 0.5f, static_cast<float>(y) * 0.5f, static_cast<float>((x * 7 + y * 3) % 5) * 0.1f});
      scene.AddTexCoord(static_cast<float>(x) / kQuads, static_cast<float>(y) / kQuads);
    }
  }
  const int set = scene.AddPolygonSet();
  for (int f = 0; f < faces; ++f) {
    const int quad = (f / 2) % (kQuads * kQuads);
    const int x = quad % kQuads, y = quad / kQuads;
    const int a = y * kSide + x, b = a + 1, c = a + kSide + 1, d = a + kSide;
    host::FaceSpec face;
    face.materialIndex = materialOf(f);
    face.vertices = f % 2 == 0 ? std::vector<int32_t>{a, b, c} : std::vector<int32_t>{a, c, d};
    face.texCoords = face.vertices;
    scene.AddFace(set, face);
  }
}

}  // namespace bench
