// Small helpers shared by the tests.
#pragma once

#include <string>

#include "common/dual_string.h"

inline std::u16string WideOf(const char16_t* text) { return std::u16string(text); }
inline std::string NarrowOf(const DualString& s) { return std::string(s.narrow); }
inline std::u16string WideOf(const DualString& s) { return std::u16string(s.wide); }

// A DualString with every byte set to `fill`, to see what an operation writes.
inline DualString FilledDualString(unsigned char fill) {
  DualString s;
  unsigned char* bytes = reinterpret_cast<unsigned char*>(&s);
  for (size_t i = 0; i < sizeof s; ++i) bytes[i] = fill;
  return s;
}
