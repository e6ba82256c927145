// A mod's folder of 200 SOD files (every version, meshes of 1 to 2000 triangles, a
// texture, hardpoints), made by the test builder, through the native plug-in:
// - `check` of every file against the same plug-in work done as separate calls: read
//   and import with extraction, export checks and write for SOD 1.8 and 1.93;
// - batch `convert` of the folder to .glb against 200 single conversions in one
//   process, through the same loaded plug-in.
#include <benchmark/benchmark.h>

#include <filesystem>
#include <string>

#include "bridge/file_batch.h"
#include "bridge/mod_check.h"
#include "interface/host_text.h"
#include "interface/process_memory.h"
#include "ratio_reporter.h"
#include "support/sod_builder.h"
#include "support/temp_dir.h"

namespace {

constexpr int kFiles = 200;

// Ship number `n`: its version, size and markers follow from n.
std::string ShipSod(int n) {
  using namespace sodtest;
  SodFileSpec s;
  s.versionBits = kAllVersions[n % 7];
  s.materials = {Material("hull"), Material("glow")};
  SodNodeSpec mesh = MeshNode("body", {"hull", "glow"}, "hull", "root");
  const int side = 2 + (n * 37) % 32;  // a grid of side x side vertices
  mesh.mesh.vertices.clear();
  mesh.mesh.texCoords.clear();
  for (int y = 0; y < side; ++y) {
    for (int x = 0; x < side; ++x) {
      mesh.mesh.vertices.push_back({float(x), float(y), float((x * y) % 3)});
      mesh.mesh.texCoords.push_back({float(x) / side, float(y) / side});
    }
  }
  for (auto& group : mesh.mesh.groups) group.faces.clear();
  for (int y = 0; y + 1 < side; ++y) {
    for (int x = 0; x + 1 < side; ++x) {
      const uint16_t a = uint16_t(y * side + x), b = uint16_t(a + 1), c = uint16_t(a + side + 1),
                     d = uint16_t(a + side);
      mesh.mesh.groups[(x + y) % 2].faces.push_back(SodFace{{a, b, c}, {a, b, c}});
      mesh.mesh.groups[(x + y) % 2].faces.push_back(SodFace{{a, c, d}, {a, c, d}});
    }
  }
  s.nodes = {NullNode("root"), mesh};
  for (int h = 0; h < n % 5; ++h) s.nodes.push_back(NullNode("hp0" + std::to_string(h), "root"));
  s.nodes.push_back(EmitterNode("engine", "exhaust", "root"));
  return BuildSod(s);
}

struct Setup {
  TempDir dir;
  host::HostOptions options;
  host::Session session;
  std::vector<host::BatchFile> files;
  std::vector<host::SkippedEntry> skipped;
  std::filesystem::path start = std::filesystem::current_path();
  Setup() {
    options.pluginPath = host::Utf8ToUtf16(KVELTAR_NATIVE_PLUGIN);
    if (!host::StartSession(options, &session)) std::abort();
    std::filesystem::create_directories(dir.File("mod/sub"));
    dir.Write("mod/hull.tga", std::string{0, 0, 2, 0, 0, 0, 0, 0, 0, 0, 0, 0, 1, 0, 1, 0, 24, 0x20} + "abc");
    dir.Write("mod/sub/hull.tga", dir.Read("mod/hull.tga"));
    for (int n = 0; n < kFiles; ++n) {
      dir.Write((n % 4 == 0 ? "mod/sub/ship" : "mod/ship") + std::to_string(n) + ".sod", ShipSod(n));
    }
    std::string error;
    if (!host::CollectFiles({dir.Wide("mod")}, {u".sod"}, &files, &skipped, &error) || files.size() != kFiles)
      std::abort();
  }
  ~Setup() { std::filesystem::current_path(start); }
};

Setup& Shared() {
  static Setup setup;
  return setup;
}

// The plug-in work of one file's check: read and import with its markers extracted,
// then both exports given the extracted side files.
void PluginWorkOfFile(const host::BatchFile& file, host::TempFolder* importFolder, host::TempFolder* exportFolder) {
  importFolder->Empty();
  host::SceneDocument document;
  host::ImportAnswer answer;
  host::UiDriver driver({host::ImportDialogAnswer(answer, true)}, false);
  if (host::ImportSod(&Shared().session, Shared().options, file.path, answer, true, &driver, &document, importFolder)
          .status != host::kExitOk) {
    std::abort();
  }
  document.scene.TableCornerTexCoords();
  host::ExportAnswer exportAnswer;
  for (host::MarkerKind kind : host::kMarkerKinds) {
    if (!host::MarkersOf(document.markers, kind).empty()) {
      host::SideFileOf(exportAnswer, kind) = host::ExtractedSideFile(*importFolder, file.path, kind).u16string();
    }
  }
  exportAnswer.continueReserved = true;
  exportAnswer.snapshots = false;
  for (int game : {1, 2}) {
    exportAnswer.game = game;
    if (host::ExportSod(&Shared().session, Shared().options, &document, exportFolder->File(u"check.sod").u16string(),
                        exportAnswer, false)
            .status != host::kExitOk) {
      std::abort();
    }
  }
}

void PluginWorkFolder(benchmark::State& state) {
  host::TempFolder importFolder, exportFolder;
  for (auto _ : state) {
    for (const host::BatchFile& file : Shared().files) PluginWorkOfFile(file, &importFolder, &exportFolder);
  }
}

void CheckFolder(benchmark::State& state) {
  for (auto _ : state) {
    host::ModChecker checker(&Shared().session, Shared().options, host::CheckOptions{});
    for (const host::BatchFile& file : Shared().files) {
      if (checker.Check(file.path).Count(host::Severity::kError) != 0) std::abort();
    }
  }
}

void SingleConversions(benchmark::State& state) {
  for (auto _ : state) {
    for (const host::BatchFile& file : Shared().files) {
      host::ConversionRequest request;
      request.input = file.path;
      // Each to a file of its own, as the batch writes them.
      std::filesystem::path output = Shared().dir.File("single") / std::filesystem::path(file.relative);
      std::filesystem::create_directories(output.parent_path());
      request.output = output.replace_extension(".glb").u16string();
      host::Conversion conversion;
      if (host::Convert(&Shared().session, Shared().options, request, &conversion) != host::kExitOk) std::abort();
    }
  }
}

void BatchConvert(benchmark::State& state) {
  for (auto _ : state) {
    std::vector<host::BatchFile> files;
    std::vector<host::SkippedEntry> skipped;
    std::vector<host::BatchResult> results;
    std::string error;
    if (!host::CollectFiles({Shared().dir.Wide("mod")}, {u".sod"}, &files, &skipped, &error) ||
        host::ConvertBatch(&Shared().session, Shared().options, host::ConversionRequest{}, files, u".glb",
                           Shared().dir.Wide("out"), nullptr, &results) != 0) {
      std::abort();
    }
  }
}

BENCHMARK(PluginWorkFolder)->Unit(benchmark::kMillisecond);
BENCHMARK(CheckFolder)->Unit(benchmark::kMillisecond);
BENCHMARK(SingleConversions)->Unit(benchmark::kMillisecond);
BENCHMARK(BatchConvert)->Unit(benchmark::kMillisecond);

}  // namespace

int main(int argc, char** argv) {
  host::KeepFreedMemoryForNextFiles();  // as kveltar-host runs
  benchmark::Initialize(&argc, argv);
  RatioReporter reporter;
  benchmark::RunSpecifiedBenchmarks(&reporter);
  reporter.PrintRatio("mod folder of 200 SOD files: check / its plug-in work as separate calls", "CheckFolder",
                      "PluginWorkFolder");
  reporter.PrintRatio("mod folder of 200 SOD files: batch convert / 200 single conversions", "BatchConvert",
                      "SingleConversions");
  benchmark::Shutdown();
  return 0;
}
