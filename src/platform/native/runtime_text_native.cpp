// Stand-ins for the runtime's wcstombs, mbstowcs and _wsplitpath, behaving as the
// Windows runtime does in its start-up "C" locale.
#include "platform/runtime_text.h"

size_t RuntimeWideToNarrow(char* target, const char16_t* source, size_t targetBytes) {
  size_t written = 0;
  for (;; ++source) {
    if (*source > 0xFF) return static_cast<size_t>(-1);
    if (*source == 0) {
      if (written < targetBytes) target[written] = 0;
      return written;
    }
    if (written == targetBytes) return written;
    target[written++] = static_cast<char>(*source);
  }
}

size_t RuntimeNarrowToWide(char16_t* target, const char* source, size_t targetUnits) {
  size_t written = 0;
  for (;; ++source) {
    if (*source == 0) {
      if (written < targetUnits) target[written] = 0;
      return written;
    }
    if (written == targetUnits) return written;
    target[written++] = static_cast<unsigned char>(*source);
  }
}

namespace {

void CopyRange(char16_t* out, const char16_t* begin, const char16_t* end) {
  size_t n = 0;
  for (; begin < end && n < kPathPartUnits - 1; ++begin) out[n++] = *begin;
  out[n] = 0;
}

}  // namespace

void SplitPathWide(const char16_t* path, char16_t* drive, char16_t* directory, char16_t* name, char16_t* extension) {
  const char16_t* end = path;
  while (*end != 0) ++end;
  const char16_t* rest = path;
  if (end - path >= 2 && path[1] == u':') rest = path + 2;
  CopyRange(drive, path, rest);
  const char16_t* nameStart = rest;
  for (const char16_t* p = rest; p < end; ++p) {
    if (*p == u'\\' || *p == u'/') nameStart = p + 1;
  }
  CopyRange(directory, rest, nameStart);
  const char16_t* dot = end;
  for (const char16_t* p = nameStart; p < end; ++p) {
    if (*p == u'.') dot = p;
  }
  CopyRange(name, nameStart, dot);
  CopyRange(extension, dot, end);
}
