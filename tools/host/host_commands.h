// The commands of the reference host.
#pragma once

#include <string>
#include <utility>
#include <vector>

namespace host {

// Exit codes of every command.
constexpr int kExitOk = 0;
constexpr int kExitFailed = 1;  // the plug-in answered failure
constexpr int kExitUsage = 2;   // bad command line, or a file or module that cannot be loaded
constexpr int kExitTrap = 3;    // the plug-in called an entry outside the interface

struct HostOptions {
  std::u16string pluginPath;  // empty: the plug-in beside the host
  std::vector<std::pair<std::string, long>> failServices;
  long failCallNumber = 0;
  std::vector<std::u16string> positional;
  std::vector<std::string> flags;  // further options of the command, as given
};

int CommandDescribe(const HostOptions& options);

}  // namespace host
