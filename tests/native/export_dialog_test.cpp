// The export dialog's logic on the stand-in desktop: what it shows, what takes effect
// at once, what only OK takes, and the file pickers.
#include <gtest/gtest.h>

#include <cstring>

#include "export/export_dialog.h"
#include "native/standin_script.h"
#include "resource_ids.h"
#include "support/export_fixture.h"

namespace {

INT_PTR ShowDialog() { return DialogBoxParamW(nullptr, MAKEINTRESOURCEW(IDD_EXPORT), nullptr, ExportDialogProc, 0); }

// One side text group of the dialog and where its choice is kept.
struct Group {
  const char* name;
  int box, edit, button;
  int32_t* flag;
  char16_t* path;
  std::u16string filterText;
};

std::vector<Group> Groups() {
  return {
      {"hardpoints", IDC_EXPORT_HARDPOINT_FILE, IDC_EXPORT_HARDPOINT_PATH, IDC_EXPORT_HARDPOINT_PICK,
       &exportOptions.useHardpointFile, exportOptions.hardpointFilePath, u"ST Armada hardpoint files (*.txt)"},
      {"sprites", IDC_EXPORT_SPRITE_FILE, IDC_EXPORT_SPRITE_PATH, IDC_EXPORT_SPRITE_PICK, &exportOptions.useSpriteFile,
       exportOptions.spriteFilePath, u"ST Armada sprite files (*.txt)"},
      {"emitters", IDC_EXPORT_EMITTER_FILE, IDC_EXPORT_EMITTER_PATH, IDC_EXPORT_EMITTER_PICK,
       &exportOptions.useEmitterFile, exportOptions.emitterFilePath, u"ST Armada emitter files (*.txt)"},
  };
}

}  // namespace

TEST(ExportDialog, FirstOpeningShowsTheLoadTimeOptionsCentred) {
  ExportStateGuard guard;
  StandinScript script;
  StandinSetScreenSize(1000, 700);
  script.dialog = [](HWND d, int templateId) {
    EXPECT_EQ(IDD_EXPORT, templateId);
    EXPECT_EQ(1, StandinScript::Checked(d, IDC_EXPORT_ARMADA1));
    EXPECT_EQ(0, StandinScript::Checked(d, IDC_EXPORT_ARMADA2));
    EXPECT_EQ(1, StandinScript::Checked(d, IDC_EXPORT_MATERIALS));
    for (const Group& g : Groups()) {
      EXPECT_EQ(0, StandinScript::Checked(d, g.box)) << g.name;
      EXPECT_FALSE(StandinScript::Enabled(d, g.edit)) << g.name;
      EXPECT_FALSE(StandinScript::Enabled(d, g.button)) << g.name;
      EXPECT_EQ(u"", StandinScript::Text(d, g.edit)) << g.name;
    }
    RECT r;
    GetWindowRect(d, &r);  // a stand-in dialog is 400 x 500
    EXPECT_EQ(300, r.left);
    EXPECT_EQ(100, r.top);
    StandinScript::Click(d, IDCANCEL);
  };
  EXPECT_EQ(IDCANCEL, ShowDialog());
  EXPECT_EQ(1u, script.dialogOwners.size());
}

TEST(ExportDialog, TogglesTakeEffectAtOnce) {
  for (const Group& g : Groups()) {
    SCOPED_TRACE(g.name);
    ExportStateGuard guard;
    StandinScript script;
    script.dialog = [&g](HWND d, int) {
      StandinScript::AutoCheckBoxes(d, {g.box});
      StandinScript::Click(d, g.box);
      EXPECT_EQ(1, *g.flag);
      EXPECT_TRUE(StandinScript::Enabled(d, g.edit));
      EXPECT_TRUE(StandinScript::Enabled(d, g.button));
      for (const Group& other : Groups()) {
        if (other.box != g.box) {
          EXPECT_FALSE(StandinScript::Enabled(d, other.edit)) << other.name;
        }
      }
      StandinScript::Click(d, g.box);
      EXPECT_EQ(0, *g.flag);
      EXPECT_FALSE(StandinScript::Enabled(d, g.edit));
      EXPECT_FALSE(StandinScript::Enabled(d, g.button));
      StandinScript::Click(d, g.box);
      StandinScript::Click(d, IDCANCEL);
    };
    EXPECT_EQ(IDCANCEL, ShowDialog());
    EXPECT_EQ(1, *g.flag);
  }
}

