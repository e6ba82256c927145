// The export operation's checks on a host scene: the host calls in order, the limits,
// the messages with their texts, captions, styles and owner, and the results.
#include <gtest/gtest.h>

#include "export/export_checks.h"
#include "native/standin_script.h"
#include "plugin/operations.h"
#include "resource_ids.h"
#include "support/export_fixture.h"

namespace {

int moduleAnchor;
void* const kModule = &moduleAnchor;

// A scene of `vertices` vertices whose polygon sets hold the given numbers of faces
// (all of material 0, when there is one).
void BuildGeometry(host::HostScene& scene, int vertices, std::vector<int> setFaces) {
  for (int i = 0; i < vertices; ++i) scene.AddVertex({static_cast<float>(i), 0, 0});
  scene.AddTexCoord(0, 0);
  for (int faces : setFaces) {
    int set = scene.AddPolygonSet();
    for (int f = 0; f < faces; ++f) AddTriangle(scene, set, 0, {0, 1, 2}, {0, 0, 0});
  }
}

// The dialog, when it comes, is ended with `button`; the test sees whether it came.
void AnswerDialog(StandinScript& script, int button, int* shown) {
  script.dialog = [button, shown](HWND d, int templateId) {
    EXPECT_EQ(IDD_EXPORT, templateId);
    ++*shown;
    StandinScript::Click(d, button);
  };
}

const char16_t kVerticesMessage[] =
    u"The SOD file format does not support more than\n65535 vertices.\n\nvertices found: 65536\n";

}  // namespace

TEST(ExportChecks, MissingArgumentsAnswerZeroSilently) {
  ExportStateGuard guard;
  StandinScript script;
  host::HostScene scene;
  BuildGeometry(scene, 3, {1});
  EXPECT_EQ(0, PrepareExport(nullptr, kModule));
  EXPECT_EQ(0, PrepareExport(ContextOf(scene), nullptr));
  EXPECT_TRUE(scene.CallLog().empty());
  EXPECT_TRUE(script.messageBoxes.empty());
}

TEST(ExportChecks, HostCallsInOrderThenTheDialog) {
  struct Case {
    const char* what;
    bool materialQueryFails;
    std::vector<std::string> calls;
  };
  const Case cases[] = {
      {"query answers",
       false,
       {"Triangulate", "UpdateGeometry", "FindMap", "FindMap", "MaterialQuery", "GetOwnerWindow"}},
      {"query fails",
       true,
       {"Triangulate", "UpdateGeometry", "FindMap", "FindMap", "MaterialQuery", "MaterialQueryFallback",
        "GetOwnerWindow"}},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.what);
    ExportStateGuard guard;
    StandinScript script;
    host::HostScene scene;
    AddPlainMaterial(scene, u"hull", 1);
    AddPlainMaterial(scene, u"glass", 1);
    BuildGeometry(scene, 3, {1});
    HWND owner = StandinCreateWindow(RECT{0, 0, 100, 100});
    scene.SetOwnerWindow(owner);
    if (c.materialQueryFails) scene.FailService("MaterialQuery", 1);
    int shown = 0;
    AnswerDialog(script, IDOK, &shown);
    EXPECT_EQ(1, PrepareExport(ContextOf(scene), kModule));
    EXPECT_EQ(c.calls, scene.CallLog());
    EXPECT_EQ(1, shown);
    EXPECT_EQ(std::vector<HWND>{owner}, script.dialogOwners);
    EXPECT_TRUE(script.messageBoxes.empty());
  }
}

TEST(ExportChecks, WithoutMaterialsNoQueryAndNoWarning) {
  ExportStateGuard guard;
  StandinScript script;
  host::HostScene scene;
  BuildGeometry(scene, 3, {1});
  int shown = 0;
  AnswerDialog(script, IDCANCEL, &shown);
  EXPECT_EQ(2, PrepareExport(ContextOf(scene), kModule));
  EXPECT_EQ((std::vector<std::string>{"Triangulate", "UpdateGeometry", "GetOwnerWindow"}), scene.CallLog());
  EXPECT_EQ(1, shown);
}

TEST(ExportChecks, DialogThatCannotBeShownStops) {
  ExportStateGuard guard;
  StandinScript script;
  StandinSetDialogDriver(nullptr, nullptr);
  host::HostScene scene;
  BuildGeometry(scene, 3, {1});
  EXPECT_EQ(2, PrepareExport(ContextOf(scene), kModule));
}

namespace {

struct LimitCase {
  const char* what;
  int vertices;
  std::vector<int> setFaces;
  const char16_t* message;  // null: passes to the dialog
};

const LimitCase kLimits[] = {
    {"65535 vertices pass", 65535, {1}, nullptr},
    {"65536 vertices", 65536, {1}, kVerticesMessage},
    {"65535 faces pass", 3, {65535}, nullptr},
    {"65536 faces",
     3,
     {65536},
     u"The SOD file format does not support more than\n65535 faces.\n\nfaces found: 65536\n"},
    {"both over: only the vertices", 65536, {70000}, kVerticesMessage},
    {"only the first set counts", 3, {40000, 40000}, nullptr},
};

}  // namespace

