#include "plugin/plugin_state.h"

#include <cstdlib>
#include <cstring>

#include "sod/imported_model.h"

HostContext* currentContext = nullptr;
ByteCursor readerCursor;

void ReleasePluginState() { ResetImport(&importedModel, &readerCursor); }

namespace {

void TeardownAtUnload() { ReleasePluginState(); }

// Static initialisation at load: the reader and the imported model start empty, and
// the teardown that frees what an unfinished import holds is put on the runtime's exit
// list.
struct LoadTimeSetup {
  LoadTimeSetup() {
    ByteCursorReset(&readerCursor);
    std::memset(&importedModel, 0, sizeof importedModel);
    atexit(TeardownAtUnload);
  }
};

LoadTimeSetup loadTimeSetup;

}  // namespace
