// Plug-in-wide state that lives from load to unload.
#pragma once

#include "common/byte_cursor.h"
#include "plugin/host_records.h"

// The context of the most recent operation; null until the first one.
extern HostContext* currentContext;

// The reader's file buffer (empty between operations).
extern ByteCursor readerCursor;

// Frees the imported model and the reader's bytes; run by the teardown at unload.
void ReleasePluginState();
