// Answers the plug-in's modal dialogs and message boxes the way a user would, by
// control id, and records what they showed.
//
// On Windows a helper thread of the host watches for the windows the plug-in opens
// on the host's thread (dialogs and message boxes are "#32770" windows), reads their
// state, works their controls with messages (BM_CLICK, BM_SETCHECK, LB_SETSEL,
// WM_SETTEXT) and ends them with a button. In the native build the stand-in desktop
// hands each dialog and message box to the same code on the host's own thread.
//
// Answers are used in the order the windows appear. A window for which no answer is
// left is closed with Cancel, so that a run never hangs.
#pragma once

#include <functional>
#include <string>
#include <vector>

#include "interface/host_json.h"

namespace host {

struct UiAction {
  enum Kind {
    kClick,       // press button `id` (it must be enabled to have an effect)
    kClickAsync,  // press button `id` without waiting: it opens a window of its own
    kSetCheck,    // make check box `id` show `value` (0 or 1), clicking it if needed
    kSelect,      // list box `id`: select (value 1) or deselect (0) entry `index`
    kSetText,     // put `text` into control `id`
    kSnapshot,    // record the state of every control now
    kSelectText,  // list box `id`: select (value 1) or deselect (0) every entry whose text is `text`
  };
  Kind kind;
  int id = 0;
  int value = 0;
  int index = 0;
  std::u16string text;
};

struct UiAnswer {
  bool messageBox = false;  // a message box rather than a dialog
  std::u16string caption;   // expected caption; empty accepts any
  // An optional answer is passed over when the window that comes is not its kind or
  // caption (for a message box that only some runs show); the next answer is tried.
  bool optional = false;
  std::vector<UiAction> actions;
  int button = 2;  // the button that ends it (IDOK 1, IDCANCEL 2); 0 = the actions end it
  // A file dialog: answered with this path (empty: cancelled), or, natively, with
  // this extended error when it is not zero.
  bool fileDialog = false;
  std::u16string filePath;
  unsigned long fileError = 0;
};

// What one window showed.
struct UiRecord {
  std::string kind;  // "dialog", "message box" or "file dialog"
  std::u16string caption;
  std::u16string text;  // a message box's text
  std::string style;    // a message box's buttons and icon, e.g. "MB_OKCANCEL|MB_ICONINFORMATION"
  bool ownerIsHostWindow = false;
  int left = 0, top = 0, width = 0, height = 0;  // screen rectangle when it appeared
  int screenWidth = 0, screenHeight = 0;
  std::vector<Json> snapshots;  // {"controls": [...]}: after it opened, then at each kSnapshot
  bool answered = false;        // an answer was found for it
};

class UiDriver {
 public:
  UiDriver(std::vector<UiAnswer> answers, bool interactive);
  ~UiDriver();
  UiDriver(const UiDriver&) = delete;
  UiDriver& operator=(const UiDriver&) = delete;

  // Runs `operation` on this thread, answering what it shows.
  int Run(const std::function<int()>& operation);

  // The window the host passes to the plug-in as the owner of its dialogs.
  void* OwnerWindow() const { return owner_; }
  const std::vector<UiRecord>& Records() const { return records_; }
  // Without snapshots a record tells only what a window was and said, for a caller
  // that wants the messages alone; they are kept unless this turns them off.
  void KeepSnapshots(bool keep) { keepSnapshots_ = keep; }
  // The records as a JSON array, from record `first` on.
  Json RecordsJson(size_t first = 0) const;

  // Used by the platform glue (ui_driver.cpp): handle the next window.
  void HandleDialog(void* window, bool isMessageBox);
  int AnswerNativeMessageBox(const std::u16string& text, const std::u16string& caption, unsigned type);
  bool AnswerNativeFileDialog(void* request, unsigned long* error);

 private:
  const UiAnswer* NextAnswer(bool messageBox, bool fileDialog, const std::u16string& caption);

  std::vector<UiAnswer> answers_;
  size_t nextAnswer_ = 0;
  bool interactive_;
  bool keepSnapshots_ = true;
  void* owner_ = nullptr;
  std::vector<UiRecord> records_;
};

}  // namespace host
