// Dialog template 102 as the real DLL carries it: header, font and every control in
// template order with its id, class, text, style and rectangle.
#include <gtest/gtest.h>

#include <cstring>
#include <string>
#include <vector>

#include "wine/plugin_module.h"

namespace {

// Reads a classic dialog template (DLGTEMPLATE and its DLGITEMTEMPLATEs).
class TemplateReader {
 public:
  TemplateReader(const uint8_t* data, size_t size) : data_(data), size_(size) {}
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
    if (first == 0xFFFF) return u"#" + Num(Word());
    std::u16string text;
    for (uint16_t c = first; c != 0 && at_ <= size_; c = Word()) text += static_cast<char16_t>(c);
    return text;
  }
  void AlignDword() { at_ = (at_ + 3) & ~static_cast<size_t>(3); }
  bool Overrun() const { return at_ > size_; }

 private:
  static std::u16string Num(uint16_t n) {
    std::string s = std::to_string(n);
    return std::u16string(s.begin(), s.end());
  }
  const uint8_t* data_;
  size_t size_;
  size_t at_ = 0;
};

struct Control {
  int id;
  std::u16string className;
  std::u16string text;
  uint32_t style;
  int x, y, cx, cy;
};

// A control class by name, in lower case, whether the template names it or gives the
// predefined class's ordinal.
std::u16string ClassName(const std::u16string& stored) {
  if (stored == u"#128") return u"button";
  if (stored == u"#129") return u"edit";
  std::u16string lower = stored;
  for (char16_t& c : lower) c = c >= u'A' && c <= u'Z' ? static_cast<char16_t>(c - u'A' + u'a') : c;
  return lower;
}

constexpr uint32_t kChild = WS_CHILD | WS_VISIBLE;

const Control kControls[] = {
    {1, u"button", u"OK", kChild | BS_DEFPUSHBUTTON | WS_TABSTOP, 180, 10, 50, 14},
    {2, u"button", u"Cancel", kChild | BS_PUSHBUTTON | WS_TABSTOP, 180, 27, 50, 14},
    {-1, u"button", u"Export Options", kChild | BS_GROUPBOX, 5, 5, 165, 55},
    {1000, u"button", u"ST Armada 1", kChild | BS_RADIOBUTTON, 15, 20, 95, 8},
    {1001, u"button", u"ST Armada 2", kChild | BS_RADIOBUTTON, 15, 30, 95, 8},
    {1011, u"button", u"Export materials", kChild | BS_AUTOCHECKBOX | WS_TABSTOP, 15, 45, 90, 8},
    {-1, u"button", u"Hardpoint Options", kChild | BS_GROUPBOX, 5, 65, 165, 50},
    {1015, u"button", u"Import hardpoints from text file", kChild | BS_AUTOCHECKBOX | WS_TABSTOP, 15, 80, 110, 8},
    {1012, u"edit", u"", kChild | WS_BORDER | WS_TABSTOP | ES_AUTOHSCROLL, 15, 95, 115, 12},
    {1018, u"button", u"...", kChild | BS_PUSHBUTTON | WS_TABSTOP, 140, 95, 20, 14},
    {-1, u"button", u"Sprite Options", kChild | BS_GROUPBOX, 5, 120, 165, 50},
    {1016, u"button", u"Import sprites from text file", kChild | BS_AUTOCHECKBOX | WS_TABSTOP, 15, 135, 110, 8},
    {1013, u"edit", u"", kChild | WS_BORDER | WS_TABSTOP | ES_AUTOHSCROLL, 15, 150, 115, 12},
    {1019, u"button", u"...", kChild | BS_PUSHBUTTON | WS_TABSTOP, 140, 150, 20, 14},
    {-1, u"button", u"Emitter Options", kChild | BS_GROUPBOX, 5, 175, 165, 50},
    {1017, u"button", u"Import emitters from text file", kChild | BS_AUTOCHECKBOX | WS_TABSTOP, 15, 190, 110, 8},
    {1014, u"edit", u"", kChild | WS_BORDER | WS_TABSTOP | ES_AUTOHSCROLL, 15, 204, 115, 12},
    {1020, u"button", u"...", kChild | BS_PUSHBUTTON | WS_TABSTOP, 140, 204, 20, 14},
};

}  // namespace

TEST(ExportDialogTemplate, EveryControlAsDesigned) {
  HRSRC found = FindResourceExW(ThePlugin().module, MAKEINTRESOURCEW(5) /* RT_DIALOG */, MAKEINTRESOURCEW(102),
                                MAKELANGID(LANG_ENGLISH, SUBLANG_ENGLISH_US));
  ASSERT_NE(nullptr, found);
  HGLOBAL loaded = LoadResource(ThePlugin().module, found);
  const uint8_t* data = static_cast<const uint8_t*>(LockResource(loaded));
  ASSERT_NE(nullptr, data);
  TemplateReader r(data, SizeofResource(ThePlugin().module, found));
  EXPECT_EQ(0x80C800C0u, r.Dword());  // WS_POPUP | WS_CAPTION | WS_SYSMENU | DS_MODALFRAME | DS_SETFONT
  EXPECT_EQ(0u, r.Dword());           // extended style
  const uint16_t count = r.Word();
  ASSERT_EQ(sizeof kControls / sizeof kControls[0], count);
  EXPECT_EQ(0, r.Short());
  EXPECT_EQ(0, r.Short());
  EXPECT_EQ(237, r.Short());
  EXPECT_EQ(231, r.Short());
  EXPECT_EQ(u"", r.Text());  // no menu
  EXPECT_EQ(u"", r.Text());  // the standard dialog class
  EXPECT_EQ(u"Export SOD Model", r.Text());
  EXPECT_EQ(8, r.Word());
  EXPECT_EQ(u"MS Sans Serif", r.Text());
  for (const Control& c : kControls) {
    SCOPED_TRACE(c.id);
    r.AlignDword();
    EXPECT_EQ(c.style, r.Dword());
    EXPECT_EQ(0u, r.Dword());
    EXPECT_EQ(c.x, r.Short());
    EXPECT_EQ(c.y, r.Short());
    EXPECT_EQ(c.cx, r.Short());
    EXPECT_EQ(c.cy, r.Short());
    EXPECT_EQ(static_cast<uint16_t>(c.id), r.Word());
    EXPECT_EQ(c.className, ClassName(r.Text()));
    EXPECT_EQ(c.text, r.Text());
    EXPECT_EQ(0, r.Word());  // no creation data
  }
  EXPECT_FALSE(r.Overrun());
}
