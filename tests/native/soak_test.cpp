// Long runs of the native plug-in module as the host drives it: thousands of
// read/import and export/write cycles in one process, and the module unloaded and
// loaded again with a filled imported model. The live heap after a warm-up and after
// the last cycle must agree within a few bytes per thousand cycles, and in the
// sanitizer build LeakSanitizer checks at exit that nothing was lost.
#include <dlfcn.h>
#include <gtest/gtest.h>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <filesystem>
#include <string>
#include <vector>

#include "interface/host_scene.h"
#include "interface/plugin_loader.h"
#include "interface/ui_driver.h"
#include "native/live_heap.h"
#include "platform/native/ui_standin.h"
#include "resource_ids.h"
#include "sample/frigate_sample.h"
#include "support/operation_fixture.h"
#include "support/ui_script.h"
#include "support/ui_snapshot.h"

using fixture::BigModelSod;
using fixture::BuildExportScene;
using fixture::WriteSideTextFiles;

namespace {

constexpr int kCycles = 10000;
constexpr int kWarmUpCycles = 200;

// Growth of the live heap allowed between the warm-up and the end of a run. The
// sanitizer's allocator counts exactly: less than one byte per cycle, so a block lost
// in every cycle, however small, shows. The C library's count also holds the blocks
// parked in its per-thread caches, which come and go by some kilobytes.
size_t GrowthBound() { return UnderAddressSanitizer() ? 4096 : 65536; }

// The sanitizer adds an exit-list entry of its own, not tied to the module, to every
// one the module registers (its teardown and a destructor): 2 x 32 bytes per load.
size_t ExitListGrowth(int loads) { return UnderAddressSanitizer() ? static_cast<size_t>(loads) * 2 * 32 : 0; }

// The soak writes tens of thousands of files: a memory-backed file system, where
// there is one, keeps the disk's flushes on replace out of the run time.
std::filesystem::path SoakDirectoryParent() {
  std::error_code error;
  if (std::filesystem::is_directory("/dev/shm", error)) return "/dev/shm";
  return std::filesystem::temp_directory_path();
}

const char16_t kPluginPath[] = u"" KVELTAR_NATIVE_PLUGIN;

// The plug-in module loaded with dlopen and described, as the modelling host does.
class LoadedModule {
 public:
  LoadedModule() {
    std::string error;
    if (!host::LoadPlugin(kPluginPath, &plugin_, &error)) {
      error_ = error;
      return;
    }
    operation_ = host::ConnectPlugin(plugin_, nullptr, &error);
    if (operation_ == nullptr) error_ = error;
  }
  ~LoadedModule() { host::UnloadPlugin(&plugin_); }
  LoadedModule(const LoadedModule&) = delete;
  LoadedModule& operator=(const LoadedModule&) = delete;

  bool Ready() const { return operation_ != nullptr; }
  const std::string& Error() const { return error_; }
  int32_t Run(uint32_t code, host::HostScene& scene) { return operation_(code, scene.Context(), plugin_.module, 0); }

