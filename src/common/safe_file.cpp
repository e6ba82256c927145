#include "common/safe_file.h"

#include <ctime>

#include "common/wide_text.h"
#include "platform/file_system.h"

namespace {

// Temporary names are "~kv" and four hex digits with ".tmp", tried from a start that
// differs between runs until one does not exist yet.
constexpr int kNameAttempts = 64;
unsigned nextName = 0;

void TemporaryName(const char16_t* target, unsigned number, char16_t* out) {
  size_t directoryEnd = 0;
  size_t length = WideLengthBounded(target, kPathUnits - 1);
  for (size_t i = 0; i < length; ++i) {
    if (target[i] == u'\\' || target[i] == u'/' || (i == 1 && target[i] == u':')) directoryEnd = i + 1;
  }
  char16_t name[16] = u"~kv0000.tmp";
  const char16_t hex[] = u"0123456789abcdef";
  for (int i = 0; i < 4; ++i) name[3 + i] = hex[(number >> (12 - 4 * i)) & 0xF];
  out[0] = 0;
  if (directoryEnd + WideLength(name) >= kPathUnits) return;
  for (size_t i = 0; i < directoryEnd; ++i) out[i] = target[i];
  out[directoryEnd] = 0;
  WideAppend(out, kPathUnits, name);
}

}  // namespace

int SafeFileOpen(SafeFile* file, const char16_t* target) {
  if (file == nullptr) return 0;
  file->stream = nullptr;
  file->target[0] = 0;
  file->temporary[0] = 0;
  if (target == nullptr || target[0] == 0 || !WideCopy(file->target, kPathUnits, target)) return 0;
  if (nextName == 0) nextName = static_cast<unsigned>(time(nullptr)) * 2654435761u | 1u;
  for (int attempt = 0; attempt < kNameAttempts; ++attempt) {
    TemporaryName(file->target, nextName++, file->temporary);
    if (file->temporary[0] == 0) return 0;
    file->stream = CreateNewFileWide(file->temporary);
    if (file->stream != nullptr) return 1;
  }
  file->temporary[0] = 0;
  return 0;
}

int SafeFileCommit(SafeFile* file) {
  if (file == nullptr || file->stream == nullptr) return 0;
  bool written = fflush(file->stream) == 0 && ferror(file->stream) == 0;
  written = fclose(file->stream) == 0 && written;
  file->stream = nullptr;
  if (written && ReplaceFileWide(file->temporary, file->target)) {
    file->temporary[0] = 0;
    return 1;
  }
  RemoveFileWide(file->temporary);
  file->temporary[0] = 0;
  return 0;
}

void SafeFileAbandon(SafeFile* file) {
  if (file == nullptr) return;
  if (file->stream != nullptr) (void)fclose(file->stream);  // its contents are thrown away
  file->stream = nullptr;
  if (file->temporary[0] != 0) RemoveFileWide(file->temporary);
  file->temporary[0] = 0;
}
