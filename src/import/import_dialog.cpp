#include "import/import_dialog.h"

#include <cstring>
#include <initializer_list>

#include "common/text_conversion.h"
#include "common/wide_text.h"
#include "common/window_placement.h"
#include "import/import_options.h"
#include "resource_ids.h"
#include "sod/imported_model.h"

namespace {

constexpr uint32_t kMeshKind = 1;
constexpr size_t kLabelUnits = 64;

void ShowVersion(HWND dialog, float version) {
  char16_t text[kLabelUnits];
  FormatWide(text, kLabelUnits, "%.2f\n", static_cast<double>(version));
  SetDlgItemTextW(dialog, IDC_IMPORT_VERSION, WinText(text));
}

void ShowCount(HWND dialog, int id, int32_t count) {
  char16_t text[kLabelUnits];
  FormatWide(text, kLabelUnits, "%d\n", static_cast<int>(count));
  SetDlgItemTextW(dialog, id, WinText(text));
}

void ShowCounts(HWND dialog, const ImportedModel& model) {
  ShowVersion(dialog, model.version);
  const struct {
    int id;
    int32_t count;
  } counts[] = {{IDC_IMPORT_MATERIALS, model.materialSectionCount}, {IDC_IMPORT_NULL_NODES, model.nullNodeCount},
                {IDC_IMPORT_MESH_NODES, model.meshNodeCount},       {IDC_IMPORT_SPRITE_NODES, model.spriteCount},
                {IDC_IMPORT_LOD_NODES, model.lodNodeCount},         {IDC_IMPORT_EMITTER_NODES, model.emitterCount},
                {IDC_IMPORT_HARDPOINTS, model.hardpointCount}};
  for (const auto& c : counts) ShowCount(dialog, c.id, c.count);
}

// The mesh list: every mesh node's name in node order, then the pre-selection.
void ListMeshes(HWND dialog, const ImportedModel& model) {
  SendDlgItemMessageW(dialog, IDC_IMPORT_MESH_LIST, LB_RESETCONTENT, 0, 0);
  if (model.nodes == nullptr) return;
  for (int32_t i = 0; i < model.nodeCount; ++i) {
    if (model.nodes[i].kind != kMeshKind) continue;
    char16_t name[kModelTextUnits];
    NarrowToWide(model.nodes[i].name, name, kModelTextUnits);
    SendDlgItemMessageW(dialog, IDC_IMPORT_MESH_LIST, LB_ADDSTRING, 0, reinterpret_cast<LPARAM>(WinText(name)));
  }
  LPARAM position = 0;
  for (int32_t i = 0; i < model.nodeCount; ++i) {
    if (model.nodes[i].kind != kMeshKind) continue;
    if (!StartsUnselected(model.nodes[i].name)) {
      SendDlgItemMessageW(dialog, IDC_IMPORT_MESH_LIST, LB_SETSEL, TRUE, position);
    }
    ++position;
  }
}

void EnableListButtons(HWND dialog, BOOL enable) {
  for (int id : {IDC_IMPORT_SELECT_ALL, IDC_IMPORT_SELECT_NONE, IDC_IMPORT_INVERT_ALL}) {
    EnableWindow(GetDlgItem(dialog, id), enable);
  }
}

// The six boxes and the option each one shows, in the order they are set.
struct OptionBox {
  int id;
  int32_t ImportOptions::*option;
};

const OptionBox kOptionBoxes[] = {
    {IDC_IMPORT_EXTRACT_HARDPOINTS, &ImportOptions::extractHardpoints},
    {IDC_IMPORT_CONVERT_HARDPOINTS, &ImportOptions::convertHardpoints},
    {IDC_IMPORT_EXTRACT_EMITTERS, &ImportOptions::extractEmitters},
    {IDC_IMPORT_CONVERT_EMITTERS, &ImportOptions::convertEmitters},
    {IDC_IMPORT_EXTRACT_SPRITES, &ImportOptions::extractSprites},
    {IDC_IMPORT_CONVERT_SPRITES, &ImportOptions::convertSprites},
};

void FillDialog(HWND dialog) {
  ShowCounts(dialog, importedModel);
  ListMeshes(dialog, importedModel);
  EnableListButtons(dialog, importedModel.meshNodeCount > 0 ? TRUE : FALSE);
  for (const OptionBox& box : kOptionBoxes) {
    WPARAM state = importOptions.*box.option == 1 ? BST_CHECKED : BST_UNCHECKED;
    SendDlgItemMessageW(dialog, box.id, BM_SETCHECK, state, 0);
  }
}

void StoreOptions(HWND dialog) {
  for (const OptionBox& box : kOptionBoxes) {
    importOptions.*box.option = SendDlgItemMessageW(dialog, box.id, BM_GETCHECK, 0, 0) == BST_CHECKED ? 1 : 0;
  }
}

// Marks the mesh node behind every selected list entry; list position p stands for the
// p-th mesh node. One walk over the nodes keeps the mesh position alongside.
void RecordSelection(HWND dialog, ImportedModel* model) {
  model->selectedMeshCount = 0;
  LRESULT entries = SendDlgItemMessageW(dialog, IDC_IMPORT_MESH_LIST, LB_GETCOUNT, 0, 0);
  if (model->nodes == nullptr || entries <= 0) return;
  LRESULT position = 0;
  for (int32_t i = 0; i < model->nodeCount && position < entries; ++i) {
    if (model->nodes[i].kind != kMeshKind) continue;
    if (SendDlgItemMessageW(dialog, IDC_IMPORT_MESH_LIST, LB_GETSEL, static_cast<WPARAM>(position), 0) > 0) {
      model->nodes[i].selected = 1;
      ++model->selectedMeshCount;
    }
    ++position;
  }
}

void InvertSelection(HWND dialog) {
  LRESULT entries = SendDlgItemMessageW(dialog, IDC_IMPORT_MESH_LIST, LB_GETCOUNT, 0, 0);
  for (LRESULT i = 0; i < entries; ++i) {
    bool selected = SendDlgItemMessageW(dialog, IDC_IMPORT_MESH_LIST, LB_GETSEL, static_cast<WPARAM>(i), 0) > 0;
    SendDlgItemMessageW(dialog, IDC_IMPORT_MESH_LIST, LB_SETSEL, selected ? FALSE : TRUE, i);
  }
}

INT_PTR OnCommand(HWND dialog, int command) {
  switch (command) {
    case IDOK:
      StoreOptions(dialog);
      RecordSelection(dialog, &importedModel);
      EndDialog(dialog, 1);
      return TRUE;
    case IDCANCEL:
      EndDialog(dialog, 0);
      return TRUE;
    case IDC_IMPORT_SELECT_ALL:
      SendDlgItemMessageW(dialog, IDC_IMPORT_MESH_LIST, LB_SETSEL, TRUE, -1);
      return FALSE;
    case IDC_IMPORT_SELECT_NONE:
      SendDlgItemMessageW(dialog, IDC_IMPORT_MESH_LIST, LB_SETSEL, FALSE, -1);
      return FALSE;
    case IDC_IMPORT_INVERT_ALL:
      InvertSelection(dialog);
      return FALSE;
    default:
      return FALSE;
  }
}

}  // namespace

int StartsUnselected(const char* meshName) {
  if (meshName == nullptr) return 0;
  return std::strstr(meshName, "Borg") != nullptr || std::strstr(meshName, "borg") != nullptr ? 1 : 0;
}

INT_PTR CALLBACK ImportDialogProc(HWND dialog, UINT message, WPARAM wParam, LPARAM) {
  if (message == WM_INITDIALOG) {
    FillDialog(dialog);
    CenterWindow(dialog, GetDesktopWindow());
    return TRUE;
  }
  if (message == WM_COMMAND) return OnCommand(dialog, LOWORD(wParam));
  return FALSE;
}
