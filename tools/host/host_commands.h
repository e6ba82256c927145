// The commands of the reference host and what they share.
#pragma once

#include <map>
#include <set>
#include <string>
#include <utility>
#include <vector>

#include "host_scene.h"
#include "plugin_loader.h"

namespace host {

// Exit codes of every command.
constexpr int kExitOk = 0;
constexpr int kExitFailed = 1;   // the plug-in answered failure
constexpr int kExitUsage = 2;    // bad command line, or a file or module that cannot be loaded
constexpr int kExitTrap = 3;     // the plug-in called an entry outside the interface
constexpr int kExitStopped = 4;  // the plug-in answered that the user stopped or cancelled (2)

struct HostOptions {
  std::u16string pluginPath;  // empty: the plug-in beside the host
  std::vector<std::pair<std::string, long>> failServices;
  long failCallNumber = 0;
  std::vector<std::u16string> positional;
  std::map<std::string, std::vector<std::u16string>> values;  // "--name value", in the order given
  std::set<std::string> switches;                             // "--name"
  // Every "--name" with its value (empty for a switch), in command-line order.
  std::vector<std::pair<std::string, std::u16string>> sequence;

  bool Has(const std::string& name) const { return switches.count(name) != 0 || values.count(name) != 0; }
  // The last value given for `name`, or `fallback`.
  std::u16string Value(const std::string& name, const std::u16string& fallback = u"") const;
};

// Options that take a value; every other "--name" is a switch.
bool OptionTakesValue(const std::string& name);

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

int CommandDescribe(const HostOptions& options);
int CommandRead(const HostOptions& options);
int CommandImport(const HostOptions& options);
int CommandExport(const HostOptions& options);

}  // namespace host
