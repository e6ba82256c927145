// kveltar-host export IN OUT.sod: opens a scene file (OBJ with its MTL library, or
// glTF), runs the plug-in's export operation (checks and dialog) and, when the user
// confirmed, its write operation. The dialog and the message boxes are answered from
// the command line by working their controls, or left to the user with --interactive.
// The scene file's hardpoints, emitters and sprites go to the dialog's side text
// boxes unless the command line names files for them.
#include <cstdio>

#include "bridge/sod_bridge.h"
#include "cli/host_commands.h"
#include "formats/scene_format.h"
#include "interface/host_json.h"
#include "interface/host_text.h"

namespace host {

int CommandExport(const HostOptions& options, const ExportCommand& command) {
  Session session;
  if (!StartSession(options, &session)) return kExitUsage;
  SceneDocument document;
  std::string error;
  if (!ReadSceneDocument(AbsolutePath(command.input), &document, &error)) {
    std::fprintf(stderr, "kveltar-host: %s\n", error.c_str());
    return kExitUsage;
  }
  PluginRun run =
      ExportSod(&session, options, &document, AbsolutePath(command.output), command.answer, command.writeTextures);
  for (const std::string& warning : document.warnings) std::fprintf(stderr, "kveltar-host: %s\n", warning.c_str());
  int32_t written = run.written < 0 ? 0 : run.written;
  if (command.json) {
    std::printf("%s\n", JsonText(Json{{"export", run.exported},
                                      {"write", written},
                                      {"errorText", Utf16ToUtf8(run.errorText)},
                                      {"ui", run.ui}})
                            .c_str());
  } else {
    std::printf("export: %d\n", run.exported);
    if (run.exported == 1) std::printf("write: %d\n", written);
    if (run.exported == 1 && written != 1)
      std::printf("errorText: %s\n", JsonQuote(Utf16ToUtf8(run.errorText)).c_str());
  }
  return run.status;
}

}  // namespace host
