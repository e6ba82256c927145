#include "plugin/plugin_entry.h"

#include "common/dual_string.h"
#include "plugin/operations.h"
#include "plugin/plugin_info.h"
#include "plugin/plugin_state.h"

namespace {

// The plug-in's fixed identifier, the same in every describe call.
const uint32_t kPluginId[4] = {0x6B76656C, 0x74617220, 0x534F4420, 0x00030532};

int32_t Describe(PluginInfo* info) {
  info->infoCodeA = 3;
  info->infoCodeB = 6;
  info->operationProc = OperationProc;
  for (int i = 0; i < 4; ++i) info->pluginId[i] = kPluginId[i];
  DualStringSetWide(&info->description, u"ST Armada SOD Importer/Exporter\r\n");
  DualStringSetWide(&info->versionText, u"3.50.60");
  DualStringSetWide(&info->filterText, u"ST Armada files (*.sod)");
  DualString extension;
  DualStringSetWide(&extension, u"sod");
  if (info->hostTable == nullptr || info->hostTable->RegisterExtension == nullptr) return 0;
  return info->hostTable->RegisterExtension(info, &extension) != 0 ? 1 : 0;
}

int32_t Dispatch(uint32_t operation, HostContext* context, void* moduleInstance) {
  if (operation == PLUGIN_OP_READ) {
    if (context == nullptr) return 0;
    currentContext = context;
    return ReadSodFile(context);
  }
  if (operation == PLUGIN_OP_WRITE) {
    if (context == nullptr) return 0;
    currentContext = context;
    return WriteSodFile(context);
  }
  if (operation == PLUGIN_OP_IMPORT) {
    if (context == nullptr || moduleInstance == nullptr) return 0;
    currentContext = context;
    return RunImport(context, moduleInstance);
  }
  if (operation == PLUGIN_OP_EXPORT) {
    if (context == nullptr || moduleInstance == nullptr) return 0;
    currentContext = context;
    return PrepareExport(context, moduleInstance);
  }
  return 0;
}

}  // namespace

extern "C" uint32_t PluginVersion(void) { return PLUGIN_INTERFACE_VERSION; }

extern "C" int32_t PluginProc(uint32_t message, void* data) {
  try {
    if (message == PLUGIN_MSG_DESCRIBE) return data != nullptr ? Describe(static_cast<PluginInfo*>(data)) : 0;
    if (message == PLUGIN_MSG_VERSION) return static_cast<int32_t>(PLUGIN_INTERFACE_VERSION);
    return 1;
  } catch (...) {
    return 0;
  }
}

int32_t OperationProc(uint32_t operation, HostContext* context, void* moduleInstance, intptr_t) {
  try {
    return Dispatch(operation, context, moduleInstance);
  } catch (...) {
    return 0;
  }
}
