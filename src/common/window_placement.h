// Placement of the plug-in's dialogs on the screen.
#pragma once

#include "platform/win32_api.h"

// Moves `window` so that it is centred on `reference` and kept on the screen.
// 0 when either handle is null, else the result of SetWindowPos.
int CenterWindow(HWND window, HWND reference);
