#include "plugin/plugin_state.h"

#include <cstdlib>

#include "sod/export_memory.h"
#include "sod/imported_model.h"

HostContext* currentContext = nullptr;
ByteCursor readerCursor;

void ReleasePluginState() { ResetImport(&importedModel, &readerCursor); }

namespace {

// What an unfinished import holds and the write operation's kept working memory: one
// entry on the exit list for both.
void TeardownAtUnload() {
  ReleasePluginState();
  ReleaseExportMemory(&exportMemory);
}

// Static initialisation at load: the reader and the imported model start empty, and
// the teardown that frees what an unfinished import holds is put on the runtime's exit
// list.
struct LoadTimeSetup {
  LoadTimeSetup() {
    ByteCursorReset(&readerCursor);
    importedModel = ImportedModel{};
    // Should the exit list be full, the model is simply not freed at unload.
    (void)atexit(TeardownAtUnload);
  }
};

LoadTimeSetup loadTimeSetup;

}  // namespace
