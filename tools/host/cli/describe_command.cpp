// kveltar-host describe PLUGIN: loads a plug-in and prints what it answers to the
// describe and version messages, what it registered, and how its operation callback
// treats calls it must refuse.
#include <cstdio>
#include <cstring>
#include <vector>

#include "cli/host_commands.h"
#include "interface/host_json.h"
#include "interface/host_layout.h"
#include "interface/host_scene.h"
#include "interface/host_text.h"
#include "interface/plugin_loader.h"

namespace host {

namespace {

constexpr uint8_t kFill = 0xA5;

struct Registration {
  int calls = 0;
  const void* record = nullptr;
  std::u16string wide;
  std::string narrow;
};

Registration registration;
int32_t registerAnswer = 1;

int32_t RegisterExtension(void* record, void* extension) {
  ++registration.calls;
  registration.record = record;
  if (extension != nullptr) {
    registration.wide = layout::WideField(extension, 0);
    registration.narrow = layout::NarrowField(extension, 0);
  }
  return registerAnswer;
}

void PrintText(const char* name, size_t offset, const std::vector<uint8_t>& record) {
  std::printf("%s (byte %zu): wide %s narrow %s\n", name, offset,
              JsonQuote(Utf16ToUtf8(layout::WideField(record.data(), offset))).c_str(),
              JsonQuote(Utf16ToUtf8(FromAnsi(layout::NarrowField(record.data(), offset)))).c_str());
}

}  // namespace

int CommandDescribe(const HostOptions&, const std::u16string& path, bool refuseExtension) {
  if (refuseExtension) registerAnswer = 0;
  LoadedPlugin plugin;
  std::string error;
  if (!LoadPlugin(path, &plugin, &error)) {
    std::fprintf(stderr, "kveltar-host: %s\n", error.c_str());
    return kExitUsage;
  }
  std::printf("PluginVersion: %u\n", plugin.version());
  std::printf("PluginProc(version): %d\n", plugin.proc(kMessageVersion, nullptr));
  std::printf("PluginProc(0): %d\n", plugin.proc(0, nullptr));
  std::printf("PluginProc(0x10018): %d\n", plugin.proc(0x10018, nullptr));
  std::printf("PluginProc(describe, null): %d\n", plugin.proc(kMessageDescribe, nullptr));

  std::vector<uint64_t> hostTable(layout::kHostTableEntries, 0);
  hostTable[layout::kHostTableRegisterExtension] = layout::PointerSlot(&RegisterExtension);
  std::vector<uint8_t> record(layout::kInfoBytes + 8, kFill);
  layout::PutPointer(record.data(), layout::kInfoHostTable, hostTable.data());
  int32_t answer = plugin.proc(kMessageDescribe, record.data());
  std::printf("PluginProc(describe): %d\n", answer);
  std::printf("infoCodeA (byte 24): %d\n", layout::Get<int32_t>(record.data(), layout::kInfoCodeA));
  std::printf("infoCodeB (byte 28): %d\n", layout::Get<int32_t>(record.data(), layout::kInfoCodeB));
  std::printf("pluginId (byte 8):");
  for (int i = 0; i < 4; ++i) std::printf(" %08x", layout::Get<uint32_t>(record.data(), layout::kInfoPluginId + 4 * i));
  std::printf("\n");
  bool untouched = true;
  for (size_t i = layout::kInfoUntouched; i < layout::kInfoUntouched + 8; ++i)
    untouched = untouched && record[i] == kFill;
  bool tailUntouched = record[layout::kInfoBytes] == kFill;
  std::printf("bytes 32-39: %s\n", untouched ? "unchanged" : "changed");
  std::printf("bytes after 2388: %s\n", tailUntouched ? "unchanged" : "changed");
  void* operationProc = layout::GetPointer<void*>(record.data(), layout::kInfoOperationProc);
  std::printf("operationProc (byte 40): %s\n", operationProc != nullptr ? "set" : "null");
  PrintText("description", layout::kInfoDescription, record);
  PrintText("versionText", layout::kInfoVersionText, record);
  PrintText("filterText", layout::kInfoFilterText, record);
  std::printf("RegisterExtension: called %d time(s), record %s, extension wide %s narrow %s\n", registration.calls,
              registration.record == record.data() ? "same" : "other",
              JsonQuote(Utf16ToUtf8(registration.wide)).c_str(), JsonQuote(registration.narrow).c_str());

  int status = kExitOk;
  if (operationProc != nullptr) {
    OperationProcFn operation = reinterpret_cast<OperationProcFn>(operationProc);
    HostScene scene;
    std::printf("OperationProc(0x1001A, context): %d\n", operation(0x1001A, scene.Context(), plugin.module, 0));
    std::printf("OperationProc(0x10018, null context): %d\n", operation(0x10018, nullptr, plugin.module, 0));
    std::printf("OperationProc(0x10019, null context): %d\n", operation(0x10019, nullptr, plugin.module, 0));
    std::printf("OperationProc(0x1001F, null module): %d\n", operation(0x1001F, scene.Context(), nullptr, 0));
    std::printf("OperationProc(0x10020, null module): %d\n", operation(0x10020, scene.Context(), nullptr, 0));
    std::printf("host services called: %ld\n", scene.CallCount());
    if (!scene.Traps().empty()) status = kExitTrap;
  }
  UnloadPlugin(&plugin);
  if (status == kExitOk && answer != 1) status = kExitFailed;
  return status;
}

}  // namespace host
