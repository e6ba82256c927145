// Dialog templates as the real DLL carries them: the classic DLGTEMPLATE header and
// its DLGITEMTEMPLATE items, read from the module's resources.
#pragma once

#include <cstdint>
#include <cstring>
#include <string>
#include <vector>

#include "platform/win32_api.h"

struct TemplateItem {
  uint32_t style;
  uint32_t extendedStyle;
  int16_t x, y, cx, cy;
  int16_t id;
  std::u16string className;  // lower case, also for a class given by its ordinal
  std::u16string text;
  uint16_t creationBytes;
};

struct DialogTemplate {
  bool found = false;
  bool overrun = false;  // the items ran past the resource's end
  uint32_t style = 0;
  uint32_t extendedStyle = 0;
  int16_t x = 0, y = 0, cx = 0, cy = 0;
  std::u16string menu, windowClass, caption;
  uint16_t pointSize = 0;
  std::u16string font;
  std::vector<TemplateItem> items;
};

namespace dialog_template_detail {

class Reader {
 public:
  Reader(const uint8_t* data, size_t size) : data_(data), size_(size) {}
  uint16_t Word() {
    uint16_t w = 0;
    if (at_ + 2 <= size_) std::memcpy(&w, data_ + at_, 2);
    at_ += 2;
    return w;
  }
  uint32_t Dword() {
    uint32_t low = Word();
    return low | static_cast<uint32_t>(Word()) << 16;
  }
  int16_t Short() { return static_cast<int16_t>(Word()); }
  // A text, or an ordinal written as "#n".
  std::u16string Text() {
    uint16_t first = Word();
    if (first == 0xFFFF) {
      std::string n = std::to_string(Word());
      return u"#" + std::u16string(n.begin(), n.end());
    }
    std::u16string text;
    for (uint16_t c = first; c != 0 && at_ <= size_; c = Word()) text += static_cast<char16_t>(c);
    return text;
  }
  void AlignDword() { at_ = (at_ + 3) & ~static_cast<size_t>(3); }
  void Skip(size_t n) { at_ += n; }
  bool Overrun() const { return at_ > size_; }

 private:
  const uint8_t* data_;
  size_t size_;
  size_t at_ = 0;
};

inline std::u16string ClassName(const std::u16string& stored) {
  if (stored == u"#128") return u"button";
  if (stored == u"#129") return u"edit";
  if (stored == u"#130") return u"static";
  if (stored == u"#131") return u"listbox";
  std::u16string lower = stored;
  for (char16_t& c : lower) c = c >= u'A' && c <= u'Z' ? static_cast<char16_t>(c - u'A' + u'a') : c;
  return lower;
}

}  // namespace dialog_template_detail

// Template `id` (US English) of `module`; `found` is false when it has none.
inline DialogTemplate ReadDialogTemplate(HMODULE module, int id) {
  using dialog_template_detail::Reader;
  DialogTemplate t;
  HRSRC resource = FindResourceExW(module, MAKEINTRESOURCEW(5) /* RT_DIALOG */, MAKEINTRESOURCEW(id),
                                   MAKELANGID(LANG_ENGLISH, SUBLANG_ENGLISH_US));
  if (resource == nullptr) return t;
  const uint8_t* data = static_cast<const uint8_t*>(LockResource(LoadResource(module, resource)));
  if (data == nullptr) return t;
  Reader r(data, SizeofResource(module, resource));
  t.found = true;
  t.style = r.Dword();
  t.extendedStyle = r.Dword();
  const uint16_t count = r.Word();
  t.x = r.Short();
  t.y = r.Short();
  t.cx = r.Short();
  t.cy = r.Short();
  t.menu = r.Text();
  t.windowClass = r.Text();
  t.caption = r.Text();
  if (t.style & DS_SETFONT) {
    t.pointSize = r.Word();
    t.font = r.Text();
  }
  for (uint16_t i = 0; i < count && !r.Overrun(); ++i) {
    r.AlignDword();
    TemplateItem item;
    item.style = r.Dword();
    item.extendedStyle = r.Dword();
    item.x = r.Short();
    item.y = r.Short();
    item.cx = r.Short();
    item.cy = r.Short();
    item.id = r.Short();
    item.className = dialog_template_detail::ClassName(r.Text());
    item.text = r.Text();
    item.creationBytes = r.Word();
    r.Skip(item.creationBytes);
    t.items.push_back(item);
  }
  t.overrun = r.Overrun();
  return t;
}
