// A small scriptable desktop behind the native build's Win32 user-interface calls.
//
// Nothing is drawn. Windows are records with a rectangle, a text, a check state, an
// enabled flag and, for list boxes, entries with a selection. A dialog opened with
// DialogBoxParamW receives WM_INITDIALOG and is then handed to the dialog driver that
// a test or the reference host installed; without a driver the dialog is "not shown"
// and DialogBoxParamW answers -1, as Windows does without a display. Message boxes
// and the open-file dialog are answered by handlers in the same way.
#pragma once

#include <string>
#include <vector>

#include "platform/win32_api.h"

enum class StandinControlKind { kPlain, kPushButton, kAutoCheckBox, kRadioButton, kEdit, kListBox };

typedef void (*StandinDialogDriver)(HWND dialog, int templateId, void* user);
typedef int (*StandinMessageBoxHandler)(HWND owner, const std::u16string& text, const std::u16string& caption,
                                        UINT type, void* user);
// Fills the request as the user's choice would; returns TRUE for a chosen file, else
// FALSE with the extended error in *error.
typedef BOOL (*StandinOpenFileHandler)(OPENFILENAMEW* request, DWORD* error, void* user);

void StandinSetDialogDriver(StandinDialogDriver driver, void* user);
void StandinSetMessageBoxHandler(StandinMessageBoxHandler handler, void* user);
void StandinSetOpenFileHandler(StandinOpenFileHandler handler, void* user);

// Forgets every window and handler and sets the screen back to 1024 x 768.
void StandinResetDesktop();
void StandinSetScreenSize(int width, int height);
HWND StandinCreateWindow(const RECT& rect);
// Forgets a window that StandinCreateWindow made, and the controls it has.
void StandinDestroyWindow(HWND window);
void StandinSetFocus(HWND window);

// Gives a dialog control the behaviour of its kind (an auto check box toggles on
// BM_CLICK); controls of a dialog come into being when first addressed.
void StandinDeclareControl(HWND dialog, int id, StandinControlKind kind);
std::u16string StandinWindowText(HWND window);
// The ids of the controls a dialog has so far, in ascending order.
std::vector<int> StandinControlIds(HWND dialog);
HWND StandinOwnerOf(HWND window);
bool StandinDialogEnded(HWND dialog);
