// Window centring on the scriptable desktop of the native build.
#include <gtest/gtest.h>

#include "common/window_placement.h"
#include "platform/native/ui_standin.h"

namespace {

struct Placement {
  RECT window;
  RECT reference;
  int screenWidth, screenHeight;
  int x, y;
};

// Centred on the reference, pulled onto the screen by the one rule that applies.
const Placement kPlacements[] = {
    {{0, 0, 200, 100}, {0, 0, 1024, 768}, 1024, 768, 412, 334},
    {{0, 0, 201, 101}, {0, 0, 1024, 768}, 1024, 768, 411, 333},
    {{0, 0, 200, 100}, {-500, -400, 100, 100}, 1024, 768, 0, 0},
    {{0, 0, 200, 100}, {900, 700, 1300, 900}, 1024, 768, 824, 668},
    {{0, 0, 1500, 900}, {0, 0, 1024, 768}, 1024, 768, 0, 0},
    {{0, 0, 1500, 900}, {600, 500, 1400, 900}, 1024, 768, -476, -132},
    {{0, 0, 3, 3}, {0, 0, 0, 0}, 1024, 768, 0, 0},
    // (0 - 3) / 2 rounds toward zero: 10 - 1, not 10 - 2.
    {{0, 0, 3, 3}, {10, 10, 10, 10}, 1024, 768, 9, 9},
};

}  // namespace

TEST(CenterWindow, CentresAndKeepsOnScreen) {
  for (const Placement& p : kPlacements) {
    StandinResetDesktop();
    StandinSetScreenSize(p.screenWidth, p.screenHeight);
    HWND window = StandinCreateWindow(p.window);
    HWND reference = StandinCreateWindow(p.reference);
    ASSERT_EQ(1, CenterWindow(window, reference));
    RECT r;
    GetWindowRect(window, &r);
    EXPECT_EQ(p.x, r.left);
    EXPECT_EQ(p.y, r.top);
    EXPECT_EQ(p.window.right - p.window.left, r.right - r.left);
  }
}

TEST(CenterWindow, DesktopReferenceAndNullHandles) {
  StandinResetDesktop();
  StandinSetScreenSize(800, 600);
  HWND window = StandinCreateWindow(RECT{10, 10, 410, 310});
  EXPECT_EQ(1, CenterWindow(window, GetDesktopWindow()));
  RECT r;
  GetWindowRect(window, &r);
  EXPECT_EQ(200, r.left);
  EXPECT_EQ(150, r.top);
  EXPECT_EQ(0, CenterWindow(nullptr, window));
  EXPECT_EQ(0, CenterWindow(window, nullptr));
}
