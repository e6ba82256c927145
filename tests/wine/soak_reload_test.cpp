// The real DLL unloaded with a filled imported model and loaded again, many times in
// one process: the teardown frees the model at every unload, so the process's committed
// memory stays where it was after a warm-up.
#include <gtest/gtest.h>

#include <string>

#include "support/operation_fixture.h"
#include "wine/fresh_plugin.h"
// After windows.h, which the plug-in's Win32 header brings.
#include <psapi.h>

namespace {

// Bytes of memory the process has committed for itself (its commit charge; Wine
// reports it here and leaves PrivateUsage at 0).
size_t CommittedBytes() {
  PROCESS_MEMORY_COUNTERS_EX counters = {};
  counters.cb = sizeof counters;
  GetProcessMemoryInfo(GetCurrentProcess(), reinterpret_cast<PROCESS_MEMORY_COUNTERS*>(&counters), sizeof counters);
  return counters.PagefileUsage;
}

}  // namespace

TEST(RealDllReload, UnloadingWithAFilledModelFreesIt) {
  constexpr int kReloads = 40;
  constexpr int kWarmUpReloads = 5;
  // A model lost at every unload would add some 80 MB over the run, the C++ runtime's
  // arena of the library some 70 KB per load; the whole run may grow by less than
  // seven such arenas.
  constexpr size_t kGrowthBound = 512u << 10;
  TempDir dir;
  dir.Write("big.sod", fixture::BigModelSod());
  size_t warm = 0;
  for (int i = 0; i < kReloads; ++i) {
    std::wstring loaded;
    {
      FreshPlugin plugin;
      ASSERT_TRUE(plugin.Ready());
      wchar_t path[MAX_PATH] = {};
      GetModuleFileNameW(plugin.Module(), path, MAX_PATH);
      loaded = path;
      host::HostScene scene;
      scene.SetFilePath(dir.Wide("big.sod"));
      ASSERT_EQ(1, plugin.Run(0x10018, scene)) << i;
    }
    // Unloaded for real, not only released by one of several holders.
    ASSERT_EQ(nullptr, GetModuleHandleW(loaded.c_str())) << i;
    if (i == kWarmUpReloads) warm = CommittedBytes();
  }
  const size_t end = CommittedBytes();
  std::printf(
      "reload: %d loads and unloads of the DLL with a filled model; committed bytes %zu after %d, %zu at the end\n",
      kReloads, warm, kWarmUpReloads, end);
  EXPECT_LE(end, warm + kGrowthBound) << "committed memory grew by " << (end - warm) << " bytes";
}
