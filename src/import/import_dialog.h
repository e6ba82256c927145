// The import dialog (template 101, "Import ST Armada Model"): shows what the read file
// holds, lists its mesh nodes for the user to pick, and offers the "Extract To File"
// and "Convert To Geometry" boxes.
#pragma once

#include "platform/win32_api.h"

// The dialog procedure. It works on the plug-in-wide imported model and import
// options: on opening it shows the model's counts and mesh nodes and the options; on
// Import it stores the boxes into the options, marks the chosen mesh nodes `selected`,
// sets `selectedMeshCount` and ends the dialog with 1; on Cancel it ends it with 0.
INT_PTR CALLBACK ImportDialogProc(HWND dialog, UINT message, WPARAM wParam, LPARAM lParam);

// 1 when a mesh node of this name starts unselected in the list: the name contains
// "Borg" or "borg" (exactly these two spellings).
int StartsUnselected(const char* meshName);
