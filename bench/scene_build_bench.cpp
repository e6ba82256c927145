// Speed of the scene build, as a ratio against a baseline measured in the same run:
// the largest legal mesh (65535 vertices, texture coordinates and faces) built into a
// flat in-memory host, against the least any build must do in the same host: allocate
// the same vertices and triangles and copy the positions, indices and texture
// coordinates across without converting or checking anything.
#include <benchmark/benchmark.h>

#include <cstdio>
#include <cstring>
#include <string>
#include <vector>

#include "import/import_options.h"
#include "import/scene_builder.h"
#include "plugin/host_records.h"
#include "ratio_reporter.h"
#include "support/test_model.h"

namespace {

constexpr uint32_t kCount = 65535;

// A host that keeps everything in flat arrays sized once, so that the build is what
// is measured.
struct FlatHost {
  HostContext context{};
  HostServices services{};
  HostMaterialMethods materialMethods{};
  HostPolygonSetMethods setMethods{};
  std::vector<HostMaterial> materials;
  HostMap map{};
  std::vector<HostVertex> vertices;
  std::vector<HostPolygonSet> sets;
  std::vector<HostFace> faces;
  std::vector<int32_t> corners;
  std::vector<HostFaceTexCoords> texObjects;
  std::vector<HostTexCoord> texCorners;
  int parts = 0;
};

FlatHost host;

HostMaterial* CreateMaterial(HostContext*, DualString*) {
  host.materials.emplace_back();
  host.materials.back().methods = &host.materialMethods;
  host.context.materialCount = static_cast<int32_t>(host.materials.size());
  host.context.materials = host.materials.data();
  return &host.materials.back();
}

HostMap* AcquireMap(HostMaterial*, int32_t, int32_t) { return &host.map; }

int32_t AllocateVertices(HostContext*, int32_t count) {
  host.vertices.assign(static_cast<size_t>(count), HostVertex{});
  host.context.vertexCount = count;
  host.context.vertices = host.vertices.data();
  return 1;
}

void* CreatePart(HostContext*, DualString*, int32_t) {
  host.context.partCount = ++host.parts;
  host.context.parts = &host.parts;
  return &host.parts;
}

HostPolygonSet* CreatePolygonSet(HostContext*) {
  host.sets.emplace_back();
  host.sets.back().methods = &host.setMethods;
  return &host.sets.back();
}

int32_t AllocTriangles(HostPolygonSet* set, int32_t count) {
  size_t n = static_cast<size_t>(count);
  host.faces.assign(n, HostFace{});
  host.corners.assign(3 * n, 0);
  host.texObjects.assign(n, HostFaceTexCoords{});
  host.texCorners.assign(3 * n, HostTexCoord{});
  for (size_t f = 0; f < n; ++f) {
    host.faces[f].cornerCount = 3;
    host.faces[f].vertexIndices = &host.corners[3 * f];
    host.faces[f].faceTexCoords = &host.texObjects[f];
    host.texObjects[f].corners = &host.texCorners[3 * f];
  }
  set->faceCount = count;
  set->faces = host.faces.data();
  return 1;
}

int32_t FinishBuild(HostContext*, int32_t) { return 1; }

void ResetHost() {
  host.materials.clear();
  host.materials.reserve(16);
  host.sets.clear();
  host.sets.reserve(16);
  host.parts = 0;
  host.context = HostContext{};
  host.context.services = &host.services;
  host.services.CreateMaterial = CreateMaterial;
  host.services.AllocateVertices = AllocateVertices;
  host.services.CreatePart = CreatePart;
  host.services.CreatePolygonSet = CreatePolygonSet;
  host.services.FinishBuild = FinishBuild;
  host.materialMethods.AcquireMap = AcquireMap;
  host.setMethods.AllocTriangles = AllocTriangles;
}

struct LargestModel {
  ImportedModel model = {};
  LargestModel() {
    TestNode node;
    node.name = "hull";
    TestGroup group;
    group.material = "hull";
    for (uint32_t i = 0; i < kCount; ++i) {
      node.vertices.push_back({static_cast<float>(i), static_cast<float>(i % 97), -1.5f});
      node.texCoords.push_back({static_cast<float>(i % 13) / 13.0f, 0.5f});
      const uint32_t a = i, b = (i + 1) % kCount, c = (i + 2) % kCount;
      group.faces.push_back({a, b, c, a, b, c});
    }
    node.groups = {group};
    AddTestMaterial(&model, "hull", 0.5f, u"hull.tga");
    FillTestModel(&model, {node});
  }
  ~LargestModel() { FreeImportedModel(&model); }
};

LargestModel& Largest() {
  static LargestModel largest;
  return largest;
}

void CopyAcross(benchmark::State& state) {
  const NodeRecord& node = Largest().model.nodes[0];
  const FaceGroup& group = node.groups[0];
  for (auto _ : state) {
    ResetHost();
    AllocateVertices(&host.context, static_cast<int32_t>(node.vertexCount));
    for (uint32_t v = 0; v < node.vertexCount; ++v) {
      std::memcpy(host.vertices[v].position, node.worldVertices + 3 * v, 3 * sizeof(float));
    }
    HostPolygonSet* set = CreatePolygonSet(&host.context);
    AllocTriangles(set, static_cast<int32_t>(group.faceCount));
    for (uint32_t f = 0; f < group.faceCount; ++f) {
      const uint32_t* face = group.faces + 6 * f;
      for (int k = 0; k < 3; ++k) {
        set->faces[f].vertexIndices[k] = static_cast<int32_t>(face[k]);
        set->faces[f].faceTexCoords->corners[k].u = node.texCoords[2 * face[3 + k]];
        set->faces[f].faceTexCoords->corners[k].v = node.texCoords[2 * face[3 + k] + 1];
      }
    }
    benchmark::DoNotOptimize(host.vertices.data());
    benchmark::ClobberMemory();
  }
}

void Build(benchmark::State& state) {
  ImportedModel& model = Largest().model;
  importOptions = ImportOptions{0, 0, 0, 0, 0, 0};
  for (auto _ : state) {
    ResetHost();
    if (BuildScene(&model, &host.context) != 1) state.SkipWithError("the build failed");
    benchmark::DoNotOptimize(host.vertices.data());
    benchmark::ClobberMemory();
  }
}

}  // namespace

BENCHMARK(CopyAcross)->Unit(benchmark::kMillisecond);
BENCHMARK(Build)->Unit(benchmark::kMillisecond);

int main(int argc, char** argv) {
  benchmark::Initialize(&argc, argv);
  RatioReporter reporter;
  benchmark::RunSpecifiedBenchmarks(&reporter);
  std::printf("\nRatios (time / baseline time, same run):\n");
  reporter.PrintRatio("largest mesh: scene build / plain copy into the same host", "Build", "CopyAcross");
  benchmark::Shutdown();
  return 0;
}
