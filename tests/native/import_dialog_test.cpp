// The import dialog and the import operation on the stand-in desktop: what the dialog
// shows, how its buttons work the mesh list, what Import and Cancel keep, and that the
// imported model is released on every path.
#include <gtest/gtest.h>

#include <cstring>
#include <functional>
#include <string>
#include <vector>

#include "import/import_dialog.h"
#include "import/import_options.h"
#include "interface/host_scene.h"
#include "platform/native/ui_standin.h"
#include "plugin/operations.h"
#include "resource_ids.h"
#include "support/test_model.h"

namespace {

// The user: acts on the dialog once it is open.
typedef std::function<void(HWND)> User;

void RunUser(HWND dialog, int templateId, void* user) {
  EXPECT_EQ(IDD_IMPORT, templateId);
  (*static_cast<User*>(user))(dialog);
}

std::u16string Text(HWND dialog, int id) { return StandinWindowText(GetDlgItem(dialog, id)); }

std::vector<int> Selection(HWND dialog) {
  std::vector<int> selected;
  LRESULT n = SendDlgItemMessageW(dialog, IDC_IMPORT_MESH_LIST, LB_GETCOUNT, 0, 0);
  for (LRESULT i = 0; i < n; ++i) {
    selected.push_back(static_cast<int>(SendDlgItemMessageW(dialog, IDC_IMPORT_MESH_LIST, LB_GETSEL, i, 0)));
  }
  return selected;
}

std::vector<std::u16string> Entries(HWND dialog) {
  std::vector<std::u16string> entries;
  LRESULT n = SendDlgItemMessageW(dialog, IDC_IMPORT_MESH_LIST, LB_GETCOUNT, 0, 0);
  for (LRESULT i = 0; i < n; ++i) {
    char16_t text[256] = {};
    SendDlgItemMessageW(dialog, IDC_IMPORT_MESH_LIST, LB_GETTEXT, i, reinterpret_cast<LPARAM>(text));
    entries.push_back(text);
  }
  return entries;
}

void Click(HWND dialog, int id) { SendMessageW(GetDlgItem(dialog, id), BM_CLICK, 0, 0); }

const int kBoxes[] = {IDC_IMPORT_EXTRACT_SPRITES, IDC_IMPORT_EXTRACT_EMITTERS, IDC_IMPORT_EXTRACT_HARDPOINTS,
                      IDC_IMPORT_CONVERT_SPRITES, IDC_IMPORT_CONVERT_EMITTERS, IDC_IMPORT_CONVERT_HARDPOINTS};

// The boxes' states in the order of the ImportOptions fields.
std::vector<int> Boxes(HWND dialog) {
  std::vector<int> states;
  for (int id : kBoxes) states.push_back(static_cast<int>(SendDlgItemMessageW(dialog, id, BM_GETCHECK, 0, 0)));
  return states;
}

std::vector<int> Options() {
  const ImportOptions& o = importOptions;
  return {o.extractSprites, o.extractEmitters, o.extractHardpoints,
          o.convertSprites, o.convertEmitters, o.convertHardpoints};
}

void Tick(HWND dialog, int id) {
  StandinDeclareControl(dialog, id, StandinControlKind::kAutoCheckBox);
  Click(dialog, id);
}

TestNode Mesh(const std::string& name) {
  TestNode node;
  node.name = name;
  node.vertices = {{0, 0, 0}, {1, 0, 0}, {0, 1, 0}};
  TestGroup group;
  group.material = name;
  group.faces = {{0, 1, 2, 0, 0, 0}};
  node.groups = {group};
  node.selected = 0;
  return node;
}

TestNode Null(const std::string& name) {
  TestNode node;
  node.name = name;
  node.kind = 0;
  node.selected = 0;
  return node;
}

class ImportDialog : public testing::Test {
 protected:
  void SetUp() override {
    StandinResetDesktop();
    saved_ = importOptions;
    importOptions = ImportOptions{0, 0, 0, 0, 0, 0};
    FreeImportedModel(&importedModel);
    owner_ = StandinCreateWindow(RECT{0, 0, 640, 480});
    scene.SetOwnerWindow(owner_);
  }
  void TearDown() override {
    StandinResetDesktop();
    FreeImportedModel(&importedModel);
    importOptions = saved_;
  }

