#include "common/wide_text.h"

#include <cstdarg>
#include <cstdio>

size_t WideLength(const char16_t* text) {
  size_t n = 0;
  while (text[n] != 0) ++n;
  return n;
}

size_t WideLengthBounded(const char16_t* text, size_t capacity) {
  size_t n = 0;
  while (n < capacity && text[n] != 0) ++n;
  return n;
}

size_t NarrowLengthBounded(const char* text, size_t capacity) {
  size_t n = 0;
  while (n < capacity && text[n] != 0) ++n;
  return n;
}

namespace {

template <typename Char>
int CopyBounded(Char* target, size_t capacity, const Char* source) {
  if (capacity == 0) return 0;
  size_t n = 0;
  for (; source[n] != 0; ++n) {
    if (n + 1 == capacity) {
      target[n] = 0;
      return 0;
    }
    target[n] = source[n];
  }
  target[n] = 0;
  return 1;
}

}  // namespace

int WideCopy(char16_t* target, size_t capacity, const char16_t* source) {
  return CopyBounded(target, capacity, source);
}

int NarrowCopy(char* target, size_t capacity, const char* source) { return CopyBounded(target, capacity, source); }

int WideAppend(char16_t* target, size_t capacity, const char16_t* source) {
  size_t used = WideLengthBounded(target, capacity);
  size_t extra = WideLength(source);
  if (used >= capacity || extra >= capacity - used) return 0;
  for (size_t i = 0; i <= extra; ++i) target[used + i] = source[i];
  return 1;
}

bool WideEqual(const char16_t* a, const char16_t* b) {
  for (;; ++a, ++b) {
    if (*a != *b) return false;
    if (*a == 0) return true;
  }
}

namespace {

struct WideSink {
  char16_t* target;
  size_t capacity;
  size_t used;
  void Put(char16_t unit) {
    if (used + 1 < capacity) target[used++] = unit;
  }
  void PutAscii(const char* text) {
    for (; *text != 0; ++text) Put(static_cast<unsigned char>(*text));
  }
};

}  // namespace

void FormatWide(char16_t* target, size_t capacity, const char* format, ...) {
  if (capacity == 0) return;
  WideSink sink{target, capacity, 0};
  va_list args;
  va_start(args, format);
  for (const char* p = format; *p != 0; ++p) {
    char number[400];
    if (p[0] != '%') {
      sink.Put(static_cast<unsigned char>(*p));
    } else if (p[1] == 'd') {
      const int value = va_arg(args, int);
      (void)snprintf(number, sizeof number, "%d", value);
      sink.PutAscii(number);
      p += 1;
    } else if (p[1] == '.' && p[2] == '2' && p[3] == 'f') {
      const double value = va_arg(args, double);
      (void)snprintf(number, sizeof number, "%.2f", value);
      sink.PutAscii(number);
      p += 3;
    } else if (p[1] == 's') {
      const char16_t* text = va_arg(args, const char16_t*);
      for (; text != nullptr && *text != 0; ++text) sink.Put(*text);
      p += 1;
    } else if (p[1] == '%') {
      sink.Put(u'%');
      p += 1;
    } else {
      sink.Put(u'%');
    }
  }
  va_end(args);
  target[sink.used] = 0;
}

void WidenLatin1(char16_t* target, size_t capacity, const char* source) {
  if (capacity == 0) return;
  size_t n = 0;
  for (; source[n] != 0 && n + 1 < capacity; ++n) target[n] = static_cast<unsigned char>(source[n]);
  target[n] = 0;
}
