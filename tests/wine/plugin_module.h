// The real kveltar_64.dlx, loaded once for the end-to-end tests under Wine.
#pragma once

#include <cstdint>
#include <string>

#include "platform/win32_api.h"

struct PluginModule {
  HMODULE module = nullptr;
  uint32_t (*version)() = nullptr;
  int32_t (*proc)(uint32_t, void*) = nullptr;
  std::wstring path;
};

// The module named on the command line of the test program.
PluginModule& ThePlugin();