  // Runs the dialog alone, with `user` acting on it; the model stays for inspection.
  INT_PTR Show(User user) {
    StandinSetDialogDriver(RunUser, &user);
    INT_PTR result = DialogBoxParamW(nullptr, MAKEINTRESOURCEW(IDD_IMPORT), owner_, ImportDialogProc, 0);
    StandinSetDialogDriver(nullptr, nullptr);
    return result;
  }

  // The whole import operation with `user` answering the dialog.
  int32_t Import(User user) {
    StandinSetDialogDriver(RunUser, &user);
    int32_t result = RunImport(static_cast<HostContext*>(scene.Context()), &moduleStandIn_);
    StandinSetDialogDriver(nullptr, nullptr);
    return result;
  }

  static bool ModelIsEmpty() {
    static const ImportedModel empty = {};
    return std::memcmp(&importedModel, &empty, sizeof empty) == 0;
  }

  host::HostScene scene;
  HWND owner_ = nullptr;

 private:
  ImportOptions saved_;
  int moduleStandIn_ = 0;
};

}  // namespace

TEST_F(ImportDialog, ShowsTheCountsUnderTheirOwnControls) {
  FillTestModel(&importedModel, {Mesh("hull")});
  importedModel.version = 1.6f;
  importedModel.materialSectionCount = 7;
  importedModel.nullNodeCount = 2;
  importedModel.meshNodeCount = 4;
  importedModel.spriteCount = 3;
  importedModel.lodNodeCount = 1;
  importedModel.emitterCount = 5;
  importedModel.hardpointCount = 6;
  Show([](HWND d) {
    EXPECT_EQ(u"1.60\n", Text(d, IDC_IMPORT_VERSION));
    const struct {
      int id;
      const char16_t* text;
    } counts[] = {{IDC_IMPORT_MATERIALS, u"7\n"},  {IDC_IMPORT_NULL_NODES, u"2\n"},
                  {IDC_IMPORT_MESH_NODES, u"4\n"}, {IDC_IMPORT_SPRITE_NODES, u"3\n"},
                  {IDC_IMPORT_LOD_NODES, u"1\n"},  {IDC_IMPORT_EMITTER_NODES, u"5\n"},
                  {IDC_IMPORT_HARDPOINTS, u"6\n"}};
    for (const auto& c : counts) EXPECT_EQ(c.text, Text(d, c.id)) << c.id;
  });
}

TEST_F(ImportDialog, ListsMeshNodesAndLeavesBorgNamesUnselected) {
  FillTestModel(&importedModel, {Mesh("hull"), Null("root"), Mesh("borg_hull"), Mesh("hullBorg"), Null("hp01"),
                                 Mesh("BORG_hull"), Mesh("cyborgs"), Mesh("bOrg")});
  Show([](HWND d) {
    EXPECT_EQ((std::vector<std::u16string>{u"hull", u"borg_hull", u"hullBorg", u"BORG_hull", u"cyborgs", u"bOrg"}),
              Entries(d));
    EXPECT_EQ((std::vector<int>{1, 0, 0, 1, 0, 1}), Selection(d));
  });
}

TEST_F(ImportDialog, NamesAreShownFromTheAnsiCodePage) {
  FillTestModel(&importedModel, {Mesh("K\xE4"
                                      "fer")});  // Windows-1252 a-umlaut
  Show([](HWND d) { EXPECT_EQ((std::vector<std::u16string>{u"K\u00E4fer"}), Entries(d)); });
}