TEST(ExportDialog, CancelKeepsGameAndFlagsButNotMaterialsOrTypedPaths) {
  ExportStateGuard guard;
  StandinScript script;
  script.dialog = [](HWND d, int) {
    StandinScript::AutoCheckBoxes(d, {IDC_EXPORT_MATERIALS, IDC_EXPORT_HARDPOINT_FILE});
    StandinScript::Click(d, IDC_EXPORT_ARMADA2);
    EXPECT_EQ(1, StandinScript::Checked(d, IDC_EXPORT_ARMADA2));
    EXPECT_EQ(0, StandinScript::Checked(d, IDC_EXPORT_ARMADA1));
    StandinScript::Click(d, IDC_EXPORT_HARDPOINT_FILE);
    StandinScript::Click(d, IDC_EXPORT_MATERIALS);
    SetDlgItemTextW(d, IDC_EXPORT_HARDPOINT_PATH, u"C:\\typed\\hp.txt");
    StandinScript::Click(d, IDCANCEL);
  };
  EXPECT_EQ(IDCANCEL, ShowDialog());
  EXPECT_EQ(kGameArmada2, exportOptions.gameVersion);
  EXPECT_EQ(1, exportOptions.useHardpointFile);
  EXPECT_EQ(1, exportOptions.exportMaterials);
  EXPECT_EQ(u"", std::u16string(exportOptions.hardpointFilePath));

  // The next opening shows what was kept.
  script.dialog = [](HWND d, int) {
    EXPECT_EQ(1, StandinScript::Checked(d, IDC_EXPORT_ARMADA2));
    EXPECT_EQ(0, StandinScript::Checked(d, IDC_EXPORT_ARMADA1));
    EXPECT_EQ(1, StandinScript::Checked(d, IDC_EXPORT_HARDPOINT_FILE));
    EXPECT_TRUE(StandinScript::Enabled(d, IDC_EXPORT_HARDPOINT_PATH));
    EXPECT_TRUE(StandinScript::Enabled(d, IDC_EXPORT_HARDPOINT_PICK));
    EXPECT_EQ(1, StandinScript::Checked(d, IDC_EXPORT_MATERIALS));
    // The close box answers like Cancel.
    SendMessageW(d, WM_CLOSE, 0, 0);
  };
  EXPECT_EQ(IDCANCEL, ShowDialog());
}

TEST(ExportDialog, OkTakesEveryBoxAndTypedPathCutToTheField) {
  ExportStateGuard guard;
  StandinScript script;
  const std::u16string longPath = u"C:\\" + std::u16string(300, u'x');
  script.dialog = [&longPath](HWND d, int) {
    StandinScript::AutoCheckBoxes(
        d, {IDC_EXPORT_MATERIALS, IDC_EXPORT_HARDPOINT_FILE, IDC_EXPORT_SPRITE_FILE, IDC_EXPORT_EMITTER_FILE});
    StandinScript::Click(d, IDC_EXPORT_MATERIALS);
    StandinScript::Click(d, IDC_EXPORT_SPRITE_FILE);
    SetDlgItemTextW(d, IDC_EXPORT_HARDPOINT_PATH, longPath.c_str());
    SetDlgItemTextW(d, IDC_EXPORT_SPRITE_PATH, u"sprites.txt");
    SetDlgItemTextW(d, IDC_EXPORT_EMITTER_PATH, u"emitters.txt");
    // A box set behind the toggle's back is still read by OK.
    SendDlgItemMessageW(d, IDC_EXPORT_EMITTER_FILE, BM_SETCHECK, BST_CHECKED, 0);
    StandinScript::Click(d, IDOK);
  };
  EXPECT_EQ(IDOK, ShowDialog());
  EXPECT_EQ(0, exportOptions.exportMaterials);
  EXPECT_EQ(0, exportOptions.useHardpointFile);
  EXPECT_EQ(1, exportOptions.useSpriteFile);
  EXPECT_EQ(1, exportOptions.useEmitterFile);
  EXPECT_EQ(longPath.substr(0, 259), std::u16string(exportOptions.hardpointFilePath));
  EXPECT_EQ(u"sprites.txt", std::u16string(exportOptions.spriteFilePath));
  EXPECT_EQ(u"emitters.txt", std::u16string(exportOptions.emitterFilePath));
}

