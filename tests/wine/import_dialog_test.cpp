// The import dialog on real Windows controls: template 101 as the DLL carries it, and
// the dialog driven by control id from a helper thread the way a user works it. The
// dialog is loaded from the real kveltar_64.dlx; the model it shows is made here.
#include <gtest/gtest.h>

#include <cstring>
#include <functional>
#include <nlohmann/json.hpp>
#include <string>
#include <vector>

#include "import/import_options.h"
#include "interface/host_scene.h"
#include "interface/ui_driver.h"
#include "plugin/operations.h"
#include "resource_ids.h"
#include "support/test_model.h"
#include "support/ui_script.h"
#include "wine/dialog_template.h"
#include "wine/plugin_module.h"
#include "wine/snapshot_json.h"

namespace {

using ui_script::Click;
using ui_script::Snapshot;

using nlohmann::json;

struct Item {
  uint32_t style;
  int16_t x, y, cx, cy;
  int16_t id;
  std::u16string className;
  std::u16string text;
};

const uint32_t kChild = WS_CHILD | WS_VISIBLE;
const uint32_t kStaticRight = SS_RIGHT | WS_GROUP | kChild;
const uint32_t kStaticLeft = SS_LEFT | WS_GROUP | kChild;
const std::u16string kButton = u"button", kStatic = u"static", kListBox = u"listbox";

const Item kExpectedItems[] = {
    {BS_PUSHBUTTON | WS_TABSTOP | kChild, 170, 10, 50, 14, 1, kButton, u"Import"},
    {BS_PUSHBUTTON | WS_TABSTOP | kChild, 170, 29, 50, 14, 2, kButton, u"Cancel"},
    {BS_GROUPBOX | kChild, 5, 10, 155, 100, -1, kButton, u"Info"},
    {kStaticRight, 10, 25, 45, 8, -1, kStatic, u"Version:"},
    {kStaticLeft, 60, 25, 95, 8, 111, kStatic, u"Static"},
    {kStaticRight, 10, 35, 45, 8, -1, kStatic, u"Materials:"},
    {kStaticLeft, 60, 35, 95, 8, 110, kStatic, u"0"},
    {kStaticRight, 10, 45, 45, 8, -1, kStatic, u"Null nodes:"},
    {kStaticLeft, 60, 45, 95, 8, 112, kStatic, u"0"},
    {kStaticRight, 10, 55, 45, 8, -1, kStatic, u"Mesh nodes:"},
    {kStaticLeft, 60, 55, 95, 8, 113, kStatic, u"0"},
    {kStaticRight, 10, 65, 45, 8, -1, kStatic, u"Sprite nodes:"},
    {kStaticLeft, 60, 65, 95, 8, 115, kStatic, u"0"},
    {kStaticRight, 10, 75, 45, 8, -1, kStatic, u"LOD nodes:"},
    {kStaticLeft, 60, 75, 95, 8, 114, kStatic, u"0"},
    {kStaticRight, 10, 85, 45, 8, -1, kStatic, u"Emitter nodes:"},
    {kStaticLeft, 60, 85, 95, 8, 116, kStatic, u"0"},
    {kStaticRight, 20, 95, 35, 8, -1, kStatic, u"Hardpoints:"},
    {kStaticLeft, 60, 95, 95, 8, 118, kStatic, u"0"},
    {kStaticLeft, 5, 120, 28, 8, -1, kStatic, u"Meshes:"},
    {LBS_EXTENDEDSEL | LBS_NOTIFY | LBS_NOINTEGRALHEIGHT | WS_VSCROLL | WS_BORDER | WS_TABSTOP | kChild, 5, 130, 155,
     80, 117, kListBox, u""},
    {BS_PUSHBUTTON | kChild, 170, 130, 50, 14, 120, kButton, u"Select All"},
    {BS_PUSHBUTTON | kChild, 170, 150, 50, 14, 121, kButton, u"Select None"},
    {BS_PUSHBUTTON | kChild, 170, 170, 50, 14, 122, kButton, u"Invert All"},
    {BS_GROUPBOX | kChild, 5, 215, 155, 50, -1, kButton, u"Extract To File"},
    {BS_AUTOCHECKBOX | kChild, 15, 230, 50, 8, 1004, kButton, u"Sprites"},
    {BS_AUTOCHECKBOX | kChild, 15, 240, 50, 8, 1003, kButton, u"Emitters"},
    {BS_AUTOCHECKBOX | kChild, 15, 250, 50, 8, 1002, kButton, u"Hardpoints"},
    {BS_GROUPBOX | kChild, 5, 270, 155, 50, -1, kButton, u"Convert To Geometry"},
    {BS_AUTOCHECKBOX | kChild, 15, 285, 60, 8, 1007, kButton, u"Sprites"},
    {BS_AUTOCHECKBOX | kChild, 15, 295, 60, 8, 1005, kButton, u"Emitters"},
    {BS_AUTOCHECKBOX | kChild, 15, 305, 60, 8, 1006, kButton, u"Hardpoints"},
};

host::UiAction Check(int id, int value) { return ui_script::SetCheck(id, value); }
host::UiAction Select(int index, int value) { return ui_script::Select(IDC_IMPORT_MESH_LIST, index, value); }

host::UiAnswer Answer(std::vector<host::UiAction> actions, int button) {
  return ui_script::DialogAnswer(u"Import ST Armada Model", std::move(actions), button);
}

const json& Control(const json& snapshot, int id) { return ControlInSnapshot(snapshot, id); }

std::vector<bool> Selection(const json& snapshot) {
  std::vector<bool> selected;
  for (const json& item : Control(snapshot, IDC_IMPORT_MESH_LIST)["items"]) selected.push_back(item["selected"]);
  return selected;
}

TestNode Mesh(const std::string& name) {
  TestNode node;
  node.name = name;
  node.vertices = {{0, 0, 0}, {1, 0, 0}, {0, 1, 0}};
  node.groups = {TestGroup{name, 0, {{0, 1, 2, 0, 0, 0}}}};
  node.selected = 0;
  return node;
}

class RealImportDialog : public testing::Test {
 protected:
  void SetUp() override {
    saved_ = importOptions;
    importOptions = ImportOptions{0, 0, 0, 0, 0, 0};
    FreeImportedModel(&importedModel);
  }
  void TearDown() override {
    FreeImportedModel(&importedModel);
    importOptions = saved_;
  }

