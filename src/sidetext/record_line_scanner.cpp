#include "sidetext/record_line_scanner.h"

#include <cstdlib>
#include <cstring>

namespace {

bool IsWhiteSpace(char c) { return c == ' ' || c == '\t' || c == '\n' || c == '\v' || c == '\f' || c == '\r'; }

bool IsDigit(char c) { return c >= '0' && c <= '9'; }

const char* SkipWhiteSpace(const char* c) {
  while (IsWhiteSpace(*c)) ++c;
  return c;
}

const char* SkipDigits(const char* c) {
  while (IsDigit(*c)) ++c;
  return c;
}

// The end of the number that starts at `start`, or null when the longest run that
// could begin a number is not a whole number.
const char* NumberEnd(const char* start) {
  const char* c = start;
  if (*c == '+' || *c == '-') ++c;
  const char* digits = c;
  c = SkipDigits(c);
  bool mantissaDigits = c != digits;
  if (*c == '.') {
    const char* fraction = ++c;
    c = SkipDigits(c);
    mantissaDigits = mantissaDigits || c != fraction;
  }
  if (!mantissaDigits) return nullptr;
  if (*c == 'e' || *c == 'E') {
    ++c;
    if (*c == '+' || *c == '-') ++c;
    const char* exponent = c;
    c = SkipDigits(c);
    if (c == exponent) return nullptr;  // "1e" or "1e+": scanf has taken these and fails
  }
  return c;
}

// A word after white space into `field` (capacity bytes with the terminator). 0 when
// there is no word or it does not fit; the field may then hold anything.
int ScanWord(const char** cursor, char* field, size_t capacity) {
  const char* start = SkipWhiteSpace(*cursor);
  const char* end = start;
  while (*end != 0 && !IsWhiteSpace(*end)) ++end;
  size_t length = static_cast<size_t>(end - start);
  if (length == 0 || length >= capacity) return 0;
  std::memcpy(field, start, length);
  field[length] = 0;
  *cursor = end;
  return 1;
}

int ScanTransform(const char** cursor, Matrix4* transform) {
  for (int row = 0; row < 4; ++row) {
    for (int column = 0; column < 3; ++column) {
      if (!ScanNumber(cursor, &transform->m[row][column])) return 0;
    }
  }
  return 1;
}

}  // namespace

int ScanNumber(const char** cursor, float* value) {
  if (cursor == nullptr || *cursor == nullptr || value == nullptr) return 0;
  const char* start = SkipWhiteSpace(*cursor);
  const char* end = NumberEnd(start);
  if (end == nullptr) return 0;
  // Convert only the matched characters: strtof alone would also take forms such as
  // "0x1p3" or "infinity" that are no numbers here. A longer run than any printed
  // float (at most 47 characters with "%f") is refused.
  char digits[512];
  size_t length = static_cast<size_t>(end - start);
  if (length >= sizeof digits) return 0;
  std::memcpy(digits, start, length);
  digits[length] = 0;
  *value = std::strtof(digits, nullptr);
  *cursor = end;
  return 1;
}

int ScanMarkerLine(const char* line, MarkerRecord* record) {
  if (line == nullptr || record == nullptr) return 0;
  const char* cursor = line;
  return ScanWord(&cursor, record->name, sizeof record->name) && ScanTransform(&cursor, &record->transform);
}

int ScanEmitterLine(const char* line, EmitterRecord* record) {
  if (line == nullptr || record == nullptr) return 0;
  const char* cursor = line;
  return ScanWord(&cursor, record->name, sizeof record->name) &&
         ScanWord(&cursor, record->emitterName, sizeof record->emitterName) &&
         ScanTransform(&cursor, &record->transform);
}
