// The record the host passes with the describe message, and the message and
// operation codes of the plug-in interface.
#pragma once

#include <cstddef>
#include <cstdint>

#include "common/dual_string.h"
#include "plugin/host_pointer.h"
#include "plugin/host_records.h"

constexpr uint32_t PLUGIN_MSG_DESCRIBE = 0x10016;
constexpr uint32_t PLUGIN_MSG_VERSION = 0x10017;
constexpr uint32_t PLUGIN_OP_READ = 0x10018;
constexpr uint32_t PLUGIN_OP_WRITE = 0x10019;
constexpr uint32_t PLUGIN_OP_IMPORT = 0x1001F;
constexpr uint32_t PLUGIN_OP_EXPORT = 0x10020;
constexpr uint32_t PLUGIN_INTERFACE_VERSION = 3606;

struct PluginInfo;

typedef int32_t (*OperationProcFn)(uint32_t operation, HostContext* context, void* moduleInstance, intptr_t reserved);
typedef int32_t (*RegisterExtensionFn)(PluginInfo* info, DualString* extension);

// The host's table behind PluginInfo::hostTable; only entry 3 is used.
struct PluginHostTable {
  uint64_t unused0[3];
  HostPointer<RegisterExtensionFn> RegisterExtension;
};

#pragma pack(push, 4)
struct PluginInfo {
  HostPointer<PluginHostTable*> hostTable;  // read only
  uint32_t pluginId[4];
  int32_t infoCodeA;
  int32_t infoCodeB;
  uint8_t untouched32[8];  // never written
  HostPointer<OperationProcFn> operationProc;
  DualString description;
  DualString versionText;
  DualString filterText;
};
#pragma pack(pop)

static_assert(offsetof(PluginHostTable, RegisterExtension) == 24, "");
static_assert(offsetof(PluginInfo, hostTable) == 0 && offsetof(PluginInfo, pluginId) == 8, "");
static_assert(offsetof(PluginInfo, infoCodeA) == 24 && offsetof(PluginInfo, infoCodeB) == 28, "");
static_assert(offsetof(PluginInfo, operationProc) == 40 && offsetof(PluginInfo, description) == 48, "");
static_assert(offsetof(PluginInfo, versionText) == 828 && offsetof(PluginInfo, filterText) == 1608, "");
static_assert(sizeof(PluginInfo) == 2388, "the record ends at byte 2388");
