// Export from end to end through the real DLL: the export operation with its dialog,
// then the write operation; the file is the one the core writes in this process.
#include <gtest/gtest.h>

#include "interface/ui_driver.h"
#include "support/export_fixture.h"
#include "support/written_sod.h"
#include "wine/fresh_plugin.h"

namespace {

constexpr uint32_t kExport = 0x10020;
constexpr uint32_t kWrite = 0x10019;

// Two textured materials over quads that the host triangulates.
void BuildQuads(host::HostScene& scene) {
  int hull = AddPlainMaterial(scene, u"hull", 3);
  scene.SetMaterialMap(hull, 0, 1, u"C:\\maps\\hull_plates.tga");
  int deck = AddPlainMaterial(scene, u"deck", 1);
  for (int i = 0; i < 8; ++i) scene.AddVertex({static_cast<float>(i % 4), static_cast<float>(i / 4), 0.5f});
  for (int i = 0; i < 4; ++i) scene.AddTexCoord(static_cast<float>(i) / 3, 1.0f - static_cast<float>(i) / 3);
  int set = scene.AddPolygonSet();
  host::FaceSpec quad;
  quad.materialIndex = hull;
  quad.vertices = {0, 1, 5, 4};
  quad.texCoords = {0, 1, 2, 3};
  scene.AddFace(set, quad);
  quad.vertices = {1, 2, 6, 5};
  scene.AddFace(set, quad);
  quad.materialIndex = deck;
  quad.vertices = {2, 3, 7, 6};
  scene.AddFace(set, quad);
}

}  // namespace

TEST(ExportEndToEnd, RealDllWritesWhatTheCoreWrites) {
  for (int game : {1000, 1001}) {
    SCOPED_TRACE(game);
    TempDir dir;
    FreshPlugin plugin;
    ASSERT_TRUE(plugin.Ready());
    host::HostScene scene;
    BuildQuads(scene);
    scene.SetFilePath(dir.Wide("ship.sod"));
    host::UiAnswer dialog;
    dialog.actions = {{host::UiAction::kClick, game, 0, 0, u""}};
    dialog.button = IDOK;
    host::UiDriver driver({dialog}, false);
    scene.SetOwnerWindow(driver.OwnerWindow());
    ASSERT_EQ(1, driver.Run([&] { return plugin.Run(kExport, scene); }));
    ASSERT_EQ(1, plugin.Run(kWrite, scene));
    const std::string written = dir.Read("ship.sod");
    WrittenSod sod = ParseWrittenSod(written);
    ASSERT_TRUE(sod.complete);
    EXPECT_EQ(game == 1000 ? 0x3FE66666u : 0x3FF70A3Du, sod.versionBits);
    ASSERT_EQ(3u, sod.nodes.size());
    EXPECT_EQ("hull_plates", sod.nodes[1].texture);
    EXPECT_EQ(4u, sod.nodes[1].faces.size());
    EXPECT_EQ(2u, sod.nodes[2].faces.size());

    // The core of this test program, on the same scene triangulated the same way.
    ExportStateGuard guard;
    exportOptions.gameVersion = game;
    host::HostScene same;
    BuildQuads(same);
    ASSERT_EQ(1, ContextOf(same)->services->Triangulate(ContextOf(same)));
    ASSERT_EQ(1, WriteSceneTo(same, dir, "core.sod"));
    EXPECT_EQ(written, dir.Read("core.sod"));
  }
}
