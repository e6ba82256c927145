#include "common/safe_file.h"

#include <ctime>

#include "common/wide_text.h"
#include "platform/file_system.h"

namespace {

// Temporary names are "~kv", four hex digits and ".tmp", tried from a start that
// differs between runs until one does not exist yet. In a directory so deep that such
// a name would not fit the 259 units a path may have, the name shrinks to "~" and as
// many hex digits as fit (at least one), so that any file that can be named can be
// written whole.
constexpr int kNameAttempts = 64;
unsigned nextName = 0;

void TemporaryName(const char16_t* target, unsigned number, char16_t* out) {
  size_t directoryEnd = 0;
  size_t length = WideLengthBounded(target, kPathUnits - 1);
  for (size_t i = 0; i < length; ++i) {
    if (target[i] == u'\\' || target[i] == u'/' || (i == 1 && target[i] == u':')) directoryEnd = i + 1;
  }
  const char16_t hex[] = u"0123456789abcdef";
  char16_t name[16] = u"~kv0000.tmp";
  for (int i = 0; i < 4; ++i) name[3 + i] = hex[(number >> (12 - 4 * i)) & 0xF];
  const size_t room = kPathUnits - 1 - directoryEnd;
  if (room < WideLength(name)) {
    const size_t digits = room < 2 ? 0 : room - 1 > 4 ? 4 : room - 1;
    name[0] = u'~';
    for (size_t i = 0; i < digits; ++i) name[1 + i] = hex[(number >> (4 * i)) & 0xF];
    name[1 + digits] = 0;
    if (digits == 0) name[0] = 0;
  }
  out[0] = 0;
  if (name[0] == 0) return;
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
