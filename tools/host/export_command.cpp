// kveltar-host export IN.obj OUT.sod: opens a Wavefront OBJ scene, runs the plug-in's
// export operation (checks and dialog) and, when the user confirmed, its write
// operation. The dialog and the message boxes are answered from the command line by
// working their controls, or left to the user with --interactive.
#include <cstdio>

#include "host_commands.h"
#include "host_text.h"
#include "obj_scene_reader.h"
#include "ui_driver.h"

namespace host {

namespace {

// Control ids of the export dialog, as its template numbers them.
constexpr int kGameArmada1 = 1000;
constexpr int kGameArmada2 = 1001;
constexpr int kExportMaterials = 1011;
constexpr int kHardpointPath = 1012;
constexpr int kSpritePath = 1013;
constexpr int kEmitterPath = 1014;
constexpr int kHardpointBox = 1015;
constexpr int kSpriteBox = 1016;
constexpr int kEmitterBox = 1017;

void SideFileActions(const HostOptions& options, const char* option, int box, int edit, UiAnswer* dialog) {
  bool used = options.Has(option);
  dialog->actions.push_back({UiAction::kSetCheck, box, used ? 1 : 0, 0, u""});
  if (used) dialog->actions.push_back({UiAction::kSetText, edit, 0, 0, AbsolutePath(options.Value(option))});
}

// An error box is answered with OK, the reserved-name warning as --continue-reserved
// says, and the dialog with the options' choices and OK. The boxes may not come.
std::vector<UiAnswer> AnswersFrom(const HostOptions& options) {
  UiAnswer error;
  error.messageBox = true;
  error.optional = true;
  error.caption = u"Error";
  error.button = 1;
  UiAnswer warning = error;
  warning.caption = u"Warning";
  warning.button = options.Has("--continue-reserved") ? 1 : 2;
  UiAnswer dialog;
  dialog.button = 1;
  int game = options.Value("--game", u"1") == u"2" ? kGameArmada2 : kGameArmada1;
  dialog.actions.push_back({UiAction::kClick, game, 0, 0, u""});
  dialog.actions.push_back({UiAction::kSetCheck, kExportMaterials, options.Has("--no-materials") ? 0 : 1, 0, u""});
  SideFileActions(options, "--hardpoints", kHardpointBox, kHardpointPath, &dialog);
  SideFileActions(options, "--emitters", kEmitterBox, kEmitterPath, &dialog);
  SideFileActions(options, "--sprites", kSpriteBox, kSpritePath, &dialog);
  dialog.actions.push_back({UiAction::kSnapshot, 0, 0, 0, u""});
  return {error, warning, dialog};
}

void PrintResult(bool json, int32_t exported, int32_t written, const HostScene& scene, const UiDriver& driver) {
  std::string error = Utf16ToUtf8(scene.ErrorTextWide());
  if (json) {
    std::printf("{\"export\":%d,\"write\":%d,\"errorText\":%s,\"ui\":%s}\n", exported, written,
                JsonQuote(error).c_str(), driver.RecordsJson().c_str());
    return;
  }
  std::printf("export: %d\n", exported);
  if (exported == 1) std::printf("write: %d\n", written);
  if (exported == 1 && written != 1) std::printf("errorText: %s\n", JsonQuote(error).c_str());
}

}  // namespace

int CommandExport(const HostOptions& options) {
  std::u16string game = options.Value("--game", u"1");
  if (options.positional.size() != 2 || (game != u"1" && game != u"2")) {
    std::fprintf(stderr,
                 "usage: kveltar-host export IN.obj OUT.sod [--game 1|2] [--no-materials] [--hardpoints FILE]\n"
                 "       [--emitters FILE] [--sprites FILE] [--continue-reserved] [--interactive] [--json]\n");
    return kExitUsage;
  }
  Session session;
  if (!StartSession(options, &session)) return kExitUsage;
  HostScene scene;
  std::string error;
  if (!ReadObjScene(AbsolutePath(options.positional[0]), &scene, &error)) {
    std::fprintf(stderr, "kveltar-host: %s\n", error.c_str());
    return kExitUsage;
  }
  scene.SetFilePath(AbsolutePath(options.positional[1]));
  ApplyFailures(options, &scene);
  UiDriver driver(AnswersFrom(options), options.Has("--interactive"));
  scene.SetOwnerWindow(driver.OwnerWindow());
  int32_t exported = driver.Run([&] { return session.Run(kOperationExport, &scene); });
  int32_t written = exported == 1 ? session.Run(kOperationWrite, &scene) : 0;
  PrintResult(options.Has("--json"), exported, written, scene, driver);
  int status = exported == 2 ? kExitStopped : exported == 1 && written == 1 ? kExitOk : kExitFailed;
  return FinalStatus(scene, status);
}

}  // namespace host
