// Conversion of the largest legal mesh (65535 vertices, texture coordinates and faces)
// between SOD and glTF through the native plug-in, as `kveltar-host convert` does it,
// against the plug-in's own work on the same model in the same run:
// - SOD to .glb (read, import with the markers extracted, glTF written) against the
//   read and import alone;
// - .glb to SOD (glTF read, export, write) against the export and write alone of the
//   scene read from that file.
#include <benchmark/benchmark.h>

#include <filesystem>
#include <string>

#include "bench_models.h"
#include "bridge/sod_bridge.h"
#include "formats/gltf_scene_reader.h"
#include "formats/gltf_scene_writer.h"
#include "interface/host_text.h"
#include "ratio_reporter.h"
#include "support/temp_dir.h"

namespace {

// The plug-in, the largest mesh as a SOD file, and the folder for what is written.
struct Setup {
  TempDir dir;
  host::HostOptions options;
  host::Session session;
  std::filesystem::path start = std::filesystem::current_path();
  Setup() {
    options.pluginPath = host::Utf8ToUtf16(KVELTAR_NATIVE_PLUGIN);
    if (!host::StartSession(options, &session)) std::abort();
    dir.Write("largest.sod", bench::LargestMeshSod());
  }
  ~Setup() { std::filesystem::current_path(start); }

  void Import(bool withMarkers, host::SceneDocument* document) {
    host::ImportAnswer answer;
    host::UiDriver driver({host::ImportDialogAnswer(answer, withMarkers)}, false);
    if (host::ImportSod(&session, options, dir.Wide("largest.sod"), answer, withMarkers, &driver, document).status !=
        host::kExitOk) {
      std::abort();
    }
  }
};

Setup& Shared() {
  static Setup setup;
  return setup;
}

void ReadAndImport(benchmark::State& state) {
  for (auto _ : state) {
    host::SceneDocument document;
    Shared().Import(false, &document);
  }
}

void SodToGlb(benchmark::State& state) {
  std::string error;
  for (auto _ : state) {
    host::SceneDocument document;
    Shared().Import(true, &document);
    if (!host::WriteGltfScene(document, Shared().dir.Wide("largest.glb"), &error)) std::abort();
  }
}

void ExportAndWrite(benchmark::State& state) {
  host::SceneDocument document;
  std::string error;
  if (!host::ReadGltfScene(Shared().dir.Wide("largest.glb"), &document, &error)) std::abort();
  for (auto _ : state) {
    if (host::ExportSod(&Shared().session, Shared().options, &document, Shared().dir.Wide("exported.sod"),
                        host::ExportAnswer{}, false)
            .status != host::kExitOk) {
      std::abort();
    }
  }
}

void GlbToSod(benchmark::State& state) {
  std::string error;
  for (auto _ : state) {
    host::SceneDocument document;
    if (!host::ReadGltfScene(Shared().dir.Wide("largest.glb"), &document, &error) ||
        host::ExportSod(&Shared().session, Shared().options, &document, Shared().dir.Wide("back.sod"),
                        host::ExportAnswer{}, false)
                .status != host::kExitOk) {
      std::abort();
    }
  }
}

BENCHMARK(ReadAndImport)->Unit(benchmark::kMillisecond);
BENCHMARK(SodToGlb)->Unit(benchmark::kMillisecond);
BENCHMARK(ExportAndWrite)->Unit(benchmark::kMillisecond);
BENCHMARK(GlbToSod)->Unit(benchmark::kMillisecond);

}  // namespace

int main(int argc, char** argv) {
  benchmark::Initialize(&argc, argv);
  RatioReporter reporter;
  benchmark::RunSpecifiedBenchmarks(&reporter);
  reporter.PrintRatio("largest mesh: SOD to .glb / the plug-in's read and import", "SodToGlb", "ReadAndImport");
  reporter.PrintRatio("largest mesh: .glb to SOD / the plug-in's export and write", "GlbToSod", "ExportAndWrite");
  benchmark::Shutdown();
  return 0;
}
