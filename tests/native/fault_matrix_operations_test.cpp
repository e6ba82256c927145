// The fault matrix of the dialog operations, on the stand-in desktop: every host
// service failing at each of its calls during an import (read, dialog, side files,
// scene build) and during an export (checks, dialog, write), and every allocation of
// the import and of the export checks. A clean run lists the calls first; each case
// then ends with the result the operation documents for that service.
#include <gtest/gtest.h>

#include <algorithm>
#include <cstdio>
#include <map>
#include <string>
#include <utility>
#include <vector>

#include "platform/win32_api.h"
#include "resource_ids.h"
#include "support/operation_fixture.h"
#include "support/ui_script.h"
#include "support/written_sod.h"

using namespace fixture;

namespace {

using ui_script::Click;
using ui_script::SetCheck;
using ui_script::SetText;

host::UiAnswer DialogAnswer(const char16_t* caption, std::vector<host::UiAction> actions) {
  return ui_script::DialogAnswer(caption, std::move(actions), IDOK);
}

// A call of the clean run, as the n-th call of its service.
struct Call {
  std::string service;
  long nth;
  size_t index;  // position in the clean run's log
};

std::vector<Call> CallsOf(const std::vector<std::string>& log) {
  std::vector<Call> calls;
  std::map<std::string, long> seen;
  for (size_t i = 0; i < log.size(); ++i) calls.push_back({log[i], ++seen[log[i]], i});
  return calls;
}

// What a failed service leads to.
enum Effect {
  kStops,           // the operation ends at this call with its failure result
  kGoesOn,          // every later call is made as in the clean run
  kTextureMissing,  // import: one map fewer; write: one mesh without its texture name
  kFallbackAsked,   // export: the material query's fallback is called, then as in the clean run
};

// --- Import ---------------------------------------------------------------------

struct ImportRow {
  const char* service;
  int32_t result;
  Effect effect;
  const char* documented;
};

const ImportRow kImportRows[] = {
    {"GetOwnerWindow", 1, kGoesOn, "the dialog opens without an owner"},
    {"CreateMaterial", 0, kStops, "the build stops; what was made stays"},
    {"AcquireMap", 1, kTextureMissing, "that material has no texture; the build goes on"},
    {"AllocateVertices", 0, kStops, "the build stops"},
    {"CreatePart", 0, kStops, "the build stops"},
    {"CreatePolygonSet", 0, kStops, "the build stops"},
    {"AllocTriangles", 0, kStops, "the build stops"},
    {"AllocPolygons", 0, kStops, "the build stops"},
    {"SetCornerCount", 0, kStops, "the build stops"},
    {"FinishBuild", 1, kGoesOn, "its answer is not looked at"},
};

const ImportRow* ImportRowOf(const std::string& service) {
  for (const ImportRow& row : kImportRows) {
    if (service == row.service) return &row;
  }
  return nullptr;
}

struct ImportRun {
  int32_t read = -1, imported = -1;
  std::vector<std::string> log;
  int maps = 0;
  bool ownedDialog = false;
  std::string sideFiles;
  long allocations = 0;
  bool traps = false;
};

int MapsWithFiles(host::HostScene& scene) {
  int maps = 0;
  for (int m = 0; m < scene.MaterialCount(); ++m) {
    for (int index : {0, 2}) maps += scene.MaterialMap(m, index) != nullptr ? 1 : 0;
  }
  return maps;
}

// Reads the model and imports it with every mesh, every side file and every marker
// quad; `failure` names a service call to fail, `allocation` an allocation of the
// import to fail (0: none).
ImportRun RunImportFlow(const Call* failure, long allocation) {
  StateGuard guard;
  TempDir dir;
  dir.Write("ship.sod", ModelSod());
  host::HostScene scene;
  if (failure != nullptr) scene.FailService(failure->service, failure->nth);
  scene.SetFilePath(dir.Wide("ship.sod"));
  ImportRun run;
  run.read = RunOperation(PLUGIN_OP_READ, scene);
  host::UiDriver driver({DialogAnswer(u"Import ST Armada Model",
                                      {Click(IDC_IMPORT_SELECT_ALL), SetCheck(IDC_IMPORT_EXTRACT_HARDPOINTS),
                                       SetCheck(IDC_IMPORT_EXTRACT_EMITTERS), SetCheck(IDC_IMPORT_EXTRACT_SPRITES),
                                       SetCheck(IDC_IMPORT_CONVERT_HARDPOINTS), SetCheck(IDC_IMPORT_CONVERT_EMITTERS),
                                       SetCheck(IDC_IMPORT_CONVERT_SPRITES)})},
                        false);
  scene.SetOwnerWindow(driver.OwnerWindow());
  const long before = AllocationsMade();
  SetAllocationFailure(allocation);
  run.imported = driver.Run([&] { return RunOperation(PLUGIN_OP_IMPORT, scene); });
  SetAllocationFailure(0);
  run.allocations = AllocationsMade() - before;
  run.log = scene.CallLog();
  run.maps = MapsWithFiles(scene);
  run.ownedDialog = !driver.Records().empty() && driver.Records()[0].ownerIsHostWindow;
  run.sideFiles = dir.Read("ship_hps.txt") + dir.Read("ship_ems.txt") + dir.Read("ship_sps.txt");
  run.traps = !scene.Traps().empty();
  // On every way out the import releases the model.
  EXPECT_TRUE(ModelReleased());
  return run;
}

// --- Export ---------------------------------------------------------------------

enum Phase { kChecks, kWrite };

struct ExportRow {
  const char* service;
  Phase phase;
  int32_t exported;
  int32_t written;  // -1: the host does not write
  Effect effect;
  const char* documented;
};

const ExportRow kExportRows[] = {
    {"Triangulate", kChecks, 0, -1, kStops, "\"Failed to triangulate geometry.\", 0"},
    {"UpdateGeometry", kChecks, 1, 1, kGoesOn, "its answer is not looked at"},
    {"FindMap", kChecks, 1, 1, kGoesOn, "its answer is not looked at"},
    {"MaterialQuery", kChecks, 1, 1, kFallbackAsked, "the fallback is asked next"},
    {"MaterialQueryFallback", kChecks, 1, 1, kGoesOn, "its answer is not looked at"},
    {"GetOwnerWindow", kChecks, 1, 1, kGoesOn, "the dialog opens without an owner"},
    {"FindMap", kWrite, 1, 1, kTextureMissing, "no map: that mesh is written without a texture name"},
};

const ExportRow* ExportRowOf(const std::string& service, Phase phase) {
  for (const ExportRow& row : kExportRows) {
    if (service == row.service && phase == row.phase) return &row;
  }
  return nullptr;
}

struct ExportRun {
  int32_t exported = -1, written = -1;
  std::vector<std::string> log;
  size_t checkCalls = 0;  // calls made by the export operation, before the write
  std::vector<std::u16string> messages;
  bool ownedDialog = false;
  std::string sod;
  long allocations = 0;
  bool traps = false;
};

// Exports the ship with "ST Armada 2", materials and the three side text files, and
// writes it when the export says so. `failures` are service calls to fail.
ExportRun RunExportFlow(const std::vector<std::pair<std::string, long>>& failures, long allocation) {
  StateGuard guard;
  TempDir dir;
  WriteSideTextFiles(dir);
  host::HostScene scene;
  BuildExportScene(scene);
  for (const auto& f : failures) scene.FailService(f.first, f.second);
  host::UiDriver driver(
      {DialogAnswer(u"Export SOD Model",
                    {Click(IDC_EXPORT_ARMADA2), SetCheck(IDC_EXPORT_MATERIALS), SetCheck(IDC_EXPORT_HARDPOINT_FILE),
                     SetCheck(IDC_EXPORT_EMITTER_FILE), SetCheck(IDC_EXPORT_SPRITE_FILE),
                     SetText(IDC_EXPORT_HARDPOINT_PATH, dir.Wide("in_hps.txt")),
                     SetText(IDC_EXPORT_EMITTER_PATH, dir.Wide("in_ems.txt")),
                     SetText(IDC_EXPORT_SPRITE_PATH, dir.Wide("in_sps.txt"))})},
      false);
  scene.SetOwnerWindow(driver.OwnerWindow());
  ExportRun run;
  const long before = AllocationsMade();
  SetAllocationFailure(allocation);
  run.exported = driver.Run([&] { return RunOperation(PLUGIN_OP_EXPORT, scene); });
  SetAllocationFailure(0);
  run.allocations = AllocationsMade() - before;
  run.checkCalls = scene.CallLog().size();
  for (const host::UiRecord& r : driver.Records()) {
    if (r.kind == "message box") run.messages.push_back(r.text);
    if (r.kind == "dialog") run.ownedDialog = r.ownerIsHostWindow;
  }
  if (run.exported == 1) {
    scene.SetFilePath(dir.Wide("out.sod"));
    run.written = RunOperation(PLUGIN_OP_WRITE, scene);
    run.sod = dir.Read("out.sod");
    EXPECT_TRUE(TextListsReleased());
  }
  run.log = scene.CallLog();
  run.traps = !scene.Traps().empty();
  return run;
}

std::vector<std::string> MeshTextures(const std::string& sod) {
  std::vector<std::string> textures;
  for (const WrittenNode& node : ParseWrittenSod(sod).nodes) {
    if (node.kind == 1) textures.push_back(node.texture);
  }
  return textures;
}

}  // namespace

