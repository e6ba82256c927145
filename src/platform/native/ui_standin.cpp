// The scriptable desktop of the native build (see ui_standin.h).
#include "platform/native/ui_standin.h"

#include <algorithm>
#include <map>
#include <memory>
#include <vector>

struct NativeWindow {
  RECT rect = {0, 0, 0, 0};
  HWND owner = nullptr;
  HWND dialog = nullptr;  // the dialog a control belongs to
  int id = 0;
  StandinControlKind kind = StandinControlKind::kPlain;
  std::u16string text;
  int check = BST_UNCHECKED;
  bool enabled = true;
  std::vector<std::u16string> items;
  std::vector<bool> selected;
  DLGPROC proc = nullptr;
  bool ended = false;
  INT_PTR result = 0;
  std::map<int, HWND> controls;
};

struct NativeDeviceContext {
  HWND window;
};

namespace {

struct Desktop {
  std::vector<std::unique_ptr<NativeWindow>> windows;
  std::vector<std::unique_ptr<NativeDeviceContext>> contexts;
  NativeWindow screen;
  int width = 1024;
  int height = 768;
  HWND focus = nullptr;
  StandinDialogDriver driver = nullptr;
  void* driverUser = nullptr;
  StandinMessageBoxHandler messageBox = nullptr;
  void* messageBoxUser = nullptr;
  StandinOpenFileHandler openFile = nullptr;
  void* openFileUser = nullptr;
  DWORD lastOpenFileError = 0;
};

Desktop& TheDesktop() {
  static Desktop desktop;
  return desktop;
}

HWND NewWindow(const RECT& rect) {
  Desktop& d = TheDesktop();
  d.windows.push_back(std::make_unique<NativeWindow>());
  d.windows.back()->rect = rect;
  return d.windows.back().get();
}

// Forgets a window and its controls: as on Windows, a dialog is gone once
// DialogBoxParamW returns, and a window once it is destroyed.
void ForgetWindow(HWND window) {
  if (window == nullptr) return;
  Desktop& d = TheDesktop();
  if (d.focus != nullptr && (d.focus == window || d.focus->dialog == window)) d.focus = nullptr;
  auto gone = [window](const std::unique_ptr<NativeWindow>& w) { return w.get() == window || w->dialog == window; };
  d.windows.erase(std::remove_if(d.windows.begin(), d.windows.end(), gone), d.windows.end());
}

HWND ControlOf(HWND dialog, int id) {
  if (dialog == nullptr) return nullptr;
  auto found = dialog->controls.find(id);
  if (found != dialog->controls.end()) return found->second;
  HWND control = NewWindow(RECT{0, 0, 0, 0});
  control->dialog = dialog;
  control->id = id;
  dialog->controls[id] = control;
  return control;
}

LRESULT ListBoxMessage(HWND list, UINT message, WPARAM wParam, LPARAM lParam) {
  switch (message) {
    case LB_RESETCONTENT:
      list->items.clear();
      list->selected.clear();
      return 0;
    case LB_ADDSTRING:
      list->items.emplace_back(reinterpret_cast<const char16_t*>(lParam));
      list->selected.push_back(false);
      return static_cast<LRESULT>(list->items.size() - 1);
    case LB_GETCOUNT:
      return static_cast<LRESULT>(list->items.size());
    case LB_SETSEL: {
      if (lParam == -1) {
        for (size_t i = 0; i < list->selected.size(); ++i) list->selected[i] = wParam != 0;
        return 0;
      }
      if (lParam < 0 || static_cast<size_t>(lParam) >= list->items.size()) return LB_ERR;
      list->selected[static_cast<size_t>(lParam)] = wParam != 0;
      return 0;
    }
    case LB_GETSEL:
      if (wParam >= list->items.size()) return LB_ERR;
      return list->selected[wParam] ? 1 : 0;
    case LB_GETSELCOUNT: {
      LRESULT count = 0;
      for (bool s : list->selected) count += s ? 1 : 0;
      return count;
    }
    case LB_GETTEXT: {
      if (wParam >= list->items.size()) return LB_ERR;
      char16_t* out = reinterpret_cast<char16_t*>(lParam);
      const std::u16string& item = list->items[wParam];
      item.copy(out, item.size());
      out[item.size()] = 0;
      return static_cast<LRESULT>(item.size());
    }
    default:
      return 0;
  }
}

LRESULT ButtonClick(HWND control) {
  if (!control->enabled || control->dialog == nullptr) return 0;
  if (control->kind == StandinControlKind::kAutoCheckBox) {
    control->check = control->check == BST_CHECKED ? BST_UNCHECKED : BST_CHECKED;
  }
  HWND dialog = control->dialog;
  if (dialog->proc != nullptr && !dialog->ended) {
    dialog->proc(dialog, WM_COMMAND, MAKEWPARAM(control->id, BN_CLICKED), reinterpret_cast<LPARAM>(control));
  }
  return 0;
}

}  // namespace

