#include "plugin/plugin_state.h"

#include <cstdlib>

HostContext* currentContext = nullptr;
ByteCursor readerCursor;

void ReleasePluginState() { ByteCursorRelease(&readerCursor); }

namespace {

void TeardownAtUnload() { ReleasePluginState(); }

// Static initialisation at load: the reader starts empty and the teardown that frees
// what an unfinished import holds is put on the runtime's exit list.
struct LoadTimeSetup {
  LoadTimeSetup() {
    ByteCursorReset(&readerCursor);
    atexit(TeardownAtUnload);
  }
};

LoadTimeSetup loadTimeSetup;

}  // namespace
