// The four operations the host asks for through OperationProc. Each returns 1 for
// success and 0 for failure; the import and export operations also answer 2 when the
// user cancelled.
#pragma once

#include <cstdint>

#include "plugin/host_records.h"

int32_t ReadSodFile(HostContext* context);
int32_t WriteSodFile(HostContext* context);
int32_t RunImport(HostContext* context, void* moduleInstance);
int32_t PrepareExport(HostContext* context, void* moduleInstance);
