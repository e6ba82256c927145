// Speed of the SOD reader, as ratios against baselines measured in the same run:
//   the largest legal mesh (65535 vertices, texture coordinates and faces), parsed from
//   memory against a plain copy of its bytes, and read from a file by the read
//   operation against a plain read of the file;
//   a file with 20,000 materials and 20,000 face groups, parsed against the same parse
//   with the literal binding sweeps, and against the parse without any binding.
#include <benchmark/benchmark.h>

#include <cstdio>
#include <cstring>
#include <string>
#include <vector>

#include "bench_models.h"
#include "common/dual_string.h"
#include "common/memory.h"
#include "platform/file_system.h"
#include "plugin/operations.h"
#include "plugin/plugin_state.h"
#include "ratio_reporter.h"
#include "sod/sod_reader.h"
#include "support/sod_builder.h"
#include "support/sod_literal_binding.h"
#include "support/temp_dir.h"

using namespace sodtest;

namespace {

HostContext benchContext;

// 20,000 section materials, 20,000 groups over 100 meshes; every fourth group names a
// material the section lacks.
std::string ManyMaterials() {
  SodFileSpec s;
  for (int i = 0; i < 20000; ++i) s.materials.push_back(Material("material_" + std::to_string(i)));
  for (int n = 0; n < 100; ++n) {
    std::vector<std::string> groups;
    for (int g = 0; g < 200; ++g) {
      const int i = n * 200 + g;
      groups.push_back(i % 4 == 3 ? "extra_" + std::to_string(i) : "material_" + std::to_string((i * 7) % 20000));
    }
    s.nodes.push_back(MeshNode("mesh" + std::to_string(n), groups, "tex" + std::to_string(n)));
  }
  return BuildSod(s);
}

const std::string& LargestMeshBytes() {
  static const std::string bytes = bench::LargestMeshSod();
  return bytes;
}

const std::string& ManyMaterialsBytes() {
  static const std::string bytes = ManyMaterials();
  return bytes;
}

void CopyBytes(benchmark::State& state, const std::string& bytes) {
  for (auto _ : state) {
    uint8_t* copy = static_cast<uint8_t*>(AllocZeroed(bytes.size(), 1));
    std::memcpy(copy, bytes.data(), bytes.size());
    benchmark::DoNotOptimize(copy);
    benchmark::ClobberMemory();
    FreeMemory(copy);
  }
}

enum class Binding { kIndexed, kLiteral, kNone };

int32_t ParseWith(ByteCursor* cursor, ImportedModel* model, Binding binding) {
  if (binding == Binding::kIndexed) return ParseSod(cursor, &benchContext, model);
  if (!ReadSodHeader(cursor, &benchContext, model)) return 0;
  const uint32_t afterHeader = cursor->position;
  if (!CountPass(cursor, model) || !AllocateModelArrays(model)) return 0;
  cursor->position = afterHeader;
  if (!FillPass(cursor, model) || !DeriveModelData(model)) return 0;
  return binding == Binding::kLiteral ? LiteralBindMaterials(model) : 1;
}

void Parse(benchmark::State& state, const std::string& bytes, Binding binding) {
  std::vector<uint8_t> data(bytes.begin(), bytes.end());
  for (auto _ : state) {
    ByteCursor cursor = {data.data(), 0, static_cast<uint32_t>(data.size())};
    ImportedModel model = {};
    if (!ParseWith(&cursor, &model, binding)) state.SkipWithError("the file did not parse");
    FreeImportedModel(&model);
  }
}

struct FileOnDisk {
  TempDir dir;
  std::u16string path;
  FileOnDisk() {
    dir.Write("largest.sod", LargestMeshBytes());
    path = dir.Wide("largest.sod");
  }
};

FileOnDisk& LargestMeshFile() {
  static FileOnDisk file;
  return file;
}

void ReadFilePlainly(benchmark::State& state) {
  const std::u16string& path = LargestMeshFile().path;
  for (auto _ : state) {
    FILE* file = OpenFileWide(path.c_str(), "rb");
    const int64_t size = StreamSizeBySeeking(file);
    uint8_t* data = static_cast<uint8_t*>(AllocZeroed(static_cast<size_t>(size), 1));
    fseek(file, 0, SEEK_SET);
    if (fread(data, 1, static_cast<size_t>(size), file) != static_cast<size_t>(size)) state.SkipWithError("short");
    fclose(file);
    benchmark::DoNotOptimize(data);
    FreeMemory(data);
  }
}

void ReadOperation(benchmark::State& state) {
  DualStringSetWide(&benchContext.filePath, LargestMeshFile().path.c_str());
  for (auto _ : state) {
    if (ReadSodFile(&benchContext) != 1) state.SkipWithError("the read failed");
  }
  ResetImport(&importedModel, &readerCursor);
}

}  // namespace

BENCHMARK_CAPTURE(CopyBytes, largest_mesh, LargestMeshBytes())->Unit(benchmark::kMillisecond);
BENCHMARK_CAPTURE(Parse, largest_mesh, LargestMeshBytes(), Binding::kIndexed)->Unit(benchmark::kMillisecond);
BENCHMARK(ReadFilePlainly)->Unit(benchmark::kMillisecond);
BENCHMARK(ReadOperation)->Unit(benchmark::kMillisecond);
BENCHMARK_CAPTURE(Parse, many_materials, ManyMaterialsBytes(), Binding::kIndexed)->Unit(benchmark::kMillisecond);
BENCHMARK_CAPTURE(Parse, many_materials_unbound, ManyMaterialsBytes(), Binding::kNone)->Unit(benchmark::kMillisecond);
BENCHMARK_CAPTURE(Parse, many_materials_literal, ManyMaterialsBytes(), Binding::kLiteral)
    ->Unit(benchmark::kMillisecond)
    ->Iterations(2);

int main(int argc, char** argv) {
  benchmark::Initialize(&argc, argv);
  RatioReporter reporter;
  benchmark::RunSpecifiedBenchmarks(&reporter);
  std::printf("\nRatios (time / baseline time, same run):\n");
  reporter.PrintRatio("largest mesh: parse from memory / copy of its bytes", "Parse/largest_mesh",
                      "CopyBytes/largest_mesh");
  reporter.PrintRatio("largest mesh: read operation on the file / plain read of the file", "ReadOperation",
                      "ReadFilePlainly");
  reporter.PrintRatio("many materials: parse / parse with the literal binding sweeps", "Parse/many_materials",
                      "Parse/many_materials_literal/iterations:2");
  reporter.PrintRatio("many materials: parse / parse without binding", "Parse/many_materials",
                      "Parse/many_materials_unbound");
  benchmark::Shutdown();
  return 0;
}
