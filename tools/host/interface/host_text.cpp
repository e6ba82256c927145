#include "interface/host_text.h"

#include <filesystem>
#include <vector>

#include "interface/host_layout.h"
#include "platform/utf8_text.h"
#include "platform/win32_api.h"

namespace host {

std::u16string Utf8ToUtf16(const std::string& text) {
  std::u16string out;
  size_t i = 0;
  while (i < text.size()) {
    unsigned char lead = static_cast<unsigned char>(text[i]);
    size_t extra = lead >= 0xF0 ? 3 : lead >= 0xE0 ? 2 : lead >= 0xC0 ? 1 : 0;
    uint32_t code = lead;
    if (lead >= 0x80) {
      code = 0xFFFD;
      if (extra > 0 && i + extra < text.size()) {
        code = lead & (0x3F >> extra);
        for (size_t k = 1; k <= extra; ++k) code = (code << 6) | (static_cast<unsigned char>(text[i + k]) & 0x3F);
      }
    }
    i += extra + 1;
    if (code >= 0x10000) {
      code -= 0x10000;
      out += static_cast<char16_t>(0xD800 + (code >> 10));
      out += static_cast<char16_t>(0xDC00 + (code & 0x3FF));
    } else {
      out += static_cast<char16_t>(code);
    }
  }
  return out;
}

std::string Utf16ToUtf8(const std::u16string& text) { return ::Utf16ToUtf8(text.data(), text.size()); }

std::string ToAnsi(const std::u16string& text) {
  if (text.empty()) return std::string();
  std::vector<char> out(text.size() * 2 + 1, 0);
  int n = WideCharToMultiByte(CP_ACP, 0, WinText(text.c_str()), static_cast<int>(text.size()), out.data(),
                              static_cast<int>(out.size()), nullptr, nullptr);
  return std::string(out.data(), n > 0 ? static_cast<size_t>(n) : 0);
}

std::u16string FromAnsi(const std::string& text) {
  if (text.empty()) return std::u16string();
  std::vector<char16_t> out(text.size() + 1, 0);
  int n = MultiByteToWideChar(CP_ACP, 0, text.c_str(), static_cast<int>(text.size()), WinText(out.data()),
                              static_cast<int>(out.size()));
  return std::u16string(out.data(), n > 0 ? static_cast<size_t>(n) : 0);
}

std::string LowerAscii(std::string text) {
  for (char& c : text) {
    if (c >= 'A' && c <= 'Z') c = static_cast<char>(c - 'A' + 'a');
  }
  return text;
}

std::string TrimmedEnd(std::string text) {
  while (!text.empty() && (text.back() == '\n' || text.back() == '\r' || text.back() == ' ' || text.back() == '\t')) {
    text.pop_back();
  }
  return text;
}

std::u16string LowerCaseExtension(const std::u16string& path) {
  std::u16string extension = std::filesystem::path(path).extension().u16string();
  for (char16_t& c : extension) c = c >= u'A' && c <= u'Z' ? static_cast<char16_t>(c + 32) : c;
  return extension;
}

}  // namespace host

namespace layout {

std::u16string WideField(const void* base, size_t offset) {
  std::u16string out;
  for (size_t i = 0; i < kTextUnits; ++i) {
    char16_t unit = Get<char16_t>(base, offset + 2 * i);
    if (unit == 0) break;
    out += unit;
  }
  return out;
}

std::string NarrowField(const void* base, size_t offset) {
  std::string out;
  for (size_t i = 0; i < kTextUnits; ++i) {
    char c = Get<char>(base, offset + kTextNarrow + i);
    if (c == 0) break;
    out += c;
  }
  return out;
}

void PutTextField(void* base, size_t offset, const std::u16string& wide, const std::string& narrow) {
  uint8_t* field = static_cast<uint8_t*>(base) + offset;
  std::memset(field, 0, kTextBytes);
  for (size_t i = 0; i < wide.size() && i + 1 < kTextUnits; ++i) Put<char16_t>(field, 2 * i, wide[i]);
  for (size_t i = 0; i < narrow.size() && i + 1 < kTextUnits; ++i)
    field[kTextNarrow + i] = static_cast<uint8_t>(narrow[i]);
}

}  // namespace layout