 private:
  host::LoadedPlugin plugin_;
  host::OperationProcFn operation_ = nullptr;
  std::string error_;
};

// True while the dynamic loader still holds the plug-in module.
bool ModuleStillLoaded() {
  void* handle = dlopen(KVELTAR_NATIVE_PLUGIN, RTLD_LAZY | RTLD_NOLOAD);
  if (handle == nullptr) return false;
  dlclose(handle);
  return true;
}

using ui_script::BoxAnswer;
using ui_script::Click;
using ui_script::DialogAnswer;
using ui_script::SetCheck;
using ui_script::SetText;

// Every box of the import dialog set, so that no cycle depends on the choices the
// module kept from the one before.
std::vector<host::UiAction> ImportChoices(int extract, int convert) {
  return {Click(IDC_IMPORT_SELECT_ALL),
          SetCheck(IDC_IMPORT_EXTRACT_HARDPOINTS, extract),
          SetCheck(IDC_IMPORT_EXTRACT_EMITTERS, extract),
          SetCheck(IDC_IMPORT_EXTRACT_SPRITES, extract),
          SetCheck(IDC_IMPORT_CONVERT_HARDPOINTS, convert),
          SetCheck(IDC_IMPORT_CONVERT_EMITTERS, convert),
          SetCheck(IDC_IMPORT_CONVERT_SPRITES, convert)};
}

// What a cycle left in the host's scene.
struct SceneOutcome {
  int32_t first = -1;   // the read or the export
  int32_t second = -1;  // the import or the write (-1: not run)
  int materials = 0, vertices = 0, parts = 0, sets = 0;
  bool finished = false;
  std::u16string errorText;
  bool operator==(const SceneOutcome& o) const {
    return first == o.first && second == o.second && materials == o.materials && vertices == o.vertices &&
           parts == o.parts && sets == o.sets && finished == o.finished && errorText == o.errorText;
  }
};

// The most the heap held while a cycle's scene and the module's data were alive.
size_t busiestHeap = 0;

SceneOutcome Outcome(host::HostScene& scene, int32_t first, int32_t second) {
  busiestHeap = std::max(busiestHeap, LiveHeapBytes());
  SceneOutcome o;
  o.first = first;
  o.second = second;
  o.materials = scene.MaterialCount();
  o.vertices = scene.VertexCount();
  o.parts = scene.PartCount();
  o.sets = scene.PolygonSetCount();
  o.finished = scene.Finished();
  o.errorText = scene.ErrorTextWide();
  return o;
}

// One kind of read/import cycle: the file read and how the dialog is answered.
struct ImportCycle {
  const char* what;
  const char* file;
  int extract, convert;
  int button;
  SceneOutcome expected;
};

const ImportCycle kImportCycles[] = {
    // Every mesh, the side files written, the markers built: 4 boxes and 5 quads.
    {"everything", "frigate.sod", 1, 1, IDOK, {1, 1, 3, 52, 9, 9, true, u""}},
    {"meshes only", "frigate.sod", 0, 0, IDOK, {1, 1, 3, 32, 4, 4, true, u""}},
    {"cancelled", "frigate.sod", 1, 1, IDCANCEL, {1, 2, 0, 0, 0, 0, false, u""}},
    // A file cut short fails to read; the import that follows finds an empty model.
    {"damaged file", "damaged.sod", 1, 1, IDOK, {0, 1, 0, 0, 0, 0, true, u""}},
};

SceneOutcome RunImportCycle(LoadedModule& module, const TempDir& dir, const ImportCycle& c) {
  host::HostScene scene;
  scene.SetFilePath(dir.Wide(c.file));
  int32_t read = module.Run(host::kOperationRead, scene);
  int32_t imported;
  {
    host::UiDriver driver({DialogAnswer(u"Import ST Armada Model", ImportChoices(c.extract, c.convert), c.button)},
                          false);
    scene.SetOwnerWindow(driver.OwnerWindow());
    imported = driver.Run([&] { return module.Run(host::kOperationImport, scene); });
  }
  return Outcome(scene, read, imported);
}

// One kind of export/write cycle: how the warning and the dialog are answered and
// where the file goes.
struct ExportCycle {
  const char* what;
  int game;
  int sideFiles;
  int button;
  const char* target;
  int32_t exported, written;
};

const ExportCycle kExportCycles[] = {
    {"ST Armada 2 with side files", IDC_EXPORT_ARMADA2, 1, IDOK, "ship.sod", 1, 1},
    {"ST Armada 1 without side files", IDC_EXPORT_ARMADA1, 0, IDOK, "ship.sod", 1, 1},
    {"cancelled", IDC_EXPORT_ARMADA2, 1, IDCANCEL, "ship.sod", 2, -1},
    {"target that cannot be opened", IDC_EXPORT_ARMADA1, 1, IDOK, "missing/ship.sod", 1, 0},
};

SceneOutcome RunExportCycle(LoadedModule& module, const TempDir& dir, const ExportCycle& c) {
  host::HostScene scene;
  // A reserved material name brings the warning, answered OK.
  BuildExportScene(scene, u"hp_mount");
  const host::UiAnswer warning = BoxAnswer(u"Warning", IDOK);
  std::vector<host::UiAction> choices = {Click(c.game),
                                         SetCheck(IDC_EXPORT_MATERIALS, 1),
                                         SetCheck(IDC_EXPORT_HARDPOINT_FILE, c.sideFiles),
                                         SetCheck(IDC_EXPORT_EMITTER_FILE, c.sideFiles),
                                         SetCheck(IDC_EXPORT_SPRITE_FILE, c.sideFiles),
                                         SetText(IDC_EXPORT_HARDPOINT_PATH, dir.Wide("in_hps.txt")),
                                         SetText(IDC_EXPORT_EMITTER_PATH, dir.Wide("in_ems.txt")),
                                         SetText(IDC_EXPORT_SPRITE_PATH, dir.Wide("in_sps.txt"))};
  int32_t exported;
  {
    host::UiDriver driver({warning, DialogAnswer(u"Export SOD Model", choices, c.button)}, false);
    scene.SetOwnerWindow(driver.OwnerWindow());
    exported = driver.Run([&] { return module.Run(host::kOperationExport, scene); });
  }
  int32_t written = -1;
  if (exported == 1) {
    scene.SetFilePath(dir.Wide(c.target));
    written = module.Run(host::kOperationWrite, scene);
  }
  return Outcome(scene, exported, written);
}

// The import build makes the SOD file's folder current; the test leaves it again.
class Soak : public testing::Test {
 protected:
  void SetUp() override { directory_ = std::filesystem::current_path(); }
  void TearDown() override {
    std::filesystem::current_path(directory_);
    StandinResetDesktop();
  }

