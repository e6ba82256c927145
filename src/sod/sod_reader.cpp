// The read operation: the file named by the host is read into memory in one read and
// parsed into the imported model. The file bytes never outlive the operation, and a
// failed read leaves the model empty.
#include "sod/sod_reader.h"
#include "common/host_text.h"
#include "common/memory.h"
#include "common/wide_text.h"
#include "platform/file_system.h"
#include "plugin/operations.h"
#include "plugin/plugin_state.h"

namespace {

// Reads the whole of `file` into the cursor. Files whose size does not fit the
// cursor's 32 bits are refused. 1 or 0.
int LoadFileBytes(FILE* file, ByteCursor* cursor) {
  const int64_t size = StreamSizeBySeeking(file);
  if (size < 0 || size > static_cast<int64_t>(UINT32_MAX)) return 0;
  cursor->data = static_cast<uint8_t*>(AllocBytes(static_cast<size_t>(size), 1));  // filled by the read or refused
  if (cursor->data == nullptr) return 0;
  cursor->size = static_cast<uint32_t>(size);
  cursor->position = 0;
  if (fseek(file, 0, SEEK_SET) != 0) return 0;
  return fread(cursor->data, 1, cursor->size, file) == cursor->size ? 1 : 0;
}

}  // namespace

int32_t ReadSodFile(HostContext* context) {
  if (context == nullptr) return 0;
  ResetImport(&importedModel, &readerCursor);
  DualString path;
  CopyHostFilePath(context, &path);
  FILE* file = HostFilePathIsWhole(context) ? OpenFileWide(path.wide, "rb") : nullptr;
  if (file == nullptr) {
    SetErrorText(context, u"Could not open file for reading.");
    return 0;
  }
  const int loaded = LoadFileBytes(file, &readerCursor);
  (void)fclose(file);  // read only: every byte needed is in memory already
  if (!loaded) {
    ResetImport(&importedModel, &readerCursor);
    return 0;
  }
  WideCopy(importedModel.sourcePath, kModelTextUnits, path.wide);
  const int32_t result = ParseSod(&readerCursor, context, &importedModel);
  ByteCursorRelease(&readerCursor);
  if (result == 0) ResetImport(&importedModel, &readerCursor);
  return result;
}
