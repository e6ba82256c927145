#include "sidetext/text_line_writer.h"

#include <cstdarg>
#include <cstring>

#include "common/stream_write.h"

int WriteTextCrLf(FILE* stream, const char* text, size_t length) {
  if (stream == nullptr || (text == nullptr && length != 0)) return 0;
  size_t start = 0;
  for (size_t i = 0; i < length; ++i) {
    if (text[i] != '\n') continue;
    if (!WriteBytes(stream, text + start, i - start) || !WriteBytes(stream, "\r\n", 2)) return 0;
    start = i + 1;
  }
  return WriteBytes(stream, text + start, length - start);
}

int WriteFormattedCrLf(FILE* stream, const char* format, ...) {
  // The longest line of a side file: a 255-character name, a 127-character emitter
  // name and twelve numbers of at most 47 characters each, or a header with two host
  // texts of 259 characters.
  char text[2048];
  va_list arguments;
  va_start(arguments, format);
  int length = vsnprintf(text, sizeof text, format, arguments);
  va_end(arguments);
  if (length < 0 || static_cast<size_t>(length) >= sizeof text) return 0;
  return WriteTextCrLf(stream, text, static_cast<size_t>(length));
}
