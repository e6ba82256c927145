// The speed of the plug-in's file operations, as ratios against baselines timed in
// the same process. Built natively and for Windows (run under Wine), so that both
// figures come from the same code:
//   the write operation on the largest legal single mesh (65535 faces) against one
//   fwrite of the same bytes to a new file beside the target, closed and moved over it;
//   the write operation on 20,000 materials of 3 faces against one material of 60,000
//   faces: the time per face, since both hold the same faces;
//   the read operation on the largest legal mesh against one fread of its file and
//   one copy of its bytes: called directly, and, given the plug-in module as the
//   argument, through the loaded module's PluginProc as a host calls it.
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>

#include "bench_models.h"
#include "common/dual_string.h"
#include "common/memory.h"
#include "interface/host_session.h"
#include "interface/host_text.h"
#include "platform/file_system.h"
#include "plugin/operations.h"
#include "plugin/plugin_state.h"
#include "sod/imported_model.h"
#include "stopwatch.h"
#include "support/temp_dir.h"

namespace {

void Stop(const char* what) {
  std::fprintf(stderr, "speed ratios: %s\n", what);
  std::exit(1);
}

// A host scene with its write target in `dir`.
struct ExportCase {
  host::HostScene scene;
  HostContext* Context() { return static_cast<HostContext*>(scene.Context()); }
  void Write() {
    currentContext = Context();
    if (WriteSodFile(Context()) != 1) Stop("the write operation failed");
  }
};

void WriteLargestMesh(const TempDir& dir) {
  ExportCase largest;
  bench::BuildGridScene(largest.scene, 65535, 1, [](int) { return 0; });
  largest.scene.SetFilePath(dir.Wide("largest.sod"));
  largest.Write();
  const std::string bytes = dir.Read("largest.sod");
  const std::u16string temporary = dir.Wide("plain.tmp"), target = dir.Wide("plain.sod");
  stopwatch::PrintRatio(
      "largest single mesh (65535 faces): write operation / fwrite to a new file and replace", [&] { largest.Write(); },
      [&] {
        FILE* file = CreateNewFileWide(temporary.c_str());
        if (file == nullptr || std::fwrite(bytes.data(), 1, bytes.size(), file) != bytes.size()) Stop("plain write");
        if (std::fclose(file) != 0 || !ReplaceFileWide(temporary.c_str(), target.c_str())) Stop("plain replace");
      });
}

void WriteManyMaterials(const TempDir& dir) {
  constexpr int kFaces = 60000;
  ExportCase many, one;
  bench::BuildGridScene(many.scene, kFaces, kFaces / 3, [](int f) { return f / 3; });
  bench::BuildGridScene(one.scene, kFaces, 1, [](int) { return 0; });
  many.scene.SetFilePath(dir.Wide("many.sod"));
  one.scene.SetFilePath(dir.Wide("one.sod"));
  const double ratio = stopwatch::PrintRatio(
      "20,000 materials of 3 faces / one material of 60,000 faces: write time per face", [&] { many.Write(); },
      [&] { one.Write(); });
  // The many meshes make a larger file: each has its node, material entry and vertices.
  const double bytes =
      static_cast<double>(dir.Read("many.sod").size()) / static_cast<double>(dir.Read("one.sod").size());
  std::printf("  the same per byte written (%.2f times the bytes) = %7.3f\n", bytes, ratio / bytes);
}

// One fread of the whole file into one buffer and one copy of it.
void PlainRead(const std::u16string& path) {
  FILE* file = OpenFileWide(path.c_str(), "rb");
  const int64_t size = StreamSizeBySeeking(file);
  if (size <= 0 || std::fseek(file, 0, SEEK_SET) != 0) Stop("plain read");
  char* bytes = static_cast<char*>(AllocZeroed(static_cast<size_t>(size), 1));
  char* copy = static_cast<char*>(AllocZeroed(static_cast<size_t>(size), 1));
  if (std::fread(bytes, 1, static_cast<size_t>(size), file) != static_cast<size_t>(size)) Stop("plain read");
  std::fclose(file);
  std::memcpy(copy, bytes, static_cast<size_t>(size));
  if (copy[0] != 'S') Stop("plain read");
  FreeMemory(bytes);
  FreeMemory(copy);
}

void ReadLargestMesh(const TempDir& dir) {
  dir.Write("read.sod", bench::LargestMeshSod());
  const std::u16string path = dir.Wide("read.sod");
  HostContext context = {};
  DualStringSetWide(&context.filePath, path.c_str());
  stopwatch::PrintRatio(
      "largest mesh (65535 vertices and faces): read operation / fread of the file and a copy",
      [&] {
        if (ReadSodFile(&context) != 1) Stop("the read operation failed");
      },
      [&] { PlainRead(path); });
  ResetImport(&importedModel, &readerCursor);
}

// The same read through the loaded plug-in module's PluginProc, with the host's scene.
void ReadLargestMeshThroughModule(const TempDir& dir, const char* module) {
  host::HostOptions options;
  options.pluginPath = host::Utf8ToUtf16(module);
  host::Session session;
  if (!host::StartSession(options, &session)) Stop("the plug-in module does not load");
  const std::u16string path = dir.Wide("read.sod");
  host::HostScene scene;
  scene.SetFilePath(path);
  stopwatch::PrintRatio(
      "largest mesh: the module's read operation (PluginProc) / fread of the file and a copy",
      [&] {
        if (session.Run(host::kOperationRead, &scene) != 1) Stop("the module's read operation failed");
      },
      [&] { PlainRead(path); });
}

}  // namespace

int main(int argc, char** argv) {
  TempDir dir;
  std::printf("Speed ratios (median time / median time of the baseline, timed in alternating rounds):\n");
  WriteLargestMesh(dir);
  WriteManyMaterials(dir);
  ReadLargestMesh(dir);
  if (argc > 1) ReadLargestMeshThroughModule(dir, argv[1]);
  return 0;
}