TEST(FaultMatrixOperations, EveryHostServiceFailingAtEachCallOfAnImport) {
  const ImportRun clean = RunImportFlow(nullptr, 0);
  ASSERT_EQ(1, clean.read);
  ASSERT_EQ(1, clean.imported);
  ASSERT_EQ("FinishBuild", clean.log.back());
  ASSERT_TRUE(clean.ownedDialog);
  ASSERT_FALSE(clean.sideFiles.empty());
  for (const ImportRow& row : kImportRows) {
    EXPECT_NE(clean.log.end(), std::find(clean.log.begin(), clean.log.end(), row.service)) << row.service;
  }
  const std::vector<Call> calls = CallsOf(clean.log);
  for (const Call& call : calls) {
    const ImportRow* row = ImportRowOf(call.service);
    ASSERT_NE(nullptr, row) << "no documented result for " << call.service;
    SCOPED_TRACE(call.service + " call " + std::to_string(call.nth) + ": " + row->documented);
    const ImportRun run = RunImportFlow(&call, 0);
    EXPECT_EQ(1, run.read);
    EXPECT_EQ(row->result, run.imported);
    EXPECT_FALSE(run.traps);
    // The side files are written before the build, whatever the build meets.
    EXPECT_EQ(clean.sideFiles, run.sideFiles);
    if (row->effect == kStops) {
      EXPECT_EQ(std::vector<std::string>(clean.log.begin(), clean.log.begin() + call.index + 1), run.log);
      continue;
    }
    EXPECT_EQ(clean.log, run.log);
    EXPECT_EQ(clean.maps - (row->effect == kTextureMissing ? 1 : 0), run.maps) << "maps";
    EXPECT_EQ(call.service != "GetOwnerWindow", run.ownedDialog);
  }
  std::printf("fault matrix: %zu host service failures during an import\n", calls.size());
}