  // Runs the import operation with the DLL's dialog template, answered by `answers`;
  // returns its result and keeps what the dialogs showed in `records`.
  int32_t Import(std::vector<host::UiAnswer> answers, host::HostScene* scene) {
    host::UiDriver driver(std::move(answers), false);
    scene->SetOwnerWindow(driver.OwnerWindow());
    HostContext* context = static_cast<HostContext*>(scene->Context());
    int32_t result = driver.Run([&] { return RunImport(context, ThePlugin().module); });
    records = driver.Records();
    return result;
  }
  json Snapshots(size_t record = 0) {
    EXPECT_LT(record, records.size());
    json snapshots = json::array();
    if (record < records.size()) {
      for (const auto& s : records[record].snapshots) snapshots.push_back(json(s));
    }
    return snapshots;
  }

  std::vector<host::UiRecord> records;

 private:
  ImportOptions saved_;
};

}  // namespace

TEST(ImportTemplate, HoldsEveryControlInOrder) {
  DialogTemplate t = ReadDialogTemplate(ThePlugin().module, IDD_IMPORT);
  ASSERT_TRUE(t.found);
  EXPECT_EQ(static_cast<uint32_t>(DS_MODALFRAME | DS_SETFONT | WS_POPUP | WS_CAPTION | WS_SYSMENU), t.style);
  EXPECT_EQ(0u, t.extendedStyle);
  EXPECT_EQ(0, t.x);
  EXPECT_EQ(0, t.y);
  EXPECT_EQ(227, t.cx);
  EXPECT_EQ(326, t.cy);
  EXPECT_EQ(u"", t.menu);
  EXPECT_EQ(u"", t.windowClass);  // the standard dialog class
  EXPECT_EQ(u"Import ST Armada Model", t.caption);
  EXPECT_EQ(8, t.pointSize);
  EXPECT_EQ(u"MS Sans Serif", t.font);
  ASSERT_EQ(sizeof kExpectedItems / sizeof kExpectedItems[0], t.items.size());
  for (size_t i = 0; i < t.items.size(); ++i) {
    const Item& expected = kExpectedItems[i];
    const TemplateItem& item = t.items[i];
    SCOPED_TRACE(std::string(expected.text.begin(), expected.text.end()));
    EXPECT_EQ(expected.style, item.style);
    EXPECT_EQ(0u, item.extendedStyle);
    EXPECT_EQ(expected.x, item.x);
    EXPECT_EQ(expected.y, item.y);
    EXPECT_EQ(expected.cx, item.cx);
    EXPECT_EQ(expected.cy, item.cy);
    EXPECT_EQ(expected.id, item.id);
    EXPECT_EQ(expected.className, item.className);
    EXPECT_EQ(expected.text, item.text);
    EXPECT_EQ(0, item.creationBytes);
  }
  EXPECT_FALSE(t.overrun);
}

