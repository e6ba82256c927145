#include "common/window_placement.h"

namespace {

// One axis: centred, then pulled back onto the screen by the one rule that applies.
int PlaceOnAxis(int referenceStart, int referenceLength, int length, int screenLength) {
  int position = referenceStart + (referenceLength - length) / 2;
  if (position < 0) {
    position = 0;
  } else if (position + length > screenLength) {
    position = screenLength - length;  // negative for a window larger than the screen
  }
  return position;
}

}  // namespace

int CenterWindow(HWND window, HWND reference) {
  if (window == nullptr || reference == nullptr) return 0;
  RECT own = {0, 0, 0, 0};
  RECT around = {0, 0, 0, 0};
  GetWindowRect(window, &own);
  GetWindowRect(reference, &around);
  HDC dc = GetDC(window);
  int screenWidth = GetDeviceCaps(dc, HORZRES);
  int screenHeight = GetDeviceCaps(dc, VERTRES);
  ReleaseDC(window, dc);
  int x = PlaceOnAxis(around.left, around.right - around.left, own.right - own.left, screenWidth);
  int y = PlaceOnAxis(around.top, around.bottom - around.top, own.bottom - own.top, screenHeight);
  return SetWindowPos(window, nullptr, x, y, 0, 0, SWP_NOSIZE | SWP_NOZORDER);
}
