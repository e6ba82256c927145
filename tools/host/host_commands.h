// The commands of the reference host, what they take from the command line, and what
// they share.
#pragma once

#include <string>
#include <utility>
#include <vector>

#include "host_scene.h"
#include "plugin_loader.h"
#include "ui_driver.h"

namespace host {

// Exit codes of every command.
constexpr int kExitOk = 0;
constexpr int kExitFailed = 1;   // the plug-in answered failure, or a file could not be written
constexpr int kExitUsage = 2;    // bad command line, or a file or module that cannot be loaded
constexpr int kExitTrap = 3;     // the plug-in called an entry outside the interface
constexpr int kExitStopped = 4;  // the plug-in answered that the user stopped or cancelled (2)

// Options of every command.
struct HostOptions {
  std::u16string pluginPath;  // empty: the plug-in beside the host
  std::vector<std::pair<std::string, long>> failServices;
  long failCallNumber = 0;
};

// How the import dialog is answered: the user's actions in the order given, then
// Import (or Cancel).
struct ImportAnswer {
  std::vector<UiAction> actions;
  bool cancel = false;
  bool interactive = false;
};

// How the export dialog and its message boxes are answered.
struct ExportAnswer {
  int game = 1;  // 1: ST Armada 1 (SOD 1.8), 2: ST Armada 2 (SOD 1.93)
  bool exportMaterials = true;
  bool continueReserved = false;  // OK to the reserved-name warning (else Cancel)
  bool interactive = false;
  // Side text files for the three boxes; empty: the box stays unticked (or, when the
  // scene came from a file with markers, those markers are used).
  std::u16string hardpoints, emitters, sprites;
};

struct ImportCommand {
  std::u16string input;
  ImportAnswer answer;
  int repeat = 1;
  bool json = false;
  std::u16string obj;   // write the scene as OBJ here
  std::u16string gltf;  // write the scene and its markers as glTF here
};

struct ExportCommand {
  std::u16string input;  // .obj, .gltf or .glb
  std::u16string output;
  ExportAnswer answer;
  bool writeTextures = false;
  bool json = false;
};

struct ConvertCommand {
  std::u16string input;
  std::u16string output;
  ImportAnswer importAnswer;     // the mesh selection, for a SOD input
  ExportAnswer exportAnswer;     // for a SOD output
  std::u16string textureFolder;  // where a SOD file's textures are looked for; empty: beside it
  bool writeTextures = false;
  bool json = false;
  bool quiet = false;
};

// A loaded and described plug-in, ready for operations.
struct Session {
  LoadedPlugin plugin;
  OperationProcFn operation = nullptr;
  ~Session() { UnloadPlugin(&plugin); }
  int32_t Run(uint32_t code, HostScene* scene) { return operation(code, scene->Context(), plugin.module, 0); }
};

// Loads the plug-in of the options and connects to it; false after printing why.
bool StartSession(const HostOptions& options, Session* session);

// Makes the scene's services fail as the options ask.
void ApplyFailures(const HostOptions& options, HostScene* scene);

// kExitTrap when the plug-in called outside the interface, else `status`.
int FinalStatus(const HostScene& scene, int status);

int CommandDescribe(const HostOptions& options, const std::u16string& plugin, bool refuseExtension);
int CommandRead(const HostOptions& options, const std::u16string& input);
int CommandImport(const HostOptions& options, const ImportCommand& command);
int CommandExport(const HostOptions& options, const ExportCommand& command);
int CommandConvert(const HostOptions& options, const ConvertCommand& command);

}  // namespace host
