// A copy of the real kveltar_64.dlx loaded under a name of its own, so that its
// plug-in-wide state (the export options above all) starts as at load time, whatever
// other tests did to the module loaded once for the program.
#pragma once

#include <atomic>
#include <filesystem>
#include <string>
#include <vector>

#include "interface/host_layout.h"
#include "interface/host_scene.h"
#include "wine/plugin_module.h"

class FreshPlugin {
 public:
  FreshPlugin() {
    static std::atomic<int> copies{0};
    path_ = std::filesystem::temp_directory_path() /
            (L"kveltar-fresh-" + std::to_wstring(GetCurrentProcessId()) + L"-" + std::to_wstring(++copies) + L".dlx");
    // The loaded module's own file: an import may have changed the current directory.
    wchar_t loaded[MAX_PATH] = {};
    GetModuleFileNameW(ThePlugin().module, loaded, MAX_PATH);
    std::filesystem::copy_file(loaded, path_, std::filesystem::copy_options::overwrite_existing);
    module_ = LoadLibraryW(path_.c_str());
    if (module_ == nullptr) return;
    auto proc =
        reinterpret_cast<int32_t (*)(uint32_t, void*)>(reinterpret_cast<void*>(GetProcAddress(module_, "PluginProc")));
    std::vector<uint64_t> hostTable(8, 0);
    hostTable[3] = layout::PointerSlot(&Register);
    std::vector<uint8_t> record(layout::kInfoBytes, 0);
    layout::PutPointer(record.data(), layout::kInfoHostTable, hostTable.data());
    if (proc != nullptr && proc(0x10016, record.data()) == 1) {
      operation_ = layout::GetPointer<Operation>(record.data(), layout::kInfoOperationProc);
    }
  }
  ~FreshPlugin() {
    if (module_ != nullptr) FreeLibrary(module_);
    std::error_code ignored;
    std::filesystem::remove(path_, ignored);
  }
  FreshPlugin(const FreshPlugin&) = delete;
  FreshPlugin& operator=(const FreshPlugin&) = delete;

  bool Ready() const { return operation_ != nullptr; }
  HMODULE Module() const { return module_; }
  int32_t Run(uint32_t operation, host::HostScene& scene) { return operation_(operation, scene.Context(), module_, 0); }

 private:
  typedef int32_t (*Operation)(uint32_t, void*, void*, intptr_t);
  static int32_t Register(void*, void*) { return 1; }

  std::filesystem::path path_;
  HMODULE module_ = nullptr;
  Operation operation_ = nullptr;
};
