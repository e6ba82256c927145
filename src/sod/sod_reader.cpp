// The read operation. Reading SOD files is not built yet: the operation fails.
#include "plugin/operations.h"

int32_t ReadSodFile(HostContext*) { return 0; }
