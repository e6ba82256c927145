// Connecting to a loaded plug-in, the same for every way of loading it.
#include <filesystem>
#include <vector>

#include "interface/host_layout.h"
#include "interface/plugin_loader.h"

namespace host {

namespace {

std::u16string registeredExtension;

int32_t RegisterExtension(void*, void* extension) {
  registeredExtension = extension != nullptr ? layout::WideField(extension, 0) : u"";
  return 1;
}

}  // namespace

OperationProcFn ConnectPlugin(const LoadedPlugin& plugin, std::u16string* extension, std::string* error) {
  if (plugin.version() != 3606) {
    *error = "the plug-in answers interface version " + std::to_string(plugin.version()) + ", not 3606";
    return nullptr;
  }
  std::vector<uint64_t> hostTable(layout::kHostTableEntries, 0);
  hostTable[layout::kHostTableRegisterExtension] = layout::PointerSlot(&RegisterExtension);
  std::vector<uint8_t> record(layout::kInfoBytes, 0);
  layout::PutPointer(record.data(), layout::kInfoHostTable, hostTable.data());
  registeredExtension.clear();
  if (plugin.proc(kMessageDescribe, record.data()) != 1) {
    *error = "the plug-in did not describe itself";
    return nullptr;
  }
  if (extension != nullptr) *extension = registeredExtension;
  OperationProcFn operation = layout::GetPointer<OperationProcFn>(record.data(), layout::kInfoOperationProc);
  if (operation == nullptr) *error = "the plug-in gave no operation callback";
  return operation;
}

std::u16string AbsolutePath(const std::u16string& path) {
#ifdef _WIN32
  // A share's path (\\server\share\...) or an extended-length one (\\?\...) is whole
  // already; the library would put the current drive before it.
  const auto separator = [&](size_t i) { return path.size() > i && (path[i] == u'\\' || path[i] == u'/'); };
  if (separator(0) && separator(1)) return path;
#endif
  std::error_code ignored;
  std::filesystem::path absolute = std::filesystem::absolute(std::filesystem::path(path), ignored);
  return absolute.empty() ? path : absolute.u16string();
}

}  // namespace host
