// Text conversions of the reference host.
#pragma once

#include <string>

namespace host {

std::u16string Utf8ToUtf16(const std::string& text);
std::string Utf16ToUtf8(const std::u16string& text);
// The system's narrow (ANSI) code page, as the host fills the narrow halves.
std::string ToAnsi(const std::u16string& text);
std::u16string FromAnsi(const std::string& text);
// The text without the line breaks, blanks and tabs at its end (the plug-in's messages
// end in them).
std::string TrimmedEnd(std::string text);
// The text with its letters A to Z in lower case.
std::string LowerAscii(std::string text);
// The extension of a path (with its dot) in lower case: u".glb" for u"Ship.GLB".
std::u16string LowerCaseExtension(const std::u16string& path);

}  // namespace host
