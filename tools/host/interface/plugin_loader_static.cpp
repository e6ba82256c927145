// The plug-in linked into the host's own program (the WebAssembly build): "loading"
// finds its two exported entry points, through which alone it is called, as a loaded
// module's are.
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

bool LoadPlugin(const std::u16string&, LoadedPlugin* plugin, std::string*) {
  plugin->module = &linkedModule;
  plugin->version = &PluginVersion;
  plugin->proc = &PluginProc;
  return true;
}

void UnloadPlugin(LoadedPlugin* plugin) { *plugin = LoadedPlugin(); }

std::u16string DefaultPluginPath() { return u"kveltar (linked in)"; }

}  // namespace host