 private:
  std::filesystem::path directory_;
};

}  // namespace

TEST_F(Soak, ReadImportAndExportWriteCyclesKeepTheHeapFlat) {
  TempDir dir(SoakDirectoryParent());
  const std::string sample = sample::FrigateSampleSod();
  dir.Write("frigate.sod", sample);
  dir.Write("damaged.sod", sample.substr(0, sample.size() / 2));
  WriteSideTextFiles(dir);
  LoadedModule module;
  ASSERT_TRUE(module.Ready()) << module.Error();

  const auto start = std::chrono::steady_clock::now();
  size_t warm = 0;
  std::string armada1Sod;
  for (int cycle = 0; cycle < kCycles; ++cycle) {
    const ImportCycle& i = kImportCycles[cycle % 4];
    SceneOutcome imported = RunImportCycle(module, dir, i);
    ASSERT_TRUE(imported == i.expected) << i.what << " in cycle " << cycle << ": read " << imported.first << ", import "
                                        << imported.second << ", " << imported.parts << " parts";
    const ExportCycle& e = kExportCycles[cycle % 4];
    SceneOutcome exported = RunExportCycle(module, dir, e);
    ASSERT_EQ(e.exported, exported.first) << e.what << " in cycle " << cycle;
    ASSERT_EQ(e.written, exported.second) << e.what << " in cycle " << cycle;
    if (cycle == 1) armada1Sod = dir.Read("ship.sod");
    if (cycle == kWarmUpCycles) warm = LiveHeapBytes();
  }
  const size_t end = LiveHeapBytes();
  const double seconds = std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();

  // The last file written is the same as the first of its kind, and no temporary
  // file was left behind by any cycle.
  EXPECT_EQ(armada1Sod, dir.Read("ship.sod"));
  std::vector<std::string> names;
  for (const auto& entry : std::filesystem::directory_iterator(dir.Path()))
    names.push_back(entry.path().filename().string());
  std::sort(names.begin(), names.end());
  EXPECT_EQ((std::vector<std::string>{"damaged.sod", "frigate.sod", "frigate_ems.txt", "frigate_hps.txt",
                                      "frigate_sps.txt", "in_ems.txt", "in_hps.txt", "in_sps.txt", "ship.sod"}),
            names);
  std::printf("soak: %d read/import and %d export/write cycles in %.1f s%s\n", kCycles, kCycles, seconds,
              UnderAddressSanitizer() ? " (AddressSanitizer)" : "");
  std::printf(
      "soak: live heap %zu bytes after %d cycles, %zu at the end, %zu at most within a cycle; peak resident "
      "%ld KiB\n",
      warm, kWarmUpCycles, end, busiestHeap, PeakResidentKiB());
  RecordProperty("live_heap_after_warm_up", static_cast<int>(warm));
  RecordProperty("live_heap_at_end", static_cast<int>(end));
  EXPECT_LE(end, warm + GrowthBound()) << "the heap grew by " << end - warm << " bytes";
  EXPECT_EQ(0, LostBlocksNow());
}

