// Test program for the Windows build under Wine: kveltar_wine_tests PLUGIN.dlx
#include <gtest/gtest.h>

#include "wine/plugin_module.h"

PluginModule& ThePlugin() {
  static PluginModule plugin;
  return plugin;
}

int wmain(int argc, wchar_t** argv) {
  testing::InitGoogleTest(&argc, argv);
  if (argc < 2) {
    fprintf(stderr, "usage: kveltar_wine_tests PLUGIN.dlx [gtest options]\n");
    return 2;
  }
  PluginModule& plugin = ThePlugin();
  plugin.path = argv[1];
  plugin.module = LoadLibraryW(argv[1]);
  if (plugin.module == nullptr) {
    fprintf(stderr, "cannot load %ls\n", argv[1]);
    return 2;
  }
  plugin.version =
      reinterpret_cast<uint32_t (*)()>(reinterpret_cast<void*>(GetProcAddress(plugin.module, "PluginVersion")));
  plugin.proc = reinterpret_cast<int32_t (*)(uint32_t, void*)>(
      reinterpret_cast<void*>(GetProcAddress(plugin.module, "PluginProc")));
  int result = RUN_ALL_TESTS();
  FreeLibrary(plugin.module);
  return result;
}
