// Dialog template 102 as the real DLL carries it: header, font and every control in
// template order with its id, class, text, style and rectangle.
#include <gtest/gtest.h>

#include <cstring>
#include <string>
#include <vector>

#include "wine/dialog_template.h"
#include "wine/plugin_module.h"

namespace {

struct Control {
  int id;
  std::u16string className;
  std::u16string text;
  uint32_t style;
  int x, y, cx, cy;
};

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
  DialogTemplate t = ReadDialogTemplate(ThePlugin().module, 102);
  ASSERT_TRUE(t.found);
  EXPECT_EQ(0x80C800C0u, t.style);  // WS_POPUP | WS_CAPTION | WS_SYSMENU | DS_MODALFRAME | DS_SETFONT
  EXPECT_EQ(0u, t.extendedStyle);
  EXPECT_EQ(0, t.x);
  EXPECT_EQ(0, t.y);
  EXPECT_EQ(237, t.cx);
  EXPECT_EQ(231, t.cy);
  EXPECT_EQ(u"", t.menu);
  EXPECT_EQ(u"", t.windowClass);  // the standard dialog class
  EXPECT_EQ(u"Export SOD Model", t.caption);
  EXPECT_EQ(8, t.pointSize);
  EXPECT_EQ(u"MS Sans Serif", t.font);
  ASSERT_EQ(sizeof kControls / sizeof kControls[0], t.items.size());
  for (size_t i = 0; i < t.items.size(); ++i) {
    const Control& c = kControls[i];
    const TemplateItem& item = t.items[i];
    SCOPED_TRACE(c.id);
    EXPECT_EQ(c.style, item.style);
    EXPECT_EQ(0u, item.extendedStyle);
    EXPECT_EQ(c.x, item.x);
    EXPECT_EQ(c.y, item.y);
    EXPECT_EQ(c.cx, item.cx);
    EXPECT_EQ(c.cy, item.cy);
    EXPECT_EQ(c.id, item.id);
    EXPECT_EQ(c.className, item.className);
    EXPECT_EQ(c.text, item.text);
    EXPECT_EQ(0, item.creationBytes);
  }
  EXPECT_FALSE(t.overrun);
}
