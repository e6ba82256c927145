#include "common/paths.h"

#include "common/wide_text.h"
#include "platform/runtime_text.h"

namespace {

struct PathParts {
  char16_t drive[kPathPartUnits];
  char16_t directory[kPathPartUnits];
  char16_t name[kPathPartUnits];
  char16_t extension[kPathPartUnits];
};

void Split(const char16_t* path, PathParts* parts) {
  // The splitter expects at most 259 units; a longer text is only looked at that far.
  char16_t bounded[kPathPartUnits];
  WideCopy(bounded, kPathPartUnits, path);
  SplitPathWide(bounded, parts->drive, parts->directory, parts->name, parts->extension);
}

int DirectoryWithSeparator(const char16_t* path, char16_t* out, bool slashEndsIt) {
  if (path == nullptr || out == nullptr) return 0;
  PathParts parts;
  Split(path, &parts);
  out[0] = 0;
  if (!WideAppend(out, kPathUnits, parts.drive) || !WideAppend(out, kPathUnits, parts.directory)) {
    out[0] = 0;
    return 0;
  }
  size_t length = WideLength(out);
  if (length == 0) return 1;
  char16_t last = out[length - 1];
  if (last == u'\\' || (slashEndsIt && last == u'/')) return 1;
  if (!WideAppend(out, kPathUnits, u"\\")) {
    out[0] = 0;
    return 0;
  }
  return 1;
}

}  // namespace

int DirectoryOfPath(const char16_t* path, char16_t* out) { return DirectoryWithSeparator(path, out, true); }

int DirectoryOfPathBackslash(const char16_t* path, char16_t* out) { return DirectoryWithSeparator(path, out, false); }

int FileTitleOfPath(const char16_t* path, char16_t* out) {
  if (path == nullptr || out == nullptr) return 0;
  PathParts parts;
  Split(path, &parts);
  WideCopy(out, kPathUnits, parts.name);
  return 1;
}