TEST(FaultMatrixOperations, EveryHostServiceFailingAtEachCallOfAnExport) {
  const ExportRun clean = RunExportFlow({}, 0);
  ASSERT_EQ(1, clean.exported);
  ASSERT_EQ(1, clean.written);
  ASSERT_TRUE(clean.messages.empty());
  ASSERT_TRUE(ParseWrittenSod(clean.sod).complete);
  const std::vector<std::string> cleanTextures = MeshTextures(clean.sod);
  ASSERT_EQ((std::vector<std::string>{"hull", "glow", ""}), cleanTextures);
  // The host's material query answers; refused once, the fallback is asked too, and
  // its calls are failed in a second base run.
  const std::vector<std::pair<std::string, long>> refusedQuery = {{"MaterialQuery", 1}};
  const ExportRun fallback = RunExportFlow(refusedQuery, 0);
  struct Base {
    const ExportRun* run;
    std::vector<std::pair<std::string, long>> failures;
  };
  const Base bases[] = {{&clean, {}}, {&fallback, refusedQuery}};
  std::vector<std::pair<std::string, long>> done;
  for (const Base& base : bases) {
    for (const Call& call : CallsOf(base.run->log)) {
      const std::pair<std::string, long> key(call.service, call.nth);
      if (std::find(done.begin(), done.end(), key) != done.end()) continue;
      done.push_back(key);
      const Phase phase = call.index < base.run->checkCalls ? kChecks : kWrite;
      const ExportRow* row = ExportRowOf(call.service, phase);
      ASSERT_NE(nullptr, row) << "no documented result for " << call.service << " in phase " << phase;
      SCOPED_TRACE(call.service + " call " + std::to_string(call.nth) + ": " + row->documented);
      std::vector<std::pair<std::string, long>> failures = base.failures;
      failures.push_back(key);
      const ExportRun run = RunExportFlow(failures, 0);
      EXPECT_EQ(row->exported, run.exported);
      EXPECT_EQ(row->written, run.written);
      EXPECT_FALSE(run.traps);
      if (row->effect == kStops) {
        EXPECT_EQ(std::vector<std::string>(base.run->log.begin(), base.run->log.begin() + call.index + 1), run.log);
        EXPECT_EQ(std::vector<std::u16string>{u"Failed to triangulate geometry.\t"}, run.messages);
        continue;
      }
      EXPECT_EQ(row->effect == kFallbackAsked ? fallback.log : base.run->log, run.log);
      EXPECT_TRUE(run.messages.empty());
      EXPECT_EQ(call.service != "GetOwnerWindow", run.ownedDialog);
      if (row->effect != kTextureMissing) {
        EXPECT_EQ(clean.sod, run.sod);
        continue;
      }
      // The write asks for the map of each exported material in turn, after the checks
      // asked for all of them.
      const long checkFindMaps =
          std::count(base.run->log.begin(), base.run->log.begin() + base.run->checkCalls, "FindMap");
      std::vector<std::string> textures = cleanTextures;
      textures.at(static_cast<size_t>(call.nth - checkFindMaps - 1)) = "";
      EXPECT_EQ(textures, MeshTextures(run.sod));
    }
  }
  std::printf("fault matrix: %zu host service failures during an export and its write\n", done.size());
}

// The import (dialog, side files, build) and the export checks and dialog take no
// memory through the plug-in's allocator: only the read and the write do, and their
// failures are in the file matrix. Should that change, each new allocation fails here.
TEST(FaultMatrixOperations, EveryAllocationOfTheImportAndTheExportChecks) {
  const ImportRun importClean = RunImportFlow(nullptr, 0);
  EXPECT_EQ(0, importClean.allocations);
  for (long nth = 1; nth <= importClean.allocations; ++nth) {
    const ImportRun run = RunImportFlow(nullptr, nth);
    EXPECT_EQ(0, run.imported) << nth;
  }
  const ExportRun exportClean = RunExportFlow({}, 0);
  EXPECT_EQ(0, exportClean.allocations);
  for (long nth = 1; nth <= exportClean.allocations; ++nth) {
    const ExportRun run = RunExportFlow({}, nth);
    EXPECT_EQ(2, run.exported) << nth;
  }
}
