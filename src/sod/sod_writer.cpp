// The write operation. Writing SOD files is not built yet: the operation fails.
#include "plugin/operations.h"

int32_t WriteSodFile(HostContext*) { return 0; }