TEST_F(RealImportDialog, ShowsTheFileAndCentresOnTheScreen) {
  FillTestModel(&importedModel, {Mesh("hull"), Mesh("borg_hull"), Mesh("hullBorg"), Mesh("BORG_hull")});
  importedModel.version = 1.6f;
  importedModel.materialSectionCount = 7;
  importedModel.nullNodeCount = 2;
  importedModel.spriteCount = 3;
  importedModel.lodNodeCount = 1;
  importedModel.emitterCount = 5;
  importedModel.hardpointCount = 6;
  host::HostScene scene;
  EXPECT_EQ(2, Import({Answer({}, IDCANCEL)}, &scene));
  ASSERT_EQ(1u, records.size());
  const host::UiRecord& r = records[0];
  EXPECT_EQ(u"Import ST Armada Model", r.caption);
  EXPECT_TRUE(r.ownerIsHostWindow);
  EXPECT_EQ((r.screenWidth - r.width) / 2, r.left);
  EXPECT_EQ((r.screenHeight - r.height) / 2, r.top);
  json shown = Snapshots()[0];
  EXPECT_EQ("1.60\n", Control(shown, IDC_IMPORT_VERSION)["text"]);
  const struct {
    int id;
    const char* text;
  } counts[] = {{110, "7\n"}, {112, "2\n"}, {113, "4\n"}, {115, "3\n"}, {114, "1\n"}, {116, "5\n"}, {118, "6\n"}};
  for (const auto& c : counts) EXPECT_EQ(c.text, Control(shown, c.id)["text"]) << c.id;
  const json& list = Control(shown, IDC_IMPORT_MESH_LIST)["items"];
  ASSERT_EQ(4u, list.size());
  EXPECT_EQ("borg_hull", list[1]["text"]);
  EXPECT_EQ((std::vector<bool>{true, false, false, true}), Selection(shown));
  for (int id : {IDC_IMPORT_SELECT_ALL, IDC_IMPORT_SELECT_NONE, IDC_IMPORT_INVERT_ALL}) {
    EXPECT_TRUE(Control(shown, id)["enabled"].get<bool>()) << id;
  }
}

TEST_F(RealImportDialog, ListButtonsSelectAllNoneAndInvert) {
  FillTestModel(&importedModel, {Mesh("a"), Mesh("borg_b"), Mesh("c"), Mesh("d")});
  host::HostScene scene;
  Import({Answer({Click(IDC_IMPORT_SELECT_ALL), Snapshot(), Click(IDC_IMPORT_SELECT_NONE), Snapshot(), Select(0, 1),
                  Select(2, 1), Click(IDC_IMPORT_INVERT_ALL), Snapshot()},
                 IDCANCEL)},
         &scene);
  json snapshots = Snapshots();
  ASSERT_EQ(4u, snapshots.size());
  EXPECT_EQ((std::vector<bool>{true, false, true, true}), Selection(snapshots[0]));
  EXPECT_EQ((std::vector<bool>{true, true, true, true}), Selection(snapshots[1]));
  EXPECT_EQ((std::vector<bool>{false, false, false, false}), Selection(snapshots[2]));
  EXPECT_EQ((std::vector<bool>{false, true, false, true}), Selection(snapshots[3]));
}

