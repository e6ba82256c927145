#include "export/export_dialog.h"

#include <cstring>
#include <initializer_list>

#include "common/wide_text.h"
#include "common/window_placement.h"
#include "export/export_options.h"
#include "resource_ids.h"

namespace {

// One side text group: its check box, edit box and "..." button, where its choice is
// kept, and the first entry of its file filter.
struct TextFileGroup {
  int box;
  int edit;
  int button;
  int32_t* flag;
  char16_t* path;
  const char16_t* filter;  // pairs of text and pattern, ending with an empty text
};

const char16_t kHardpointFilter[] = u"ST Armada hardpoint files (*.txt)\0*.txt\0All files (*.*)\0*.*\0";
const char16_t kSpriteFilter[] = u"ST Armada sprite files (*.txt)\0*.txt\0All files (*.*)\0*.*\0";
const char16_t kEmitterFilter[] = u"ST Armada emitter files (*.txt)\0*.txt\0All files (*.*)\0*.*\0";

const TextFileGroup kHardpoints = {IDC_EXPORT_HARDPOINT_FILE,       IDC_EXPORT_HARDPOINT_PATH,
                                   IDC_EXPORT_HARDPOINT_PICK,       &exportOptions.useHardpointFile,
                                   exportOptions.hardpointFilePath, kHardpointFilter};
const TextFileGroup kSprites = {IDC_EXPORT_SPRITE_FILE,       IDC_EXPORT_SPRITE_PATH,       IDC_EXPORT_SPRITE_PICK,
                                &exportOptions.useSpriteFile, exportOptions.spriteFilePath, kSpriteFilter};
const TextFileGroup kEmitters = {IDC_EXPORT_EMITTER_FILE,       IDC_EXPORT_EMITTER_PATH,       IDC_EXPORT_EMITTER_PICK,
                                 &exportOptions.useEmitterFile, exportOptions.emitterFilePath, kEmitterFilter};

// The size of the open-file request on 64-bit Windows, which the dialog is built for.
constexpr DWORD kOpenFileRequestBytes = 152;
static_assert(sizeof(void*) != 8 || sizeof(OPENFILENAMEW) == kOpenFileRequestBytes, "OPENFILENAMEW of 152 bytes");

constexpr DWORD kOpenFileFlags =
    OFN_HIDEREADONLY | OFN_PATHMUSTEXIST | OFN_FILEMUSTEXIST | OFN_EXPLORER | OFN_ENABLESIZING;
static_assert(kOpenFileFlags == 0x00881804, "open-file flags");

void OnTextFileToggle(HWND dialog, const TextFileGroup& group) {
  LRESULT state = SendDlgItemMessageW(dialog, group.box, BM_GETCHECK, 0, 0);
  *group.flag = static_cast<int32_t>(state);
  BOOL enable = (state & 1) != 0 ? TRUE : FALSE;
  EnableWindow(GetDlgItem(dialog, group.edit), enable);
  EnableWindow(GetDlgItem(dialog, group.button), enable);
}

int PickTextFile(HWND dialog, const TextFileGroup& group) {
  char16_t file[kPathUnits] = {0};
  char16_t title[kPathUnits] = {0};
  OPENFILENAMEW request;
  std::memset(&request, 0, sizeof request);
  request.lStructSize = sizeof request;
  request.hwndOwner = dialog;
  request.lpstrFilter = WinText(group.filter);
  request.nFilterIndex = 1;
  request.lpstrFile = WinText(file);
  request.nMaxFile = kPathUnits;
  request.lpstrFileTitle = WinText(title);
  request.nMaxFileTitle = kPathUnits;
  request.lpstrTitle = WinText(u"Open File");
  request.Flags = kOpenFileFlags;
  if (GetOpenFileNameW(&request)) {
    WideCopy(group.path, kPathUnits, file);
    SetDlgItemTextW(dialog, group.edit, WinText(group.path));
    return 1;
  }
  if (CommDlgExtendedError() == FNERR_BUFFERTOOSMALL) {
    MessageBoxW(GetFocus(), WinText(u"There was an error opening the file."), WinText(u"Error"),
                MB_OK | MB_ICONWARNING);
  }
  return 0;
}

// OK: the boxes and edit boxes in the order hardpoints, emitters, sprites, then
// "Export materials". An edit box gives at most 259 units and the terminator.
void TakeDialogChoices(HWND dialog) {
  for (const TextFileGroup* group : {&kHardpoints, &kEmitters, &kSprites}) {
    *group->flag = static_cast<int32_t>(SendDlgItemMessageW(dialog, group->box, BM_GETCHECK, 0, 0));
    GetDlgItemTextW(dialog, group->edit, WinText(group->path), static_cast<int>(kPathUnits));
  }
  exportOptions.exportMaterials =
      static_cast<int32_t>(SendDlgItemMessageW(dialog, IDC_EXPORT_MATERIALS, BM_GETCHECK, 0, 0));
}

}  // namespace

