// Loading a plug-in module and finding its two exported functions.
#pragma once

#include <cstdint>
#include <string>

namespace host {

typedef uint32_t (*PluginVersionFn)();
typedef int32_t (*PluginProcFn)(uint32_t message, void* data);
typedef int32_t (*OperationProcFn)(uint32_t operation, void* context, void* moduleInstance, intptr_t reserved);

struct LoadedPlugin {
  void* module = nullptr;  // the module handle, also the plug-in's module instance
  PluginVersionFn version = nullptr;
  PluginProcFn proc = nullptr;
};

// Loads `path` and looks up PluginVersion and PluginProc; false with a reason.
bool LoadPlugin(const std::u16string& path, LoadedPlugin* plugin, std::string* error);
void UnloadPlugin(LoadedPlugin* plugin);

// The plug-in file that lies beside the host's own executable.
std::u16string DefaultPluginPath();

}  // namespace host
