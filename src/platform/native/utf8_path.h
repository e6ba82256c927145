// UTF-16 to UTF-8 conversion for the native build's file functions.
#pragma once

#include <string>

// Converts a zero-terminated UTF-16 text; a lone surrogate becomes U+FFFD.
std::string Utf16ToUtf8(const char16_t* text);
