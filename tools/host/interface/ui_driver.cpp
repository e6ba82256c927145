#include "interface/ui_driver.h"

#include <cstdio>

#include "interface/host_text.h"
#include "platform/win32_api.h"

#ifdef _WIN32
#include <atomic>
#include <set>
#include <thread>
#else
#include "platform/native/ui_standin.h"
#endif

namespace host {

namespace {

std::u16string ControlText(HWND control) {
  char16_t buffer[1024] = {};
  SendMessageW(control, WM_GETTEXT, 1024, reinterpret_cast<LPARAM>(buffer));
  return buffer;
}

std::u16string WindowCaption(HWND window) {
#ifdef _WIN32
  wchar_t buffer[512] = {};
  GetWindowTextW(window, buffer, 512);
  return std::u16string(reinterpret_cast<const char16_t*>(buffer));
#else
  return StandinWindowText(window);
#endif
}

// One control as JSON: id, class, text, enabled, check state, and list entries.
Json ControlJson(HWND control, int id, const std::string& className) {
  Json json{{"id", id},
            {"class", className},
            {"text", Utf16ToUtf8(ControlText(control))},
            {"enabled", IsWindowEnabled(control) != 0}};
  if (className == "Button" || className == "control") {
    json["checked"] = static_cast<int>(SendMessageW(control, BM_GETCHECK, 0, 0));
  }
  LRESULT count = className == "ListBox" || className == "control" ? SendMessageW(control, LB_GETCOUNT, 0, 0) : 0;
  if (className == "ListBox" || count > 0) {
    Json items = Json::array();
    for (LRESULT i = 0; i < count; ++i) {
      char16_t item[512] = {};
      SendMessageW(control, LB_GETTEXT, static_cast<WPARAM>(i), reinterpret_cast<LPARAM>(item));
      bool selected = SendMessageW(control, LB_GETSEL, static_cast<WPARAM>(i), 0) > 0;
      items.push_back(Json{{"text", Utf16ToUtf8(item)}, {"selected", selected}});
    }
    json["items"] = std::move(items);
  }
  return json;
}

#ifdef _WIN32

BOOL CALLBACK CollectControl(HWND control, LPARAM out) {
  wchar_t className[64] = {};
  GetClassNameW(control, className, 64);
  std::string name = Utf16ToUtf8(reinterpret_cast<const char16_t*>(className));
  reinterpret_cast<Json*>(out)->push_back(ControlJson(control, GetDlgCtrlID(control), name));
  return TRUE;
}

Json SnapshotJson(HWND dialog) {
  Json controls = Json::array();
  EnumChildWindows(dialog, CollectControl, reinterpret_cast<LPARAM>(&controls));
  return Json{{"controls", std::move(controls)}};
}

#else

Json SnapshotJson(HWND dialog) {
  Json controls = Json::array();
  for (int id : StandinControlIds(dialog)) controls.push_back(ControlJson(GetDlgItem(dialog, id), id, "control"));
  return Json{{"controls", std::move(controls)}};
}

#endif

void Click(HWND dialog, int id, bool wait) {
  HWND control = GetDlgItem(dialog, id);
  if (control == nullptr) return;
#ifdef _WIN32
  if (!wait) {
    PostMessageW(control, BM_CLICK, 0, 0);
    return;
  }
#else
  (void)wait;
#endif
  SendMessageW(control, BM_CLICK, 0, 0);
}

// Selects or deselects the list entries that read `text`; says so when none does.
void SelectByText(HWND dialog, const UiAction& action) {
  HWND list = GetDlgItem(dialog, action.id);
  LRESULT count = SendMessageW(list, LB_GETCOUNT, 0, 0);
  bool found = false;
  for (LRESULT i = 0; i < count; ++i) {
    char16_t item[512] = {};
    SendMessageW(list, LB_GETTEXT, static_cast<WPARAM>(i), reinterpret_cast<LPARAM>(item));
    if (action.text != item) continue;
    SendMessageW(list, LB_SETSEL, action.value ? TRUE : FALSE, i);
    found = true;
  }
  if (!found) std::fprintf(stderr, "kveltar-host: no list entry reads \"%s\"\n", Utf16ToUtf8(action.text).c_str());
}

void Perform(HWND dialog, const UiAction& action, UiRecord* record) {
  switch (action.kind) {
    case UiAction::kClick:
    case UiAction::kClickAsync:
      Click(dialog, action.id, action.kind == UiAction::kClick);
      break;
    case UiAction::kSetCheck:
      if (SendDlgItemMessageW(dialog, action.id, BM_GETCHECK, 0, 0) != action.value) {
#ifndef _WIN32
        StandinDeclareControl(dialog, action.id, StandinControlKind::kAutoCheckBox);
#endif
        Click(dialog, action.id, true);
      }
      break;
    case UiAction::kSelect:
      SendDlgItemMessageW(dialog, action.id, LB_SETSEL, action.value ? TRUE : FALSE, action.index);
      break;
    case UiAction::kSetText:
      SendDlgItemMessageW(dialog, action.id, WM_SETTEXT, 0, reinterpret_cast<LPARAM>(action.text.c_str()));
      break;
    case UiAction::kSnapshot:
      if (record != nullptr) record->snapshots.push_back(SnapshotJson(dialog));
      break;
    case UiAction::kSelectText:
      SelectByText(dialog, action);
      break;
  }
}

void MeasurePlacement(HWND window, UiRecord* record) {
  RECT r = {0, 0, 0, 0};
  GetWindowRect(window, &r);
  record->left = r.left;
  record->top = r.top;
  record->width = r.right - r.left;
  record->height = r.bottom - r.top;
  HDC dc = GetDC(window);
  record->screenWidth = GetDeviceCaps(dc, HORZRES);
  record->screenHeight = GetDeviceCaps(dc, VERTRES);
  ReleaseDC(window, dc);
}

std::string StyleName(unsigned type) {
  std::string buttons = (type & 0xF) == MB_OKCANCEL ? "MB_OKCANCEL" : (type & 0xF) == MB_OK ? "MB_OK" : "MB_OTHER";
  unsigned icon = type & 0xF0;
  const char* iconName = icon == MB_ICONERROR         ? "|MB_ICONERROR"
                         : icon == MB_ICONWARNING     ? "|MB_ICONWARNING"
                         : icon == MB_ICONINFORMATION ? "|MB_ICONINFORMATION"
                         : icon == 0                  ? ""
                                                      : "|MB_ICONOTHER";
  return buttons + iconName;
}

#ifdef _WIN32

constexpr int kMessageTextId = 0xFFFF;  // the static control holding a message box's text
const char16_t kFileDialogCaption[] = u"Open File";

// A message box's buttons and icon, read back from its window.
unsigned MessageBoxType(HWND box) {
  unsigned type = GetDlgItem(box, IDCANCEL) != nullptr ? MB_OKCANCEL : MB_OK;
  HICON icon = nullptr;
  for (int id : {0x14, 1088}) {
    if (HWND control = GetDlgItem(box, id)) icon = reinterpret_cast<HICON>(SendMessageW(control, STM_GETICON, 0, 0));
  }
  if (icon != nullptr) {
    if (icon == LoadIconW(nullptr, IDI_HAND))
      type |= MB_ICONERROR;
    else if (icon == LoadIconW(nullptr, IDI_EXCLAMATION))
      type |= MB_ICONWARNING;
    else if (icon == LoadIconW(nullptr, IDI_ASTERISK))
      type |= MB_ICONINFORMATION;
    else
      type |= 0xF0;
  }
  return type;
}

struct Watcher {
  UiDriver* driver;
  DWORD hostThread;
  std::atomic<bool> done{false};
  std::set<HWND> handled;
};

struct Candidate {
  Watcher* watcher;
  HWND found;
};

BOOL CALLBACK FindModal(HWND window, LPARAM data) {
  Candidate* c = reinterpret_cast<Candidate*>(data);
  wchar_t className[16] = {};
  GetClassNameW(window, className, 16);
  if (std::wstring(className) == L"#32770" && IsWindowVisible(window) && IsWindowEnabled(window) &&
      c->watcher->handled.count(window) == 0) {
    c->found = window;
    return FALSE;
  }
  return TRUE;
}

void Watch(Watcher* w) {
  while (!w->done.load()) {
    for (auto it = w->handled.begin(); it != w->handled.end();) it = IsWindow(*it) ? ++it : w->handled.erase(it);
    Candidate c{w, nullptr};
    EnumThreadWindows(w->hostThread, FindModal, reinterpret_cast<LPARAM>(&c));
    if (c.found != nullptr) {
      w->handled.insert(c.found);
      w->driver->HandleDialog(c.found, false);
    }
    Sleep(20);
  }
}

#else

// The stand-in desktop has no dialog templates: a dialog gets the caption that its
// template has in the plug-in's resources, so that answers find it by caption.
const char16_t* TemplateCaption(int templateId) {
  if (templateId == 101) return u"Import ST Armada Model";
  if (templateId == 102) return u"Export SOD Model";
  return u"";
}

void NativeDialog(HWND dialog, int templateId, void* user) {
  if (StandinWindowText(dialog).empty()) {
    SendMessageW(dialog, WM_SETTEXT, 0, reinterpret_cast<LPARAM>(TemplateCaption(templateId)));
  }
  static_cast<UiDriver*>(user)->HandleDialog(dialog, false);
}

int NativeMessageBox(HWND, const std::u16string& text, const std::u16string& caption, UINT type, void* user) {
  return static_cast<UiDriver*>(user)->AnswerNativeMessageBox(text, caption, type);
}

BOOL NativeFileDialog(OPENFILENAMEW* request, DWORD* error, void* user) {
  unsigned long e = 0;
  bool chosen = static_cast<UiDriver*>(user)->AnswerNativeFileDialog(request, &e);
  *error = static_cast<DWORD>(e);
  return chosen ? TRUE : FALSE;
}

#endif

}  // namespace

UiDriver::UiDriver(std::vector<UiAnswer> answers, bool interactive)
    : answers_(std::move(answers)), interactive_(interactive) {
#ifdef _WIN32
  owner_ = CreateWindowExW(0, L"STATIC", L"kveltar reference host", WS_OVERLAPPEDWINDOW, CW_USEDEFAULT, CW_USEDEFAULT,
                           640, 480, nullptr, nullptr, nullptr, nullptr);
#else
  owner_ = StandinCreateWindow(RECT{0, 0, 640, 480});
#endif
}

UiDriver::~UiDriver() {
#ifdef _WIN32
  if (owner_ != nullptr) DestroyWindow(static_cast<HWND>(owner_));
#else
  StandinSetDialogDriver(nullptr, nullptr);
  StandinSetMessageBoxHandler(nullptr, nullptr);
  StandinSetOpenFileHandler(nullptr, nullptr);
  StandinDestroyWindow(static_cast<HWND>(owner_));
#endif
}

const UiAnswer* UiDriver::NextAnswer(bool messageBox, bool fileDialog, const std::u16string& caption) {
  while (nextAnswer_ < answers_.size()) {
    const UiAnswer& a = answers_[nextAnswer_];
    bool kind = a.messageBox == messageBox && a.fileDialog == fileDialog;
    bool named = a.caption.empty() || a.caption == caption;
    if (a.optional && !(kind && named)) {
      ++nextAnswer_;
      continue;
    }
    if (!kind) return nullptr;
    ++nextAnswer_;
    return named ? &a : nullptr;
  }
  return nullptr;
}

int UiDriver::Run(const std::function<int()>& operation) {
  if (interactive_) return operation();
#ifdef _WIN32
  Watcher watcher;
  watcher.driver = this;
  watcher.hostThread = GetCurrentThreadId();
  std::thread thread(Watch, &watcher);
  int result = operation();
  watcher.done = true;
  thread.join();
  return result;
#else
  StandinSetDialogDriver(NativeDialog, this);
  StandinSetMessageBoxHandler(NativeMessageBox, this);
  StandinSetOpenFileHandler(NativeFileDialog, this);
  int result = operation();
  StandinSetDialogDriver(nullptr, nullptr);
  StandinSetMessageBoxHandler(nullptr, nullptr);
  StandinSetOpenFileHandler(nullptr, nullptr);
  return result;
#endif
}

void UiDriver::HandleDialog(void* window, bool) {
  HWND dialog = static_cast<HWND>(window);
  UiRecord record;
  record.caption = WindowCaption(dialog);
  MeasurePlacement(dialog, &record);
#ifdef _WIN32
  record.ownerIsHostWindow = GetWindow(dialog, GW_OWNER) == owner_;
  bool fileDialog = record.caption == kFileDialogCaption;
  bool messageBox = !fileDialog && record.caption != u"Import ST Armada Model" && record.caption != u"Export SOD Model";
  if (messageBox) {
    record.kind = "message box";
    record.text = ControlText(GetDlgItem(dialog, kMessageTextId));
    record.style = StyleName(MessageBoxType(dialog));
  } else {
    record.kind = fileDialog ? "file dialog" : "dialog";
  }
#else
  record.ownerIsHostWindow = StandinOwnerOf(dialog) == owner_;
  bool fileDialog = false;
  bool messageBox = false;
  record.kind = "dialog";
#endif
  if (keepSnapshots_) record.snapshots.push_back(SnapshotJson(dialog));
  const UiAnswer* answer = NextAnswer(messageBox, fileDialog, record.caption);
  record.answered = answer != nullptr;
  records_.push_back(std::move(record));
  UiRecord& stored = records_.back();
  if (answer == nullptr) {
    // A message box with an OK button only has no Cancel button to press.
    Click(dialog, !messageBox || GetDlgItem(dialog, IDCANCEL) != nullptr ? IDCANCEL : IDOK, false);
    return;
  }
#ifdef _WIN32
  if (fileDialog) {
    // Explorer-style dialogs name the file in combo box 0x47C, older ones in edit 0x480.
    HWND name = GetDlgItem(dialog, 0x47C);
    if (name == nullptr) name = GetDlgItem(dialog, 0x480);
    if (!answer->filePath.empty() && name != nullptr) {
      SendMessageW(name, WM_SETTEXT, 0, reinterpret_cast<LPARAM>(answer->filePath.c_str()));
      Click(dialog, IDOK, false);
    } else {
      Click(dialog, IDCANCEL, false);
    }
    return;
  }
#endif
  for (const UiAction& action : answer->actions) Perform(dialog, action, keepSnapshots_ ? &stored : nullptr);
  if (answer->button != 0) Click(dialog, answer->button, false);
}

int UiDriver::AnswerNativeMessageBox(const std::u16string& text, const std::u16string& caption, unsigned type) {
  UiRecord record;
  record.kind = "message box";
  record.caption = caption;
  record.text = text;
  record.style = StyleName(type);
  const UiAnswer* answer = NextAnswer(true, false, caption);
  record.answered = answer != nullptr;
  records_.push_back(record);
  if (answer == nullptr) return (type & 0xF) == MB_OKCANCEL ? IDCANCEL : IDOK;
  return answer->button;
}

bool UiDriver::AnswerNativeFileDialog(void* request, unsigned long* error) {
  OPENFILENAMEW* r = static_cast<OPENFILENAMEW*>(request);
  UiRecord record;
  record.kind = "file dialog";
  record.caption = r->lpstrTitle != nullptr ? std::u16string(reinterpret_cast<const char16_t*>(r->lpstrTitle)) : u"";
  const UiAnswer* answer = NextAnswer(false, true, record.caption);
  record.answered = answer != nullptr;
  records_.push_back(record);
  *error = 0;
  if (answer == nullptr || answer->filePath.empty()) {
    if (answer != nullptr) *error = answer->fileError;
    return false;
  }
  if (answer->filePath.size() >= r->nMaxFile) {
    *error = 0x3003;  // the buffer is too small for the chosen name
    return false;
  }
  std::u16string path = answer->filePath;
  for (size_t i = 0; i <= path.size(); ++i) r->lpstrFile[i] = i < path.size() ? static_cast<WCHAR>(path[i]) : 0;
  return true;
}

Json UiDriver::RecordsJson(size_t first) const {
  Json json = Json::array();
  for (size_t i = first; i < records_.size(); ++i) {
    const UiRecord& r = records_[i];
    Json snapshots = Json::array();
    for (const Json& snapshot : r.snapshots) snapshots.push_back(snapshot);
    json.push_back(Json{{"kind", r.kind},
                        {"caption", Utf16ToUtf8(r.caption)},
                        {"text", Utf16ToUtf8(r.text)},
                        {"style", r.style},
                        {"ownerIsHostWindow", r.ownerIsHostWindow},
                        {"answered", r.answered},
                        {"rect", Json{r.left, r.top, r.width, r.height}},
                        {"screen", Json{r.screenWidth, r.screenHeight}},
                        {"snapshots", std::move(snapshots)}});
  }
  return json;
}

}  // namespace host