TEST_F(Soak, UnloadingWithAFilledModelFreesIt) {
  constexpr int kReloads = 150;
  constexpr int kWarmUpReloads = 10;
  TempDir dir;
  dir.Write("big.sod", BigModelSod());
  ASSERT_FALSE(ModuleStillLoaded());
  size_t warm = 0, peak = 0;
  for (int i = 0; i < kReloads; ++i) {
    {
      LoadedModule module;
      ASSERT_TRUE(module.Ready()) << module.Error();
      host::HostScene scene;
      scene.SetFilePath(dir.Wide("big.sod"));
      ASSERT_EQ(1, module.Run(host::kOperationRead, scene)) << i;
      peak = std::max(peak, LiveHeapBytes());
    }
    // Unloaded for real: the next load starts from the module's load-time state.
    ASSERT_FALSE(ModuleStillLoaded()) << i;
    if (i == kWarmUpReloads) warm = LiveHeapBytes();
  }
  const size_t end = LiveHeapBytes();
  std::printf(
      "reload: %d loads and unloads with a filled model; live heap %zu bytes after %d, %zu at the end, "
      "%zu at most with a model\n",
      kReloads, warm, kWarmUpReloads, end, peak);
  // A model lost at unload would add 2.4 MB per load.
  EXPECT_LE(end, warm + GrowthBound() + ExitListGrowth(kReloads - kWarmUpReloads))
      << "the heap grew by " << end - warm << " bytes";
  EXPECT_EQ(0, LostBlocksNow());
}

TEST_F(Soak, AReloadedModuleStartsWithItsLoadTimeOptions) {
  std::vector<host::Json> shown;
  for (int load = 0; load < 2; ++load) {
    LoadedModule module;
    ASSERT_TRUE(module.Ready()) << module.Error();
    host::HostScene scene;
    BuildExportScene(scene, u"hp_mount");
    const host::UiAnswer warning = BoxAnswer(u"Warning", IDOK);
    host::UiDriver driver({warning, DialogAnswer(u"Export SOD Model",
                                                 {Click(IDC_EXPORT_ARMADA2), SetCheck(IDC_EXPORT_MATERIALS, 0),
                                                  SetCheck(IDC_EXPORT_HARDPOINT_FILE, 1)},
                                                 IDOK)},
                          false);
    scene.SetOwnerWindow(driver.OwnerWindow());
    ASSERT_EQ(1, driver.Run([&] { return module.Run(host::kOperationExport, scene); }));
    ASSERT_EQ(2u, driver.Records().size());
    shown.push_back(driver.Records()[1].snapshots.at(0));
  }
  StandinResetDesktop();
  // Both loads opened the dialog as at load time ("ST Armada 1", materials on, no
  // text file), although the first load's choices were the opposite.
  EXPECT_EQ(shown[0], shown[1]);
  EXPECT_EQ(1, FindControl(shown[0], IDC_EXPORT_ARMADA1).checked);
  EXPECT_EQ(1, FindControl(shown[0], IDC_EXPORT_MATERIALS).checked);
  EXPECT_EQ(0, FindControl(shown[0], IDC_EXPORT_HARDPOINT_FILE).checked);
}
