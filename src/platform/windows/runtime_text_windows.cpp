// The runtime library's conversions and path splitter, as the Windows build has them.
#include <cstdlib>
#include <cwchar>

#include "platform/runtime_text.h"
#include "platform/win32_api.h"

size_t RuntimeWideToNarrow(char* target, const char16_t* source, size_t targetBytes) {
  return wcstombs(target, WinText(source), targetBytes);
}

size_t RuntimeNarrowToWide(char16_t* target, const char* source, size_t targetUnits) {
  return mbstowcs(WinText(target), source, targetUnits);
}

void SplitPathWide(const char16_t* path, char16_t* drive, char16_t* directory, char16_t* name, char16_t* extension) {
  // Every part fits its 260-unit buffer because the path itself has at most 259 units.
  _wsplitpath(WinText(path), WinText(drive), WinText(directory), WinText(name), WinText(extension));
}
