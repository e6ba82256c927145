// The export operation. The export checks are not built yet: the operation fails.
#include "export/export_options.h"
#include "plugin/operations.h"

ExportOptions exportOptions = {kGameArmada1, 1, 0, 0, 0, {0}, {0}, {0}};

int32_t PrepareExport(HostContext*, void*) { return 0; }
