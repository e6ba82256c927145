// The export operation. The export checks are not built yet: the operation fails.
#include "plugin/operations.h"

int32_t PrepareExport(HostContext*, void*) { return 0; }
