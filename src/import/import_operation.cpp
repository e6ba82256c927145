// The import operation. The import dialog is not built yet: the operation fails.
#include "import/import_options.h"
#include "plugin/operations.h"

ImportOptions importOptions = {0, 0, 0, 0, 0, 0};

int32_t RunImport(HostContext*, void*) { return 0; }
