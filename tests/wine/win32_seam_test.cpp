// The plug-in's shared utilities on the real Win32 user interface.
#include <gtest/gtest.h>

#include "common/window_placement.h"

TEST(RealWindows, CenterWindowCentresOnTheDesktop) {
  HWND window = CreateWindowExW(0, L"STATIC", L"probe", WS_POPUP, 0, 0, 300, 200, nullptr, nullptr, nullptr, nullptr);
  ASSERT_NE(nullptr, window);
  ASSERT_NE(0, CenterWindow(window, GetDesktopWindow()));
  RECT desktop, r;
  GetWindowRect(GetDesktopWindow(), &desktop);
  GetWindowRect(window, &r);
  EXPECT_EQ(desktop.left + (desktop.right - desktop.left - 300) / 2, r.left);
  EXPECT_EQ(desktop.top + (desktop.bottom - desktop.top - 200) / 2, r.top);
  EXPECT_EQ(300, r.right - r.left);

  // A window wider than the screen ends left of it.
  HDC dc = GetDC(window);
  int screenWidth = GetDeviceCaps(dc, HORZRES);
  ReleaseDC(window, dc);
  SetWindowPos(window, nullptr, 0, 0, screenWidth + 200, 100, SWP_NOZORDER);
  // Centred on a reference that starts where the window ends: x = w, then x + w > screen.
  int w = screenWidth + 200;
  HWND reference = CreateWindowExW(0, L"STATIC", L"ref", WS_POPUP, w, 0, w, 100, nullptr, nullptr, nullptr, nullptr);
  ASSERT_NE(0, CenterWindow(window, reference));
  GetWindowRect(window, &r);
  EXPECT_EQ(-200, r.left);
  DestroyWindow(reference);
  DestroyWindow(window);
  EXPECT_EQ(0, CenterWindow(nullptr, GetDesktopWindow()));
}