TEST_F(ImportDialog, ListButtonsWorkTheWholeList) {
  FillTestModel(&importedModel, {Mesh("a"), Mesh("b"), Mesh("c"), Mesh("d")});
  Show([](HWND d) {
    Click(d, IDC_IMPORT_SELECT_NONE);
    EXPECT_EQ((std::vector<int>{0, 0, 0, 0}), Selection(d));
    Click(d, IDC_IMPORT_SELECT_ALL);
    EXPECT_EQ((std::vector<int>{1, 1, 1, 1}), Selection(d));
    SendDlgItemMessageW(d, IDC_IMPORT_MESH_LIST, LB_SETSEL, FALSE, 1);
    SendDlgItemMessageW(d, IDC_IMPORT_MESH_LIST, LB_SETSEL, FALSE, 3);
    Click(d, IDC_IMPORT_INVERT_ALL);
    EXPECT_EQ((std::vector<int>{0, 1, 0, 1}), Selection(d));
    EXPECT_FALSE(StandinDialogEnded(d));
  });
}

TEST_F(ImportDialog, ListButtonsAreEnabledOnlyWithMeshes) {
  const struct {
    std::vector<TestNode> nodes;
    BOOL enabled;
  } cases[] = {{{Null("root")}, FALSE}, {{}, FALSE}, {{Null("root"), Mesh("hull")}, TRUE}};
  for (const auto& c : cases) {
    FreeImportedModel(&importedModel);
    FillTestModel(&importedModel, c.nodes);
    Show([&](HWND d) {
      for (int id : {IDC_IMPORT_SELECT_ALL, IDC_IMPORT_SELECT_NONE, IDC_IMPORT_INVERT_ALL}) {
        EXPECT_EQ(c.enabled, IsWindowEnabled(GetDlgItem(d, id))) << id;
      }
      EXPECT_EQ(c.enabled ? 1 : 0, static_cast<int>(SendDlgItemMessageW(d, IDC_IMPORT_MESH_LIST, LB_GETCOUNT, 0, 0)));
    });
  }
}

TEST_F(ImportDialog, ImportMarksTheChosenMeshNodes) {
  FillTestModel(&importedModel, {Mesh("a"), Null("n"), Mesh("b"), Mesh("borg"), Mesh("c")});
  INT_PTR result = Show([](HWND d) {
    SendDlgItemMessageW(d, IDC_IMPORT_MESH_LIST, LB_SETSEL, FALSE, 2);  // "borg" was already off; "c" goes
    SendDlgItemMessageW(d, IDC_IMPORT_MESH_LIST, LB_SETSEL, FALSE, 3);
    Click(d, IDOK);
  });
  EXPECT_EQ(1, result);
  EXPECT_EQ(2, importedModel.selectedMeshCount);
  const uint32_t selected[] = {1, 0, 1, 0, 0};
  for (int i = 0; i < 5; ++i) EXPECT_EQ(selected[i], importedModel.nodes[i].selected) << i;
}

TEST_F(ImportDialog, CancelAndCloseEndWithZero) {
  FillTestModel(&importedModel, {Mesh("a")});
  EXPECT_EQ(0, Show([](HWND d) { Click(d, IDCANCEL); }));
  EXPECT_EQ(0, Show([](HWND d) { SendMessageW(d, WM_CLOSE, 0, 0); }));
  EXPECT_EQ(0, importedModel.selectedMeshCount);
  EXPECT_EQ(0u, importedModel.nodes[0].selected);
}

TEST_F(ImportDialog, BoxesShowTheOptionsAndOnlyImportStoresThem) {
  FillTestModel(&importedModel, {Mesh("a")});
  importOptions = ImportOptions{1, 0, 1, 0, 1, 0};
  Show([](HWND d) {
    EXPECT_EQ((std::vector<int>{1, 0, 1, 0, 1, 0}), Boxes(d));
    for (int id : kBoxes) Tick(d, id);
    Click(d, IDCANCEL);
  });
  EXPECT_EQ((std::vector<int>{1, 0, 1, 0, 1, 0}), Options());
  Show([](HWND d) {
    EXPECT_EQ((std::vector<int>{1, 0, 1, 0, 1, 0}), Boxes(d));
    Tick(d, IDC_IMPORT_EXTRACT_SPRITES);
    Tick(d, IDC_IMPORT_CONVERT_HARDPOINTS);
    Click(d, IDOK);
  });
  EXPECT_EQ((std::vector<int>{0, 0, 1, 0, 1, 1}), Options());
}

