// The real export dialog and message boxes of kveltar_64.dlx, shown by the export
// operation and worked by control id from the reference host's dialog driver.
#include <gtest/gtest.h>

#include "interface/ui_driver.h"
#include "support/ui_script.h"
#include "support/ui_snapshot.h"
#include "wine/fresh_plugin.h"

namespace {

using namespace ui_script;

// The export dialog, whatever its caption.
host::UiAnswer DialogAnswer(std::vector<host::UiAction> actions, int button) {
  return ui_script::DialogAnswer(u"", std::move(actions), button);
}

constexpr uint32_t kExport = 0x10020;

// One material and one triangle: a scene the checks let through.
void BuildExportable(host::HostScene& scene, const std::u16string& material = u"hull") {
  scene.AddMaterial(material, {0.5f, 0.5f, 0.5f, 1}, {0.2f, 0.2f, 0.2f, 1}, {1, 1, 1, 1}, 10, 1);
  for (int i = 0; i < 3; ++i) scene.AddVertex({static_cast<float>(i), 1, 0});
  scene.AddTexCoord(0, 0);
  int set = scene.AddPolygonSet();
  host::FaceSpec face;
  face.materialIndex = 0;
  face.vertices = {0, 1, 2};
  face.texCoords = {0, 0, 0};
  scene.AddFace(set, face);
}

struct ExportRun {
  int32_t result;
  std::vector<host::UiRecord> records;
};

// One export operation on `plugin`, its windows answered in order.
ExportRun Export(FreshPlugin& plugin, host::HostScene& scene, std::vector<host::UiAnswer> answers) {
  host::UiDriver driver(std::move(answers), false);
  scene.SetOwnerWindow(driver.OwnerWindow());
  int32_t result = driver.Run([&] { return plugin.Run(kExport, scene); });
  return {result, driver.Records()};
}

struct Group {
  int box, edit, button;
};
const Group kGroups[] = {{1015, 1012, 1018}, {1016, 1013, 1019}, {1017, 1014, 1020}};

}  // namespace

TEST(ExportDialogWine, FirstOpeningCentredOnTheScreen) {
  FreshPlugin plugin;
  ASSERT_TRUE(plugin.Ready());
  host::HostScene scene;
  BuildExportable(scene);
  ExportRun run = Export(plugin, scene, {DialogAnswer({}, IDCANCEL)});
  EXPECT_EQ(2, run.result);
  ASSERT_EQ(1u, run.records.size());
  const host::UiRecord& r = run.records[0];
  EXPECT_EQ("dialog", r.kind);
  EXPECT_EQ(u"Export SOD Model", r.caption);
  EXPECT_TRUE(r.ownerIsHostWindow);
  EXPECT_EQ((r.screenWidth - r.width) / 2, r.left);
  EXPECT_EQ((r.screenHeight - r.height) / 2, r.top);
  const host::Json& s = r.snapshots.at(0);
  EXPECT_EQ(1, FindControl(s, 1000).checked);
  EXPECT_EQ(0, FindControl(s, 1001).checked);
  EXPECT_EQ(1, FindControl(s, 1011).checked);
  EXPECT_EQ("ST Armada 1", FindControl(s, 1000).text);
  for (const Group& g : kGroups) {
    EXPECT_EQ(0, FindControl(s, g.box).checked) << g.box;
    EXPECT_TRUE(FindControl(s, g.box).enabled) << g.box;
    EXPECT_FALSE(FindControl(s, g.edit).enabled) << g.edit;
    EXPECT_FALSE(FindControl(s, g.button).enabled) << g.button;
    EXPECT_EQ("", FindControl(s, g.edit).text) << g.edit;
  }
}

