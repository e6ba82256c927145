#include "common/paths.h"

#include "common/wide_text.h"

namespace {

// The parts of a path as the runtime's splitter names them: drive ("C:"), directory
// (up to and including the last '\' or '/'), file name, and extension (from the last
// '.' of the file name). The plug-in splits paths itself, on both platforms, so that
// no part is bound by the runtime's 256-unit limits.
struct PathParts {
  const char16_t* begin;
  const char16_t* directory;
  const char16_t* name;
  const char16_t* extension;
  const char16_t* end;
};

PathParts Split(const char16_t* path) {
  PathParts p;
  p.begin = path;
  p.end = path + WideLengthBounded(path, kPathUnits - 1);
  p.directory = p.end - p.begin >= 2 && path[1] == u':' ? path + 2 : path;
  p.name = p.directory;
  for (const char16_t* c = p.directory; c < p.end; ++c) {
    if (*c == u'\\' || *c == u'/') p.name = c + 1;
  }
  p.extension = p.end;
  for (const char16_t* c = p.name; c < p.end; ++c) {
    if (*c == u'.') p.extension = c;
  }
  return p;
}

// Copies [begin, end) into out, which holds kPathUnits units.
int CopyRange(char16_t* out, const char16_t* begin, const char16_t* end) {
  size_t n = 0;
  for (; begin < end; ++begin) {
    if (n + 1 == kPathUnits) {
      out[0] = 0;
      return 0;
    }
    out[n++] = *begin;
  }
  out[n] = 0;
  return 1;
}

int DirectoryWithSeparator(const char16_t* path, char16_t* out, bool slashEndsIt) {
  if (path == nullptr || out == nullptr) return 0;
  PathParts parts = Split(path);
  CopyRange(out, parts.begin, parts.name);
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
  PathParts parts = Split(path);
  return CopyRange(out, parts.name, parts.extension);
}