void StandinSetDialogDriver(StandinDialogDriver driver, void* user) {
  TheDesktop().driver = driver;
  TheDesktop().driverUser = user;
}

void StandinSetMessageBoxHandler(StandinMessageBoxHandler handler, void* user) {
  TheDesktop().messageBox = handler;
  TheDesktop().messageBoxUser = user;
}

void StandinSetOpenFileHandler(StandinOpenFileHandler handler, void* user) {
  TheDesktop().openFile = handler;
  TheDesktop().openFileUser = user;
}

void StandinResetDesktop() {
  Desktop& d = TheDesktop();
  d.windows.clear();
  d.contexts.clear();
  d.width = 1024;
  d.height = 768;
  d.focus = nullptr;
  d.driver = nullptr;
  d.messageBox = nullptr;
  d.openFile = nullptr;
  d.lastOpenFileError = 0;
}

void StandinSetScreenSize(int width, int height) {
  TheDesktop().width = width;
  TheDesktop().height = height;
}

HWND StandinCreateWindow(const RECT& rect) { return NewWindow(rect); }

void StandinDestroyWindow(HWND window) { ForgetWindow(window); }

void StandinSetFocus(HWND window) { TheDesktop().focus = window; }

void StandinDeclareControl(HWND dialog, int id, StandinControlKind kind) {
  HWND control = ControlOf(dialog, id);
  if (control != nullptr) control->kind = kind;
}

std::u16string StandinWindowText(HWND window) { return window != nullptr ? window->text : std::u16string(); }

std::vector<int> StandinControlIds(HWND dialog) {
  std::vector<int> ids;
  if (dialog != nullptr) {
    for (const auto& control : dialog->controls) ids.push_back(control.first);
  }
  return ids;
}

HWND StandinOwnerOf(HWND window) { return window != nullptr ? window->owner : nullptr; }

bool StandinDialogEnded(HWND dialog) { return dialog != nullptr && dialog->ended; }

INT_PTR DialogBoxParamW(HINSTANCE, LPCWSTR templateName, HWND owner, DLGPROC proc, LPARAM param) {
  Desktop& d = TheDesktop();
  if (d.driver == nullptr || proc == nullptr) return -1;
  HWND dialog = NewWindow(RECT{0, 0, 400, 500});
  dialog->owner = owner;
  dialog->proc = proc;
  int templateId = static_cast<int>(reinterpret_cast<uintptr_t>(templateName));
  proc(dialog, WM_INITDIALOG, 0, param);
  if (!dialog->ended) d.driver(dialog, templateId, d.driverUser);
  // A driver that leaves the dialog open closes it, as the close box does.
  if (!dialog->ended) proc(dialog, WM_COMMAND, MAKEWPARAM(IDCANCEL, BN_CLICKED), 0);
  if (!dialog->ended) EndDialog(dialog, IDCANCEL);
  const INT_PTR result = dialog->result;
  ForgetWindow(dialog);
  return result;
}

BOOL EndDialog(HWND dialog, INT_PTR result) {
  if (dialog == nullptr || dialog->ended) return FALSE;
  dialog->ended = true;
  dialog->result = result;
  return TRUE;
}

HWND GetDlgItem(HWND dialog, int id) { return ControlOf(dialog, id); }

LRESULT SendMessageW(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
  if (window == nullptr) return 0;
  switch (message) {
    case WM_SETTEXT:
      window->text = reinterpret_cast<const char16_t*>(lParam);
      return TRUE;
    case WM_GETTEXT: {
      if (wParam == 0) return 0;
      size_t n = window->text.size() < wParam - 1 ? window->text.size() : wParam - 1;
      char16_t* out = reinterpret_cast<char16_t*>(lParam);
      window->text.copy(out, n);
      out[n] = 0;
      return static_cast<LRESULT>(n);
    }
    case WM_GETTEXTLENGTH:
      return static_cast<LRESULT>(window->text.size());
    case BM_GETCHECK:
      return window->check;
    case BM_SETCHECK:
      window->check = static_cast<int>(wParam);
      return 0;
    case BM_CLICK:
      return ButtonClick(window);
    case WM_COMMAND:
    case WM_CLOSE:
      if (window->proc != nullptr && !window->ended) {
        if (message == WM_CLOSE) return window->proc(window, WM_COMMAND, MAKEWPARAM(IDCANCEL, BN_CLICKED), 0);
        return window->proc(window, message, wParam, lParam);
      }
      return 0;
    default:
      return ListBoxMessage(window, message, wParam, lParam);
  }
}

