// The real DLL unloaded with a filled imported model and loaded again, many times in
// one process: the teardown frees the model at every unload, so the process's private
// memory stays where it was after a warm-up.
#include <gtest/gtest.h>

#include <string>

#include "support/sod_builder.h"
#include "support/temp_dir.h"
#include "wine/fresh_plugin.h"
// After windows.h, which the plug-in's Win32 header brings.
#include <psapi.h>

namespace {

// Bytes of memory the process has committed for itself (its commit charge; Wine
// reports it here and leaves PrivateUsage at 0).
size_t PrivateBytes() {
  PROCESS_MEMORY_COUNTERS_EX counters = {};
  counters.cb = sizeof counters;
  GetProcessMemoryInfo(GetCurrentProcess(), reinterpret_cast<PROCESS_MEMORY_COUNTERS*>(&counters), sizeof counters);
  return counters.PagefileUsage;
}

// One mesh of 60,000 vertices: a model of about 2.4 MB once read.
std::string BigModelSod() {
  sodtest::SodFileSpec file;
  file.materials = {sodtest::Material("hull")};
  sodtest::SodNodeSpec mesh = sodtest::MeshNode("hull", {"hull"});
  mesh.mesh.vertices.clear();
  mesh.mesh.texCoords.clear();
  for (int i = 0; i < 60000; ++i) {
    mesh.mesh.vertices.push_back({static_cast<float>(i), 1, 2});
    mesh.mesh.texCoords.push_back({0.5f, 0.25f});
  }
  mesh.mesh.groups[0].faces.resize(20000);
  for (uint16_t f = 0; f < 20000; ++f) {
    for (uint16_t k = 0; k < 3; ++k) mesh.mesh.groups[0].faces[f].v[k] = mesh.mesh.groups[0].faces[f].t[k] = 3 * f + k;
  }
  file.nodes = {mesh, sodtest::NullNode("hp_fore")};
  return sodtest::BuildSod(file);
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
  dir.Write("big.sod", BigModelSod());
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
    if (i == kWarmUpReloads) warm = PrivateBytes();
  }
  const size_t end = PrivateBytes();
  std::printf(
      "reload: %d loads and unloads of the DLL with a filled model; committed bytes %zu after %d, %zu at the end\n",
      kReloads, warm, kWarmUpReloads, end);
  EXPECT_LE(end, warm + kGrowthBound) << "committed memory grew by " << (end - warm) << " bytes";
}
