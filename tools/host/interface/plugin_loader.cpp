// Loading the plug-in module with the system's loader: LoadLibrary on Windows,
// dlopen elsewhere.
#include "interface/plugin_loader.h"

#include "interface/host_text.h"

#ifdef _WIN32
#include "platform/win32_api.h"
#else
#include <dlfcn.h>
#include <unistd.h>
#endif

namespace host {

#ifdef _WIN32

bool LoadPlugin(const std::u16string& path, LoadedPlugin* plugin, std::string* error) {
  HMODULE module = LoadLibraryW(WinText(path.c_str()));
  if (module == nullptr) {
    *error = "cannot load " + Utf16ToUtf8(path) + " (error " + std::to_string(GetLastError()) + ")";
    return false;
  }
  plugin->module = module;
  plugin->version = reinterpret_cast<PluginVersionFn>(reinterpret_cast<void*>(GetProcAddress(module, "PluginVersion")));
  plugin->proc = reinterpret_cast<PluginProcFn>(reinterpret_cast<void*>(GetProcAddress(module, "PluginProc")));
  if (plugin->version == nullptr || plugin->proc == nullptr) {
    *error = "the module does not export PluginVersion and PluginProc";
    UnloadPlugin(plugin);
    return false;
  }
  return true;
}

void UnloadPlugin(LoadedPlugin* plugin) {
  if (plugin->module != nullptr) FreeLibrary(static_cast<HMODULE>(plugin->module));
  *plugin = LoadedPlugin();
}

std::u16string DefaultPluginPath() {
  wchar_t own[1024] = {};
  DWORD n = GetModuleFileNameW(nullptr, own, 1024);
  std::u16string path(reinterpret_cast<const char16_t*>(own), n);
  size_t slash = path.find_last_of(u"\\/");
  return (slash == std::u16string::npos ? std::u16string() : path.substr(0, slash + 1)) + u"kveltar_64.dlx";
}

#else

bool LoadPlugin(const std::u16string& path, LoadedPlugin* plugin, std::string* error) {
  void* module = dlopen(Utf16ToUtf8(path).c_str(), RTLD_NOW | RTLD_LOCAL);
  if (module == nullptr) {
    *error = std::string("cannot load: ") + dlerror();
    return false;
  }
  plugin->module = module;
  plugin->version = reinterpret_cast<PluginVersionFn>(dlsym(module, "PluginVersion"));
  plugin->proc = reinterpret_cast<PluginProcFn>(dlsym(module, "PluginProc"));
  if (plugin->version == nullptr || plugin->proc == nullptr) {
    *error = "the module does not export PluginVersion and PluginProc";
    UnloadPlugin(plugin);
    return false;
  }
  return true;
}

void UnloadPlugin(LoadedPlugin* plugin) {
  if (plugin->module != nullptr) dlclose(plugin->module);
  *plugin = LoadedPlugin();
}

std::u16string DefaultPluginPath() {
  char own[4096] = {};
  ssize_t n = readlink("/proc/self/exe", own, sizeof own - 1);
  std::string path(own, n > 0 ? static_cast<size_t>(n) : 0);
  size_t slash = path.find_last_of('/');
  return Utf8ToUtf16((slash == std::string::npos ? std::string() : path.substr(0, slash + 1)) + "kveltar.so");
}

#endif

}  // namespace host
