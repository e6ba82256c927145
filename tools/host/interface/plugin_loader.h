// Loading a plug-in module, finding its two exported functions and connecting to it
// the way the modelling host does: describe, then operations through its callback.
#pragma once

#include <cstdint>
#include <string>

namespace host {

typedef uint32_t (*PluginVersionFn)();
typedef int32_t (*PluginProcFn)(uint32_t message, void* data);
typedef int32_t (*OperationProcFn)(uint32_t operation, void* context, void* moduleInstance, intptr_t reserved);

constexpr uint32_t kMessageDescribe = 0x10016;
constexpr uint32_t kMessageVersion = 0x10017;
constexpr uint32_t kOperationRead = 0x10018;
constexpr uint32_t kOperationWrite = 0x10019;
constexpr uint32_t kOperationImport = 0x1001F;
constexpr uint32_t kOperationExport = 0x10020;

struct LoadedPlugin {
  void* module = nullptr;  // the module handle, also the plug-in's module instance
  PluginVersionFn version = nullptr;
  PluginProcFn proc = nullptr;
};

// Loads `path` and looks up PluginVersion and PluginProc; false with a reason.
bool LoadPlugin(const std::u16string& path, LoadedPlugin* plugin, std::string* error);
void UnloadPlugin(LoadedPlugin* plugin);

// Describes the plug-in and answers its operation callback and registered extension;
// null with a reason when the plug-in does not describe itself.
OperationProcFn ConnectPlugin(const LoadedPlugin& plugin, std::u16string* extension, std::string* error);

// The plug-in file that lies beside the host's own executable.
std::u16string DefaultPluginPath();

// `path` made absolute against the current directory, as the host hands paths over.
std::u16string AbsolutePath(const std::u16string& path);

}  // namespace host
