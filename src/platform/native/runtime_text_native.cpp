// Stand-ins for the runtime's wcstombs and mbstowcs, behaving as the
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
