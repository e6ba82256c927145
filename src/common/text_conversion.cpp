#include "common/text_conversion.h"

#include <climits>

#include "platform/win32_api.h"

void NarrowToWide(const char* source, char16_t* target, size_t targetUnits) {
  if (source == nullptr || target == nullptr || targetUnits == 0) return;
  int capacity = targetUnits > INT_MAX ? INT_MAX : static_cast<int>(targetUnits);
  // On a target that is too small the system fills it without a terminator.
  if (MultiByteToWideChar(CP_ACP, MB_PRECOMPOSED, source, -1, WinText(target), capacity) == 0) {
    target[targetUnits - 1] = 0;
  }
}

void WideToNarrow(const char16_t* source, char* target, size_t targetBytes) {
  if (source == nullptr || target == nullptr || targetBytes == 0) return;
  int capacity = targetBytes > INT_MAX ? INT_MAX : static_cast<int>(targetBytes);
  if (WideCharToMultiByte(CP_ACP, 0, WinText(source), -1, target, capacity, nullptr, nullptr) == 0) {
    target[targetBytes - 1] = 0;
  }
}
