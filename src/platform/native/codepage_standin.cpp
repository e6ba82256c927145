// Stand-ins for the kernel's ANSI code page conversions. The native build's narrow
// code page is Windows-1252; units it cannot hold become '?', as without best fit.
#include "platform/win32_api.h"

namespace {

// Unicode of the bytes 0x80..0x9F; the five unassigned bytes map to themselves.
const char16_t kHighControls[32] = {
    0x20AC, 0x0081, 0x201A, 0x0192, 0x201E, 0x2026, 0x2020, 0x2021, 0x02C6, 0x2030, 0x0160,
    0x2039, 0x0152, 0x008D, 0x017D, 0x008F, 0x0090, 0x2018, 0x2019, 0x201C, 0x201D, 0x2022,
    0x2013, 0x2014, 0x02DC, 0x2122, 0x0161, 0x203A, 0x0153, 0x009D, 0x017E, 0x0178,
};

char16_t DecodeByte(unsigned char byte) {
  if (byte >= 0x80 && byte <= 0x9F) return kHighControls[byte - 0x80];
  return byte;
}

// The byte for `unit`, or -1 when the code page has none.
int EncodeUnit(char16_t unit) {
  if (unit < 0x80 || (unit >= 0xA0 && unit <= 0xFF)) return unit;
  for (int i = 0; i < 32; ++i) {
    if (kHighControls[i] == unit) return 0x80 + i;
  }
  return -1;
}

}  // namespace

int MultiByteToWideChar(UINT, DWORD, LPCSTR source, int sourceBytes, LPWSTR target, int targetUnits) {
  if (source == nullptr || targetUnits < 0) return 0;
  int length = sourceBytes;
  if (length < 0) {
    length = 0;
    while (source[length] != 0) ++length;
    ++length;  // the terminator is converted too
  }
  if (targetUnits == 0) return length;
  for (int i = 0; i < length; ++i) {
    if (i == targetUnits) return 0;  // too small: filled as far as it goes, like Windows
    target[i] = DecodeByte(static_cast<unsigned char>(source[i]));
  }
  return length;
}

int WideCharToMultiByte(UINT, DWORD, LPCWSTR source, int sourceUnits, LPSTR target, int targetBytes, LPCSTR defaultChar,
                        BOOL* usedDefault) {
  if (source == nullptr || targetBytes < 0) return 0;
  int length = sourceUnits;
  if (length < 0) {
    length = 0;
    while (source[length] != 0) ++length;
    ++length;
  }
  bool substituted = false;
  int written = 0;
  for (int i = 0; i < length; ++i) {
    char16_t unit = source[i];
    bool pair =
        unit >= 0xD800 && unit <= 0xDBFF && i + 1 < length && source[i + 1] >= 0xDC00 && source[i + 1] <= 0xDFFF;
    if (pair) ++i;  // one character, one substitute
    int code = pair ? -1 : EncodeUnit(unit);
    char byte = static_cast<char>(code);
    if (code < 0) {
      substituted = true;
      byte = defaultChar != nullptr ? *defaultChar : '?';
    }
    if (targetBytes != 0) {
      if (written == targetBytes) return 0;
      target[written] = byte;
    }
    ++written;
  }
  if (usedDefault != nullptr) *usedDefault = substituted ? TRUE : FALSE;
  return written;
}
