#include <cstdio>

#include "interface/host_session.h"
#include "interface/host_text.h"

namespace host {

bool StartSession(const HostOptions& options, Session* session) {
  std::u16string path = options.pluginPath.empty() ? DefaultPluginPath() : options.pluginPath;
  std::string error;
  if (!LoadPlugin(path, &session->plugin, &error)) {
    std::fprintf(stderr, "kveltar-host: %s\n", error.c_str());
    return false;
  }
  session->operation = ConnectPlugin(session->plugin, nullptr, &error);
  if (session->operation == nullptr) {
    std::fprintf(stderr, "kveltar-host: %s: %s\n", Utf16ToUtf8(path).c_str(), error.c_str());
    return false;
  }
  return true;
}

void ApplyFailures(const HostOptions& options, HostScene* scene) {
  for (const auto& failure : options.failServices) scene->FailService(failure.first, failure.second);
  if (options.failCallNumber > 0) scene->FailCallNumber(options.failCallNumber);
}

int FinalStatus(const HostScene& scene, int status) {
  for (const std::string& trap : scene.Traps()) std::fprintf(stderr, "kveltar-host: trapped call: %s\n", trap.c_str());
  return scene.Traps().empty() ? status : kExitTrap;
}

}  // namespace host
