// The runtime library's conversions, as the Windows build has them.
#include <cstdlib>

#include "platform/runtime_text.h"
#include "platform/win32_api.h"

size_t RuntimeWideToNarrow(char* target, const char16_t* source, size_t targetBytes) {
  return wcstombs(target, WinText(source), targetBytes);
}

size_t RuntimeNarrowToWide(char16_t* target, const char* source, size_t targetUnits) {
  return mbstowcs(WinText(target), source, targetUnits);
}