TEST(ExportDialogWine, TogglesEnableTheirGroupAtOnceAndOutliveCancel) {
  for (const Group& g : kGroups) {
    SCOPED_TRACE(g.box);
    FreshPlugin plugin;
    ASSERT_TRUE(plugin.Ready());
    host::HostScene scene;
    BuildExportable(scene);
    ExportRun first = Export(
        plugin, scene,
        {DialogAnswer({SetCheck(g.box, 1), Snapshot(), SetCheck(g.box, 0), Snapshot(), SetCheck(g.box, 1)}, IDCANCEL)});
    ASSERT_EQ(1u, first.records.size());
    ASSERT_EQ(3u, first.records[0].snapshots.size());
    const host::Json& ticked = first.records[0].snapshots[1];
    EXPECT_TRUE(FindControl(ticked, g.edit).enabled);
    EXPECT_TRUE(FindControl(ticked, g.button).enabled);
    for (const Group& other : kGroups) {
      if (other.box == g.box) continue;
      EXPECT_FALSE(FindControl(ticked, other.edit).enabled) << other.edit;
      EXPECT_FALSE(FindControl(ticked, other.button).enabled) << other.button;
    }
    const host::Json& unticked = first.records[0].snapshots[2];
    EXPECT_FALSE(FindControl(unticked, g.edit).enabled);
    EXPECT_FALSE(FindControl(unticked, g.button).enabled);

    ExportRun second = Export(plugin, scene, {DialogAnswer({}, IDCANCEL)});
    ASSERT_EQ(1u, second.records.size());
    const host::Json& reopened = second.records[0].snapshots.at(0);
    EXPECT_EQ(1, FindControl(reopened, g.box).checked);
    EXPECT_TRUE(FindControl(reopened, g.edit).enabled);
    EXPECT_TRUE(FindControl(reopened, g.button).enabled);
  }
}

TEST(ExportDialogWine, CancelKeepsGameAndFlagsButNotMaterialsOrTypedPaths) {
  FreshPlugin plugin;
  ASSERT_TRUE(plugin.Ready());
  host::HostScene scene;
  BuildExportable(scene);
  ExportRun first = Export(
      plugin, scene,
      {DialogAnswer({Click(1001), SetCheck(1015, 1), SetCheck(1011, 0), SetText(1012, u"C:\\typed.txt")}, IDCANCEL)});
  EXPECT_EQ(2, first.result);
  ExportRun second = Export(plugin, scene, {DialogAnswer({}, IDCANCEL)});
  ASSERT_EQ(1u, second.records.size());
  const host::Json& s = second.records[0].snapshots.at(0);
  EXPECT_EQ(1, FindControl(s, 1001).checked);
  EXPECT_EQ(0, FindControl(s, 1000).checked);
  EXPECT_EQ(1, FindControl(s, 1015).checked);
  EXPECT_TRUE(FindControl(s, 1012).enabled);
  EXPECT_EQ("", FindControl(s, 1012).text);
  EXPECT_EQ(1, FindControl(s, 1011).checked);
}

TEST(ExportDialogWine, OkTakesTypedPathsCutToTheField) {
  FreshPlugin plugin;
  ASSERT_TRUE(plugin.Ready());
  host::HostScene scene;
  BuildExportable(scene);
  const std::u16string longPath = u"C:\\" + std::u16string(300, u'p');
  ExportRun first = Export(
      plugin, scene,
      {DialogAnswer({SetCheck(1015, 1), SetText(1012, longPath), SetCheck(1011, 0), SetText(1014, u"ems.txt")}, IDOK)});
  EXPECT_EQ(1, first.result);
  ExportRun second = Export(plugin, scene, {DialogAnswer({}, IDCANCEL)});
  ASSERT_EQ(1u, second.records.size());
  const host::Json& s = second.records[0].snapshots.at(0);
  EXPECT_EQ("C:\\" + std::string(256, 'p'), FindControl(s, 1012).text);
  EXPECT_EQ("ems.txt", FindControl(s, 1014).text);
  EXPECT_FALSE(FindControl(s, 1014).enabled);
  EXPECT_EQ(0, FindControl(s, 1011).checked);
  EXPECT_EQ(1, FindControl(s, 1015).checked);
}