TEST(ExportDialog, PickerFillsPathAtOnceWithTheRequestAsBuilt) {
  for (const Group& g : Groups()) {
    SCOPED_TRACE(g.name);
    ExportStateGuard guard;
    StandinScript script;
    const std::u16string chosen = u"D:\\mods\\" + std::u16string(g.name, g.name + std::strlen(g.name)) + u".txt";
    script.openFile = [&chosen](OPENFILENAMEW* r, DWORD*) {
      std::copy(chosen.begin(), chosen.end(), r->lpstrFile);
      r->lpstrFile[chosen.size()] = 0;
      return TRUE;
    };
    HWND shown = nullptr;
    script.dialog = [&](HWND d, int) {
      shown = d;
      StandinScript::AutoCheckBoxes(d, {g.box});
      StandinScript::Click(d, g.box);
      StandinScript::Click(d, g.button);
      EXPECT_EQ(chosen, std::u16string(g.path));
      EXPECT_EQ(chosen, StandinScript::Text(d, g.edit));
      StandinScript::Click(d, IDCANCEL);
    };
    EXPECT_EQ(IDCANCEL, ShowDialog());
    EXPECT_EQ(chosen, std::u16string(g.path));
    EXPECT_EQ(1, *g.flag);
    ASSERT_EQ(1u, script.fileRequests.size());
    const OPENFILENAMEW& r = script.fileRequests[0];
    EXPECT_EQ(152u, r.lStructSize);
    EXPECT_EQ(shown, r.hwndOwner);
    const std::u16string tail(u"\0*.txt\0All files (*.*)\0*.*\0\0", 28);
    const std::u16string filter(r.lpstrFilter, r.lpstrFilter + g.filterText.size() + tail.size());
    EXPECT_EQ(g.filterText + tail, filter);
    EXPECT_EQ(1u, r.nFilterIndex);
    EXPECT_EQ(260u, r.nMaxFile);
    EXPECT_NE(nullptr, r.lpstrFileTitle);
    EXPECT_EQ(260u, r.nMaxFileTitle);
    EXPECT_EQ(nullptr, r.lpstrInitialDir);
    EXPECT_EQ(u"Open File", std::u16string(r.lpstrTitle));
    EXPECT_EQ(0x00881804u, r.Flags);
    EXPECT_EQ(nullptr, r.lpstrCustomFilter);
    EXPECT_EQ(nullptr, r.lpfnHook);
    EXPECT_EQ(nullptr, r.lpTemplateName);
    EXPECT_EQ(nullptr, r.lpstrDefExt);
    EXPECT_TRUE(script.messageBoxes.empty());
  }
}

TEST(ExportDialog, PickerFailuresChangeNothingAndOnlyATooSmallBufferSpeaks) {
  struct Case {
    DWORD error;
    bool message;
  };
  for (const Case& c : {Case{0, false}, Case{FNERR_BUFFERTOOSMALL, true}, Case{0xFFFF, false}}) {
    ExportStateGuard guard;
    StandinScript script;
    HWND focus = StandinCreateWindow(RECT{0, 0, 10, 10});
    StandinSetFocus(focus);
    std::u16string before = u"C:\\before.txt";
    std::copy(before.c_str(), before.c_str() + before.size() + 1, exportOptions.hardpointFilePath);
    exportOptions.useHardpointFile = 1;
    script.openFile = [&c](OPENFILENAMEW*, DWORD* error) {
      *error = c.error;
      return FALSE;
    };
    script.dialog = [&before](HWND d, int) {
      EXPECT_EQ(0, PickHardpointFile(d));
      EXPECT_EQ(before, StandinScript::Text(d, IDC_EXPORT_HARDPOINT_PATH));
      StandinScript::Click(d, IDCANCEL);
    };
    ShowDialog();
    EXPECT_EQ(before, std::u16string(exportOptions.hardpointFilePath));
    if (!c.message) {
      EXPECT_TRUE(script.messageBoxes.empty()) << c.error;
      continue;
    }
    ASSERT_EQ(1u, script.messageBoxes.size());
    EXPECT_EQ(u"There was an error opening the file.", script.messageBoxes[0].text);
    EXPECT_EQ(u"Error", script.messageBoxes[0].caption);
    EXPECT_EQ(static_cast<UINT>(MB_OK | MB_ICONWARNING), script.messageBoxes[0].type);
    EXPECT_EQ(focus, script.messageBoxes[0].owner);
  }
}

TEST(ExportDialog, ProcedureAnswers) {
  ExportStateGuard guard;
  StandinScript script;
  EXPECT_EQ(0, InitExportDialog(nullptr));
  script.dialog = [](HWND d, int) {
    EXPECT_EQ(FALSE, ExportDialogProc(d, WM_SETTEXT, 0, 0));
    EXPECT_EQ(FALSE, ExportDialogProc(d, WM_COMMAND, MAKEWPARAM(1005, 0), 0));
    EXPECT_EQ(FALSE, ExportDialogProc(d, WM_COMMAND, MAKEWPARAM(IDC_EXPORT_ARMADA2, 0), 0));
    EXPECT_EQ(kGameArmada2, exportOptions.gameVersion);
    EXPECT_EQ(FALSE, ExportDialogProc(d, WM_COMMAND, MAKEWPARAM(IDC_EXPORT_ARMADA1, 0), 0));
    EXPECT_EQ(kGameArmada1, exportOptions.gameVersion);
    EXPECT_FALSE(StandinDialogEnded(d));
    // The notification code is not looked at.
    EXPECT_EQ(TRUE, ExportDialogProc(d, WM_COMMAND, MAKEWPARAM(IDOK, 5), 0));
    EXPECT_TRUE(StandinDialogEnded(d));
  };
  EXPECT_EQ(IDOK, ShowDialog());
}
