// Scripting the stand-in desktop from a test: a dialog driver, message box answers and
// open-file answers given as functions, with every message box and file request
// recorded. Native tests only.
#pragma once

#include <functional>
#include <string>
#include <vector>

#include "platform/native/ui_standin.h"

struct ShownMessageBox {
  HWND owner;
  std::u16string text;
  std::u16string caption;
  UINT type;
};

class StandinScript {
 public:
  std::function<void(HWND dialog, int templateId)> dialog;             // empty: the dialog is "not shown"
  std::vector<int> messageBoxAnswers;                                  // in order; IDOK when they run out
  std::function<BOOL(OPENFILENAMEW* request, DWORD* error)> openFile;  // empty: cancelled
  std::vector<ShownMessageBox> messageBoxes;
  std::vector<OPENFILENAMEW> fileRequests;
  std::vector<HWND> dialogOwners;  // the owner of every dialog opened, in order (a dialog is gone once it returns)

  StandinScript() {
    StandinResetDesktop();
    StandinSetDialogDriver(&StandinScript::Dialog, this);
    StandinSetMessageBoxHandler(&StandinScript::MessageBox, this);
    StandinSetOpenFileHandler(&StandinScript::OpenFile, this);
  }
  ~StandinScript() { StandinResetDesktop(); }
  StandinScript(const StandinScript&) = delete;
  StandinScript& operator=(const StandinScript&) = delete;

  // Declares the dialog's check boxes as automatic ones, as the template makes them.
  static void AutoCheckBoxes(HWND dialog, std::initializer_list<int> ids) {
    for (int id : ids) StandinDeclareControl(dialog, id, StandinControlKind::kAutoCheckBox);
  }
  static void Click(HWND dialog, int id) { SendDlgItemMessageW(dialog, id, BM_CLICK, 0, 0); }
  static int Checked(HWND dialog, int id) {
    return static_cast<int>(SendDlgItemMessageW(dialog, id, BM_GETCHECK, 0, 0));
  }
  static bool Enabled(HWND dialog, int id) { return IsWindowEnabled(GetDlgItem(dialog, id)) != FALSE; }
  static std::u16string Text(HWND dialog, int id) { return StandinWindowText(GetDlgItem(dialog, id)); }

 private:
  static void Dialog(HWND dialog, int templateId, void* user) {
    StandinScript* s = static_cast<StandinScript*>(user);
    s->dialogOwners.push_back(StandinOwnerOf(dialog));
    if (s->dialog) s->dialog(dialog, templateId);
  }
  static int MessageBox(HWND owner, const std::u16string& text, const std::u16string& caption, UINT type, void* user) {
    StandinScript* s = static_cast<StandinScript*>(user);
    s->messageBoxes.push_back({owner, text, caption, type});
    size_t n = s->messageBoxes.size() - 1;
    return n < s->messageBoxAnswers.size() ? s->messageBoxAnswers[n] : IDOK;
  }
  static BOOL OpenFile(OPENFILENAMEW* request, DWORD* error, void* user) {
    StandinScript* s = static_cast<StandinScript*>(user);
    s->fileRequests.push_back(*request);
    *error = 0;
    return s->openFile ? s->openFile(request, error) : FALSE;
  }
};
