// The "Export SOD Model" dialog (template 102): it records the user's choices in
// exportOptions. The game version, the three side text flags and a path chosen with a
// "..." button take effect at once and stay after Cancel; "Export materials" and
// typed paths are taken only by OK.
#pragma once

#include "platform/win32_api.h"

// The dialog procedure: fills the controls at WM_INITDIALOG and centres the dialog on
// the desktop; ends with 1 on OK and 2 on Cancel.
INT_PTR CALLBACK ExportDialogProc(HWND dialog, UINT message, WPARAM wParam, LPARAM lParam);

// Puts exportOptions into the controls: paths, side text boxes (with their edit boxes
// and "..." buttons enabled to match), "Export materials", the game radio button.
// 0 for a null handle, else 1.
int InitExportDialog(HWND dialog);

// Stores the group's box state in its flag and enables the group's edit box and "..."
// button exactly when the box is ticked.
void OnHardpointFileToggle(HWND dialog);
void OnSpriteFileToggle(HWND dialog);
void OnEmitterFileToggle(HWND dialog);

// Lets the user choose the group's text file. 1 when a file was chosen: its path is
// in exportOptions and the edit box at once. 0 when cancelled or failed; a file name
// too long for the buffer is reported in a message box.
int PickHardpointFile(HWND dialog);
int PickSpriteFile(HWND dialog);
int PickEmitterFile(HWND dialog);
