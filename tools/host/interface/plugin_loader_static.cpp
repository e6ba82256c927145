// The plug-in linked into the host's own program (the WebAssembly build and the static
// Linux host): "loading" finds its two exported entry points, through which alone it
// is called, as a loaded module's are. There is no other module to load.
#include <cstdint>

#include "interface/plugin_loader.h"

extern "C" {
uint32_t PluginVersion(void);
int32_t PluginProc(uint32_t message, void* data);
}

namespace host {

namespace {
// Stands for the module handle, which the plug-in receives as its module instance.
uint8_t linkedModule;
}  // namespace

// Connects the linked-in plug-in; refuses any other module path with a plain reason.
bool LoadPlugin(const std::u16string& path, LoadedPlugin* plugin, std::string* error) {
  if (path != DefaultPluginPath()) {
    *error = "this kveltar-host carries its plug-in inside and loads no other module (--plugin PATH, describe PLUGIN)";
    return false;
  }
  plugin->module = &linkedModule;
  plugin->version = &PluginVersion;
  plugin->proc = &PluginProc;
  return true;
}

void UnloadPlugin(LoadedPlugin* plugin) { *plugin = LoadedPlugin(); }

std::u16string DefaultPluginPath() { return u"kveltar (linked in)"; }

}  // namespace host
