#include "common/name_compare.h"

namespace {

int Fold(char c) {
  unsigned char u = static_cast<unsigned char>(c);
  return u >= 'A' && u <= 'Z' ? u + ('a' - 'A') : u;
}

}  // namespace

int CompareTextNoCase(const char* a, const char* b) {
  for (;; ++a, ++b) {
    int difference = Fold(*a) - Fold(*b);
    if (difference != 0 || *a == 0) return difference;
  }
}

int CompareNamesNoCase(const void* a, const void* b) {
  return CompareTextNoCase(static_cast<const char*>(a), static_cast<const char*>(b));
}

void LowerCaseAscii(char* text) {
  for (; *text != 0; ++text) *text = static_cast<char>(Fold(*text));
}
