// A loaded plug-in and the options every use of it shares: which module, which host
// services to make fail, and the exit codes that report how a use ended.
#pragma once

#include <string>
#include <utility>
#include <vector>

#include "interface/host_scene.h"
#include "interface/plugin_loader.h"

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

}  // namespace host
