// Writing side text files in binary mode with the line ends of a Windows text-mode
// stream: every LF written becomes CR LF (a CR before it stays, as text mode keeps
// it), so that every build writes the same bytes. Every byte goes through WriteBytes.
#pragma once

#include <cstddef>
#include <cstdio>

// Writes `length` bytes of `text` with each LF turned into CR LF. 1 when all went out.
int WriteTextCrLf(FILE* stream, const char* text, size_t length);

// Formats like snprintf (numbers as the C99 printf prints them) and writes the result
// with WriteTextCrLf. 0 when the text would exceed 2047 bytes or a write falls short.
int WriteFormattedCrLf(FILE* stream, const char* format, ...)
#if defined(__GNUC__)
    __attribute__((format(printf, 2, 3)))
#endif
    ;
