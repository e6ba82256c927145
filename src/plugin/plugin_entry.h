// The plug-in's surface: the two exported functions and the operation callback.
#pragma once

#include <cstdint>

#include "plugin/host_records.h"

#ifdef _WIN32
#define PLUGIN_EXPORT  // exports are named by the module definition file
#else
#define PLUGIN_EXPORT __attribute__((visibility("default")))
#endif

extern "C" {
// Answers the interface version, 3606.
PLUGIN_EXPORT uint32_t PluginVersion(void);
// Describe (fills a PluginInfo and registers "sod"), version, or any other message (1).
PLUGIN_EXPORT int32_t PluginProc(uint32_t message, void* data);
}

// Hands one host operation to its handler; sets currentContext when it does.
int32_t OperationProc(uint32_t operation, HostContext* context, void* moduleInstance, intptr_t reserved);