int InitExportDialog(HWND dialog) {
  if (dialog == nullptr) return 0;
  SetDlgItemTextW(dialog, IDC_EXPORT_HARDPOINT_PATH, WinText(exportOptions.hardpointFilePath));
  SetDlgItemTextW(dialog, IDC_EXPORT_EMITTER_PATH, WinText(exportOptions.emitterFilePath));
  SetDlgItemTextW(dialog, IDC_EXPORT_SPRITE_PATH, WinText(exportOptions.spriteFilePath));
  SendDlgItemMessageW(dialog, IDC_EXPORT_HARDPOINT_FILE, BM_SETCHECK,
                      static_cast<WPARAM>(exportOptions.useHardpointFile), 0);
  SendDlgItemMessageW(dialog, IDC_EXPORT_EMITTER_FILE, BM_SETCHECK, static_cast<WPARAM>(exportOptions.useEmitterFile),
                      0);
  SendDlgItemMessageW(dialog, IDC_EXPORT_SPRITE_FILE, BM_SETCHECK, static_cast<WPARAM>(exportOptions.useSpriteFile), 0);
  OnHardpointFileToggle(dialog);
  OnEmitterFileToggle(dialog);
  OnSpriteFileToggle(dialog);
  SendDlgItemMessageW(dialog, IDC_EXPORT_MATERIALS, BM_SETCHECK, static_cast<WPARAM>(exportOptions.exportMaterials), 0);
  CheckRadioButton(dialog, IDC_EXPORT_ARMADA1, IDC_EXPORT_ARMADA2, exportOptions.gameVersion);
  return 1;
}

void OnHardpointFileToggle(HWND dialog) { OnTextFileToggle(dialog, kHardpoints); }
void OnSpriteFileToggle(HWND dialog) { OnTextFileToggle(dialog, kSprites); }
void OnEmitterFileToggle(HWND dialog) { OnTextFileToggle(dialog, kEmitters); }

int PickHardpointFile(HWND dialog) { return PickTextFile(dialog, kHardpoints); }
int PickSpriteFile(HWND dialog) { return PickTextFile(dialog, kSprites); }
int PickEmitterFile(HWND dialog) { return PickTextFile(dialog, kEmitters); }

INT_PTR CALLBACK ExportDialogProc(HWND dialog, UINT message, WPARAM wParam, LPARAM) {
  if (message == WM_INITDIALOG) {
    InitExportDialog(dialog);
    CenterWindow(dialog, GetDesktopWindow());
    return TRUE;
  }
  if (message != WM_COMMAND) return FALSE;
  const int id = LOWORD(wParam);
  switch (id) {
    case IDOK:
      TakeDialogChoices(dialog);
      EndDialog(dialog, IDOK);
      return TRUE;
    case IDCANCEL:
      EndDialog(dialog, IDCANCEL);
      return TRUE;
    case IDC_EXPORT_ARMADA1:
    case IDC_EXPORT_ARMADA2:
      CheckRadioButton(dialog, IDC_EXPORT_ARMADA1, IDC_EXPORT_ARMADA2, id);
      exportOptions.gameVersion = id;
      break;
    case IDC_EXPORT_HARDPOINT_FILE:
      OnHardpointFileToggle(dialog);
      break;
    case IDC_EXPORT_SPRITE_FILE:
      OnSpriteFileToggle(dialog);
      break;
    case IDC_EXPORT_EMITTER_FILE:
      OnEmitterFileToggle(dialog);
      break;
    case IDC_EXPORT_HARDPOINT_PICK:
      PickHardpointFile(dialog);
      break;
    case IDC_EXPORT_SPRITE_PICK:
      PickSpriteFile(dialog);
      break;
    case IDC_EXPORT_EMITTER_PICK:
      PickEmitterFile(dialog);
      break;
    default:
      break;
  }
  return FALSE;
}