TEST(ExportChecks, VertexAndFaceLimits) {
  for (const LimitCase& c : kLimits) {
    SCOPED_TRACE(c.what);
    ExportStateGuard guard;
    StandinScript script;
    host::HostScene scene;
    BuildGeometry(scene, c.vertices, c.setFaces);
    HWND focus = StandinCreateWindow(RECT{0, 0, 10, 10});
    StandinSetFocus(focus);
    int shown = 0;
    AnswerDialog(script, IDOK, &shown);
    int32_t result = PrepareExport(ContextOf(scene), kModule);
    if (c.message == nullptr) {
      EXPECT_EQ(1, result);
      EXPECT_EQ(1, shown);
      EXPECT_TRUE(script.messageBoxes.empty());
      continue;
    }
    EXPECT_EQ(2, result);
    EXPECT_EQ(0, shown);
    ASSERT_EQ(1u, script.messageBoxes.size());
    EXPECT_EQ(std::u16string(c.message), script.messageBoxes[0].text);
    EXPECT_EQ(u"Error", script.messageBoxes[0].caption);
    EXPECT_EQ(static_cast<UINT>(MB_OK | MB_ICONINFORMATION), script.messageBoxes[0].type);
    EXPECT_EQ(focus, script.messageBoxes[0].owner);
  }
}

int32_t TriangulateKeepingTheCounts(HostContext*) { return 1; }

TEST(ExportChecks, PolygonSetArrayWithoutSetsTestsNoFaces) {
  ExportStateGuard guard;
  StandinScript script;
  host::HostScene scene;
  BuildGeometry(scene, 3, {70000});
  // The host hands over its set array but counts no set in it: nothing is read from it.
  HostContext* context = ContextOf(scene);
  HostServices services = *context->services;
  services.Triangulate = TriangulateKeepingTheCounts;
  context->services = &services;
  context->polygonSetCount = 0;
  int shown = 0;
  AnswerDialog(script, IDOK, &shown);
  EXPECT_EQ(1, PrepareExport(context, kModule));
  EXPECT_TRUE(script.messageBoxes.empty());
  EXPECT_EQ(1, shown);
}

TEST(ExportChecks, NoGeometryAndFailedTriangulation) {
  struct Case {
    const char* what;
    int vertices;
    std::vector<int> setFaces;
    bool failTriangulation;
    int32_t result;
    const char16_t* message;
    std::vector<std::string> calls;
  };
  const Case cases[] = {
      {"no vertices", 0, {1}, false, 2, u"No geometry to export.\t", {}},
      {"no polygon sets", 3, {}, false, 2, u"No geometry to export.\t", {}},
      {"triangulation fails", 3, {1}, true, 0, u"Failed to triangulate geometry.\t", {"Triangulate"}},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.what);
    ExportStateGuard guard;
    StandinScript script;
    host::HostScene scene;
    BuildGeometry(scene, c.vertices, c.setFaces);
    if (c.failTriangulation) scene.FailService("Triangulate", 1);
    int shown = 0;
    AnswerDialog(script, IDOK, &shown);
    EXPECT_EQ(c.result, PrepareExport(ContextOf(scene), kModule));
    EXPECT_EQ(0, shown);
    EXPECT_EQ(c.calls, scene.CallLog());
    ASSERT_EQ(1u, script.messageBoxes.size());
    EXPECT_EQ(std::u16string(c.message), script.messageBoxes[0].text);
    EXPECT_EQ(u"Error", script.messageBoxes[0].caption);
    EXPECT_EQ(static_cast<UINT>(MB_OK | MB_ICONERROR), script.messageBoxes[0].type);
  }
}

TEST(ExportChecks, ReservedNameWarningAndItsAnswers) {
  struct Case {
    int answer;
    int32_t result;
    int dialogs;
  };
  const char16_t warning[] =
      u"The following node names are reserved:\n\ns_, c_, e_, hp, damage, crew, engines, life,\nsensors, shields, "
      u"target, and borg.\n\nmaterial found: hp_front\n\nContinue anyway?\n";
  for (const Case& c : {Case{IDOK, 1, 1}, Case{IDCANCEL, 2, 0}, Case{0, 2, 0}, Case{-1, 2, 0}}) {
    SCOPED_TRACE(c.answer);
    ExportStateGuard guard;
    StandinScript script;
    host::HostScene scene;
    AddPlainMaterial(scene, u"hull", 1);
    AddPlainMaterial(scene, u"hp_front", 1);
    AddPlainMaterial(scene, u"Damage", 1);
    BuildGeometry(scene, 3, {1});
    HWND focus = StandinCreateWindow(RECT{0, 0, 10, 10});
    StandinSetFocus(focus);
    script.messageBoxAnswers = {c.answer};
    int shown = 0;
    AnswerDialog(script, IDOK, &shown);
    EXPECT_EQ(c.result, PrepareExport(ContextOf(scene), kModule));
    EXPECT_EQ(c.dialogs, shown);
    ASSERT_EQ(1u, script.messageBoxes.size());
    EXPECT_EQ(std::u16string(warning), script.messageBoxes[0].text);
    EXPECT_EQ(u"Warning", script.messageBoxes[0].caption);
    EXPECT_EQ(static_cast<UINT>(MB_OKCANCEL | MB_ICONINFORMATION), script.messageBoxes[0].type);
    EXPECT_EQ(focus, script.messageBoxes[0].owner);
  }
}

TEST(ExportChecks, ReservedNameIsShownInUtf16) {
  ExportStateGuard guard;
  StandinScript script;
  host::HostScene scene;
  AddPlainMaterial(scene, u"crew_\u00e9tage", 1);
  BuildGeometry(scene, 3, {1});
  script.messageBoxAnswers = {IDCANCEL};
  EXPECT_EQ(2, PrepareExport(ContextOf(scene), kModule));
  ASSERT_EQ(1u, script.messageBoxes.size());
  EXPECT_NE(std::u16string::npos, script.messageBoxes[0].text.find(u"material found: crew_\u00e9tage\n"));
}
