// Plug-in-wide state that lives from load to unload.
#pragma once

#include "common/byte_cursor.h"
#include "plugin/host_records.h"

// The context of the most recent operation; null until the first one.
extern HostContext* currentContext;

// The reader's file buffer (empty between operations).
extern ByteCursor readerCursor;

// Frees everything the plug-in still holds; run by the teardown at unload.
void ReleasePluginState();
