// The import operation. The import dialog is not built yet: the operation fails.
#include "plugin/operations.h"

int32_t RunImport(HostContext*, void*) { return 0; }