namespace {

void NoVertices(host::HostScene& scene) { scene.AddPolygonSet(); }
void Exportable(host::HostScene& scene) { BuildExportable(scene); }
void ReservedName(host::HostScene& scene) { BuildExportable(scene, u"Lifeboat"); }
void TooManyVertices(host::HostScene& scene) {
  BuildExportable(scene);
  for (int i = 0; i < 65533; ++i) scene.AddVertex({0, 0, 0});
}
void TooManyFaces(host::HostScene& scene) {
  BuildExportable(scene);
  host::FaceSpec face;
  face.materialIndex = 0;
  face.vertices = {0, 1, 2};
  face.texCoords = {0, 0, 0};
  for (int i = 0; i < 65535; ++i) scene.AddFace(0, face);
}

struct ShownBox {
  std::u16string caption, text;
  std::string style;
};

struct MessageCase {
  const char* what;
  void (*build)(host::HostScene&);
  bool failTriangulation;
  std::vector<host::UiAnswer> answers;
  int32_t result;
  std::vector<ShownBox> boxes;
  bool dialogShown;
};

const std::u16string kReservedText =
    u"The following node names are reserved:\n\ns_, c_, e_, hp, damage, crew, engines, life,\nsensors, shields, "
    u"target, and borg.\n\nmaterial found: Lifeboat\n\nContinue anyway?\n";

}  // namespace

TEST(ExportDialogWine, MessagesTheirAnswersAndResults) {
  const MessageCase cases[] = {
      {"no geometry",
       NoVertices,
       false,
       {BoxAnswer(u"Error", IDOK)},
       2,
       {{u"Error", u"No geometry to export.\t", "MB_OK|MB_ICONERROR"}},
       false},
      {"triangulation fails",
       Exportable,
       true,
       {BoxAnswer(u"Error", IDOK)},
       0,
       {{u"Error", u"Failed to triangulate geometry.\t", "MB_OK|MB_ICONERROR"}},
       false},
      {"too many vertices",
       TooManyVertices,
       false,
       {BoxAnswer(u"Error", IDOK)},
       2,
       {{u"Error", u"The SOD file format does not support more than\n65535 vertices.\n\nvertices found: 65536\n",
         "MB_OK|MB_ICONINFORMATION"}},
       false},
      {"too many faces",
       TooManyFaces,
       false,
       {BoxAnswer(u"Error", IDOK)},
       2,
       {{u"Error", u"The SOD file format does not support more than\n65535 faces.\n\nfaces found: 65536\n",
         "MB_OK|MB_ICONINFORMATION"}},
       false},
      {"reserved name, OK",
       ReservedName,
       false,
       {BoxAnswer(u"Warning", IDOK), DialogAnswer({}, IDOK)},
       1,
       {{u"Warning", kReservedText, "MB_OKCANCEL|MB_ICONINFORMATION"}},
       true},
      {"reserved name, Cancel",
       ReservedName,
       false,
       {BoxAnswer(u"Warning", IDCANCEL), DialogAnswer({}, IDOK)},
       2,
       {{u"Warning", kReservedText, "MB_OKCANCEL|MB_ICONINFORMATION"}},
       false},
  };
  FreshPlugin plugin;
  ASSERT_TRUE(plugin.Ready());
  for (const MessageCase& c : cases) {
    SCOPED_TRACE(c.what);
    host::HostScene scene;
    c.build(scene);
    if (c.failTriangulation) scene.FailService("Triangulate", 1);
    ExportRun run = Export(plugin, scene, c.answers);
    EXPECT_EQ(c.result, run.result);
    size_t boxes = 0;
    bool dialog = false;
    for (const host::UiRecord& r : run.records) {
      if (r.kind == "dialog") {
        dialog = true;
        continue;
      }
      ASSERT_EQ("message box", r.kind);
      ASSERT_LT(boxes, c.boxes.size());
      EXPECT_EQ(c.boxes[boxes].caption, r.caption);
      EXPECT_EQ(c.boxes[boxes].text, r.text);
      EXPECT_EQ(c.boxes[boxes].style, r.style);
      EXPECT_TRUE(r.answered);
      ++boxes;
    }
    EXPECT_EQ(c.boxes.size(), boxes);
    EXPECT_EQ(c.dialogShown, dialog);
  }
}