LRESULT SendDlgItemMessageW(HWND dialog, int id, UINT message, WPARAM wParam, LPARAM lParam) {
  return SendMessageW(ControlOf(dialog, id), message, wParam, lParam);
}

BOOL SetDlgItemTextW(HWND dialog, int id, LPCWSTR text) {
  HWND control = ControlOf(dialog, id);
  if (control == nullptr || text == nullptr) return FALSE;
  control->text = text;
  return TRUE;
}

UINT GetDlgItemTextW(HWND dialog, int id, LPWSTR text, int capacity) {
  if (capacity <= 0) return 0;
  return static_cast<UINT>(
      SendMessageW(ControlOf(dialog, id), WM_GETTEXT, static_cast<WPARAM>(capacity), reinterpret_cast<LPARAM>(text)));
}

BOOL EnableWindow(HWND window, BOOL enable) {
  if (window == nullptr) return FALSE;
  BOOL wasDisabled = window->enabled ? FALSE : TRUE;
  window->enabled = enable != FALSE;
  return wasDisabled;
}

BOOL IsWindowEnabled(HWND window) { return window != nullptr && window->enabled ? TRUE : FALSE; }

BOOL CheckRadioButton(HWND dialog, int first, int last, int checked) {
  if (dialog == nullptr) return FALSE;
  for (int id = first; id <= last; ++id) ControlOf(dialog, id)->check = id == checked ? BST_CHECKED : BST_UNCHECKED;
  return TRUE;
}

int MessageBoxW(HWND owner, LPCWSTR text, LPCWSTR caption, UINT type) {
  Desktop& d = TheDesktop();
  if (d.messageBox == nullptr) return 0;
  return d.messageBox(owner, text != nullptr ? text : u"", caption != nullptr ? caption : u"", type, d.messageBoxUser);
}

HWND GetFocus() { return TheDesktop().focus; }

HWND GetDesktopWindow() {
  Desktop& d = TheDesktop();
  d.screen.rect = RECT{0, 0, d.width, d.height};
  return &d.screen;
}

BOOL GetWindowRect(HWND window, RECT* rect) {
  if (window == nullptr || rect == nullptr) return FALSE;
  if (window == GetDesktopWindow()) window = &TheDesktop().screen;
  *rect = window->rect;
  return TRUE;
}

HDC GetDC(HWND window) {
  Desktop& d = TheDesktop();
  d.contexts.push_back(std::make_unique<NativeDeviceContext>());
  d.contexts.back()->window = window;
  return d.contexts.back().get();
}

int GetDeviceCaps(HDC dc, int index) {
  if (dc == nullptr) return 0;
  if (index == HORZRES) return TheDesktop().width;
  if (index == VERTRES) return TheDesktop().height;
  return 0;
}

int ReleaseDC(HWND, HDC dc) {
  Desktop& d = TheDesktop();
  for (size_t i = 0; i < d.contexts.size(); ++i) {
    if (d.contexts[i].get() == dc) {
      d.contexts.erase(d.contexts.begin() + static_cast<long>(i));
      return 1;
    }
  }
  return 0;
}

BOOL SetWindowPos(HWND window, HWND, int x, int y, int cx, int cy, UINT flags) {
  if (window == nullptr) return FALSE;
  int width = window->rect.right - window->rect.left;
  int height = window->rect.bottom - window->rect.top;
  if ((flags & SWP_NOSIZE) == 0) {
    width = cx;
    height = cy;
  }
  window->rect = RECT{x, y, x + width, y + height};
  return TRUE;
}

BOOL GetOpenFileNameW(OPENFILENAMEW* request) {
  Desktop& d = TheDesktop();
  d.lastOpenFileError = 0;
  if (request == nullptr || d.openFile == nullptr) return FALSE;
  return d.openFile(request, &d.lastOpenFileError, d.openFileUser);
}

DWORD CommDlgExtendedError() { return TheDesktop().lastOpenFileError; }
