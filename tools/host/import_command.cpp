// kveltar-host import FILE.sod: the host's whole import. It runs the plug-in's read
// operation on the file, then its import operation, answering the import dialog the
// way the command line says (or leaving it to the user), and shows the scene the
// plug-in built: as a summary, as JSON, and as an OBJ file with its materials.
#include <cstdio>
#include <cstdlib>
#include <string>
#include <vector>

#include "host_commands.h"
#include "host_layout.h"
#include "host_text.h"
#include "scene_files.h"
#include "ui_driver.h"

namespace host {

namespace {

// The import dialog as its user knows it.
const char16_t kImportCaption[] = u"Import ST Armada Model";
constexpr int kMeshList = 117;
constexpr int kImportButton = 1;
constexpr int kCancelButton = 2;
constexpr int kMaxRepeat = 100;

struct ButtonOption {
  const char* name;
  int id;
};

const ButtonOption kListButtons[] = {{"--select-all", 120}, {"--select-none", 121}, {"--invert", 122}};

const ButtonOption kBoxes[] = {{"extract-hardpoints", 1002}, {"extract-emitters", 1003},   {"extract-sprites", 1004},
                               {"convert-emitters", 1005},   {"convert-hardpoints", 1006}, {"convert-sprites", 1007}};

const char* const kOtherOptions[] = {"--plugin", "--fail",        "--fail-call", "--cancel",
                                     "--json",   "--interactive", "--obj",       "--repeat"};

// The action an option asks of the dialog; false for an option that is not a dialog
// action.
bool DialogAction(const std::string& name, const std::u16string& value, UiAction* action) {
  if (name == "--select" || name == "--deselect") {
    *action = UiAction{UiAction::kSelectText, kMeshList, name == "--select" ? 1 : 0, 0, value};
    return true;
  }
  for (const ButtonOption& button : kListButtons) {
    if (name == button.name) {
      *action = UiAction{UiAction::kClick, button.id, 0, 0, u""};
      return true;
    }
  }
  for (const ButtonOption& box : kBoxes) {
    if (name == std::string("--") + box.name || name == std::string("--no-") + box.name) {
      *action = UiAction{UiAction::kSetCheck, box.id, name[2] == 'n' ? 0 : 1, 0, u""};
      return true;
    }
  }
  return false;
}

bool IsOtherOption(const std::string& name) {
  for (const char* option : kOtherOptions) {
    if (name == option) return true;
  }
  return false;
}

// The answer to one import dialog; false after printing which option is unknown.
bool DialogAnswer(const HostOptions& options, UiAnswer* answer) {
  answer->caption = kImportCaption;
  answer->button = options.Has("--cancel") ? kCancelButton : kImportButton;
  for (const auto& option : options.sequence) {
    UiAction action;
    if (DialogAction(option.first, option.second, &action)) {
      answer->actions.push_back(action);
    } else if (!IsOtherOption(option.first)) {
      std::fprintf(stderr, "kveltar-host: import does not know %s\n", option.first.c_str());
      return false;
    }
  }
  // What the dialog shows just before it is closed.
  answer->actions.push_back(UiAction{UiAction::kSnapshot, 0, 0, 0, u""});
  return true;
}

std::string Trimmed(const std::u16string& text) {
  std::string out = Utf16ToUtf8(text);
  while (!out.empty() && (out.back() == '\n' || out.back() == '\r' || out.back() == ' ')) out.pop_back();
  return out;
}

int FaceTotal(HostScene& scene) {
  int faces = 0;
  for (int s = 0; s < scene.PolygonSetCount(); ++s) faces += scene.FaceCount(s);
  return faces;
}

void PrintSummary(HostScene& scene) {
  std::printf("scene: %d materials, %d vertices, %d parts, %d polygon sets, %d faces%s\n", scene.MaterialCount(),
              scene.VertexCount(), scene.PartCount(), scene.PolygonSetCount(), FaceTotal(scene),
              scene.Finished() ? ", finished" : ", not finished");
  for (int m = 0; m < scene.MaterialCount(); ++m) {
    uint8_t* material = scene.Material(m);
    std::printf("  material %d %s", m,
                JsonQuote(Utf16ToUtf8(layout::WideField(material, layout::kMaterialName))).c_str());
    for (int map = 0; map < 4; ++map) {
      if (const uint8_t* bytes = scene.MaterialMap(m, map)) {
        std::printf(", map %d %s", map, JsonQuote(Utf16ToUtf8(layout::WideField(bytes, layout::kMapPath))).c_str());
      }
    }
    std::printf("\n");
  }
  for (int p = 0; p < scene.PartCount(); ++p) {
    int faces = p < scene.PolygonSetCount() ? scene.FaceCount(p) : 0;
    std::printf("  part %d %s: %d faces\n", p, JsonQuote(Utf16ToUtf8(scene.PartName(p))).c_str(), faces);
  }
}

struct RunResult {
  int32_t read = 0;
  int32_t imported = -1;  // -1: not run
  int status = kExitOk;
  std::string json;
};

RunResult ImportOnce(const HostOptions& options, Session* session, UiDriver* driver, const std::u16string& path) {
  RunResult run;
  HostScene scene;
  scene.SetFilePath(path);
  scene.SetOwnerWindow(driver->OwnerWindow());
  ApplyFailures(options, &scene);
  size_t firstRecord = driver->Records().size();
  run.read = session->Run(kOperationRead, &scene);
  std::string message = Trimmed(scene.ErrorTextWide());
  if (run.read == 1) run.imported = driver->Run([&] { return session->Run(kOperationImport, &scene); });
  bool json = options.Has("--json");
  if (!json) std::printf("read: %d\n", run.read);
  if (run.read != 1) {
    std::fprintf(stderr, "kveltar-host: the plug-in could not read %s%s%s\n", Utf16ToUtf8(path).c_str(),
                 message.empty() ? "" : ": ", message.c_str());
  } else if (!json) {
    std::printf("import: %d%s\n", run.imported, run.imported == 2 ? " (cancelled)" : "");
    PrintSummary(scene);
  }
  if (run.imported == 1 && options.Has("--obj")) {
    std::string error;
    std::u16string obj = options.Value("--obj");
    if (!WriteSceneObj(scene, obj, &error)) {
      std::fprintf(stderr, "kveltar-host: %s\n", error.c_str());
      run.status = kExitUsage;
    } else if (!json) {
      std::printf("obj: %s, %s\n", Utf16ToUtf8(obj).c_str(), Utf16ToUtf8(MaterialLibraryPath(obj)).c_str());
    }
  }
  run.json =
      "{\"read\":" + std::to_string(run.read) + ",\"errorText\":" + JsonQuote(Utf16ToUtf8(scene.ErrorTextWide())) +
      ",\"import\":" + (run.imported < 0 ? "null" : std::to_string(run.imported)) + ",\"scene\":" + SceneJson(scene) +
      ",\"ui\":" + driver->RecordsJson(firstRecord) + ",\"calls\":" + std::to_string(scene.CallCount()) + "}";
  if (run.status == kExitOk) {
    run.status = run.read != 1 || run.imported == 0 ? kExitFailed : run.imported == 2 ? kExitStopped : kExitOk;
  }
  run.status = FinalStatus(scene, run.status);
  return run;
}

}  // namespace

int CommandImport(const HostOptions& options) {
  if (options.positional.size() != 1) {
    std::fprintf(stderr, "usage: kveltar-host import FILE.sod [import options]\n");
    return kExitUsage;
  }
  long repeat = std::strtol(Utf16ToUtf8(options.Value("--repeat", u"1")).c_str(), nullptr, 10);
  UiAnswer answer;
  if (repeat < 1 || repeat > kMaxRepeat || !DialogAnswer(options, &answer)) return kExitUsage;
  Session session;
  if (!StartSession(options, &session)) return kExitUsage;
  UiDriver driver(std::vector<UiAnswer>(static_cast<size_t>(repeat), answer), options.Has("--interactive"));
  std::u16string path = AbsolutePath(options.positional[0]);
  std::string runs;
  int status = kExitOk;
  for (long r = 0; r < repeat; ++r) {
    RunResult run = ImportOnce(options, &session, &driver, path);
    runs += (r > 0 ? "," : "") + run.json;
    // A failure in any run stands; otherwise the last run's answer does.
    if (status != kExitFailed && status != kExitTrap && status != kExitUsage) status = run.status;
  }
  if (options.Has("--json")) std::printf("{\"runs\":[%s]}\n", runs.c_str());
  return status;
}

}  // namespace host