TEST_F(RealImportDialog, WithoutMeshesTheListButtonsAreDisabled) {
  TestNode root;
  root.name = "root";
  root.kind = 0;
  FillTestModel(&importedModel, {root});
  AddTestMaterial(&importedModel, "paint", 0.5f);
  host::HostScene scene;
  EXPECT_EQ(1, Import({Answer({}, IDOK)}, &scene));
  json shown = Snapshots()[0];
  EXPECT_TRUE(Control(shown, IDC_IMPORT_MESH_LIST)["items"].empty());
  for (int id : {IDC_IMPORT_SELECT_ALL, IDC_IMPORT_SELECT_NONE, IDC_IMPORT_INVERT_ALL}) {
    EXPECT_FALSE(Control(shown, id)["enabled"].get<bool>()) << id;
  }
  EXPECT_EQ(1, scene.MaterialCount());
  EXPECT_TRUE(scene.Finished());
}

TEST_F(RealImportDialog, ImportBuildsTheSelectionAndTheBoxesAreRemembered) {
  const int boxes[] = {1002, 1003, 1004, 1005, 1006, 1007};
  // First import: tick hardpoint extraction and sprite conversion, deselect "b".
  FillTestModel(&importedModel, {Mesh("a"), Mesh("b"), Mesh("c")});
  host::HostScene first;
  EXPECT_EQ(1, Import({Answer({Check(1002, 1), Check(1007, 1), Select(1, 0)}, IDOK)}, &first));
  EXPECT_EQ((std::vector<std::u16string>{u"a", u"c"}),
            (std::vector<std::u16string>{first.PartName(0), first.PartName(1)}));
  EXPECT_EQ(1, importOptions.extractHardpoints);
  EXPECT_EQ(1, importOptions.convertSprites);

  // Second import: the boxes show the first choice; ticking more and cancelling
  // keeps the options as they were and releases the model.
  FillTestModel(&importedModel, {Mesh("a")});
  host::HostScene second;
  EXPECT_EQ(2, Import({Answer({Check(1003, 1), Check(1002, 0), Snapshot()}, IDCANCEL)}, &second));
  json snapshots = Snapshots();
  for (int id : boxes) {
    int expected = id == 1002 || id == 1007 ? 1 : 0;
    EXPECT_EQ(expected, Control(snapshots[0], id)["checked"]) << id;
  }
  EXPECT_EQ(1, Control(snapshots[1], 1003)["checked"]);
  EXPECT_EQ(0, Control(snapshots[1], 1002)["checked"]);
  EXPECT_EQ(1, importOptions.extractHardpoints);
  EXPECT_EQ(0, importOptions.extractEmitters);
  EXPECT_EQ(0, second.MaterialCount());
  EXPECT_EQ(0, importedModel.nodeCount);

  // Third import, without a new model: an empty dialog with the remembered boxes.
  host::HostScene third;
  EXPECT_EQ(1, Import({Answer({}, IDOK)}, &third));
  json shown = Snapshots()[0];
  EXPECT_EQ(1, Control(shown, 1002)["checked"]);
  EXPECT_EQ(0, Control(shown, 1003)["checked"]);
  EXPECT_EQ("0\n", Control(shown, IDC_IMPORT_MESH_NODES)["text"]);
  EXPECT_EQ(0, third.PartCount());
}

TEST_F(RealImportDialog, CancelKeepsTheOptionsAndBuildsNothing) {
  FillTestModel(&importedModel, {Mesh("a")});
  host::HostScene scene;
  EXPECT_EQ(2, Import({Answer({Check(1006, 1)}, IDCANCEL)}, &scene));
  EXPECT_EQ(0, importOptions.convertHardpoints);
  EXPECT_EQ(0, importedModel.nodeCount);
  EXPECT_EQ(std::vector<std::string>{"GetOwnerWindow"}, scene.CallLog());
}