TEST_F(ImportDialog, OwnedByTheHostWindowAndCentredOnTheScreen) {
  FillTestModel(&importedModel, {Mesh("a")});
  StandinSetScreenSize(1280, 1024);
  Show([this](HWND d) {
    EXPECT_EQ(owner_, StandinOwnerOf(d));
    RECT r;
    GetWindowRect(d, &r);
    EXPECT_EQ((1280 - 400) / 2, r.left);
    EXPECT_EQ((1024 - 500) / 2, r.top);
  });
}

TEST_F(ImportDialog, ImportBuildsTheChosenMeshesAndReleasesTheModel) {
  FillTestModel(&importedModel, {Mesh("keep"), Mesh("borg_cube"), Mesh("drop")});
  EXPECT_EQ(1, Import([](HWND d) {
              SendDlgItemMessageW(d, IDC_IMPORT_MESH_LIST, LB_SETSEL, FALSE, 2);
              Click(d, IDOK);
            }));
  EXPECT_TRUE(ModelIsEmpty());
  ASSERT_EQ(1, scene.PartCount());
  EXPECT_EQ(u"keep", scene.PartName(0));
  EXPECT_EQ(3, scene.VertexCount());
  EXPECT_EQ(std::string("GetOwnerWindow"), scene.CallLog()[0]);
  EXPECT_TRUE(scene.Finished());
}

TEST_F(ImportDialog, ImportWithoutMeshesBuildsMaterialsOnly) {
  AddTestMaterial(&importedModel, "paint", 0.5f);
  FillTestModel(&importedModel, {Null("root")});
  EXPECT_EQ(1, Import([](HWND d) { Click(d, IDOK); }));
  EXPECT_EQ(1, scene.MaterialCount());
  EXPECT_EQ(0, scene.VertexCount());
  EXPECT_TRUE(ModelIsEmpty());
}

TEST_F(ImportDialog, FailedBuildAnswersZeroAndReleasesTheModel) {
  FillTestModel(&importedModel, {Mesh("hull")});
  scene.FailService("CreatePart", 1);
  EXPECT_EQ(0, Import([](HWND d) { Click(d, IDOK); }));
  EXPECT_TRUE(ModelIsEmpty());
  EXPECT_FALSE(scene.Finished());
}

TEST_F(ImportDialog, CancelAnswersTwoAndReleasesTheModel) {
  FillTestModel(&importedModel, {Mesh("hull")});
  importOptions.convertHardpoints = 1;
  EXPECT_EQ(2, Import([](HWND d) {
              Tick(d, IDC_IMPORT_CONVERT_HARDPOINTS);
              Click(d, IDCANCEL);
            }));
  EXPECT_TRUE(ModelIsEmpty());
  EXPECT_EQ(1, importOptions.convertHardpoints);
  EXPECT_EQ(std::vector<std::string>{"GetOwnerWindow"}, scene.CallLog());
  // A second import without a new read sees an empty model.
  EXPECT_EQ(1, Import([](HWND d) {
              EXPECT_EQ(0, SendDlgItemMessageW(d, IDC_IMPORT_MESH_LIST, LB_GETCOUNT, 0, 0));
              EXPECT_EQ(u"0\n", Text(d, IDC_IMPORT_MESH_NODES));
              Click(d, IDOK);
            }));
}

TEST_F(ImportDialog, DialogThatCannotOpenCountsAsCancelled) {
  FillTestModel(&importedModel, {Mesh("hull")});
  // No user: the stand-in desktop cannot show the dialog and answers -1.
  EXPECT_EQ(2, RunImport(static_cast<HostContext*>(scene.Context()), &importedModel));
  EXPECT_TRUE(ModelIsEmpty());
  EXPECT_EQ(0, RunImport(nullptr, &importedModel));
  EXPECT_EQ(0, RunImport(static_cast<HostContext*>(scene.Context()), nullptr));
}
