// Round trip through the real DLL: a scene exported to SOD 1.8 and 1.93 with side text
// files, then read and imported into a new scene, gives back the same triangles,
// positions (to float precision), texture coordinates, and the marker nodes.
#include <gtest/gtest.h>

#include <cmath>
#include <map>
#include <set>

#include "interface/ui_driver.h"
#include "support/export_fixture.h"
#include "wine/fresh_plugin.h"

namespace {

constexpr uint32_t kRead = 0x10018;
constexpr uint32_t kWrite = 0x10019;
constexpr uint32_t kImport = 0x1001F;
constexpr uint32_t kExport = 0x10020;

// Five numbers per corner: position x, y, z and texture coordinate u, v.
typedef std::array<float, 15> Triangle;

void BuildShip(host::HostScene& scene) {
  int hull = scene.AddMaterial(u"hull", {0.6f, 0.6f, 0.65f, 1}, {0.1f, 0.1f, 0.1f, 1}, {0.3f, 0.3f, 0.3f, 1}, 20, 5);
  scene.SetMaterialMap(hull, 0, 1, u"C:\\ship\\textures\\hull_plates.tga");
  int glass = AddPlainMaterial(scene, u"glass", 1);
  const float positions[][3] = {{-1, -0.5f, -2}, {1, -0.5f, -2}, {1, 0.5f, -2}, {-1, 0.5f, -2},
                                {-1, -0.5f, 2},  {1, -0.5f, 2},  {1, 0.5f, 2},  {0, 1.25f, 0.5f}};
  for (const auto& p : positions) scene.AddVertex({p[0], p[1], p[2]});
  const float uvs[][2] = {{0, 0}, {1, 0}, {1, 1}, {0, 1}, {0.5f, 0.5f}};
  for (const auto& t : uvs) scene.AddTexCoord(t[0], t[1]);
  int set = scene.AddPolygonSet();
  host::FaceSpec quad;
  quad.materialIndex = hull;
  quad.texCoords = {0, 1, 2, 3};
  for (std::vector<int32_t> corners : {std::vector<int32_t>{0, 1, 2, 3}, {1, 5, 6, 2}, {4, 0, 3, 7}}) {
    quad.vertices = corners;
    scene.AddFace(set, quad);
  }
  int canopy = scene.AddPolygonSet();
  AddTriangle(scene, canopy, glass, {3, 2, 7}, {0, 1, 4});
  AddTriangle(scene, canopy, glass, {2, 6, 7}, {0, 1, 4});
}

// The triangles of a scene by material name, in polygon set and face order.
std::map<std::string, std::vector<Triangle>> TrianglesByMaterial(host::HostScene& scene) {
  std::map<std::string, std::vector<Triangle>> out;
  const HostContext* c = ContextOf(scene);
  for (int32_t s = 0; s < c->polygonSetCount; ++s) {
    for (int32_t f = 0; f < c->polygonSets[s].faceCount; ++f) {
      const HostFace& face = c->polygonSets[s].faces[f];
      if (face.materialIndex < 0 || face.cornerCount != 3) continue;
      Triangle t{};
      for (size_t k = 0; k < 3; ++k) {
        const float* p = c->vertices[face.vertexIndices[k]].position;
        for (size_t a = 0; a < 3; ++a) t[k * 5 + a] = p[a];
        t[k * 5 + 3] = face.faceTexCoords->corners[k].u;
        t[k * 5 + 4] = face.faceTexCoords->corners[k].v;
      }
      out[c->materials[face.materialIndex].name.narrow].push_back(t);
    }
  }
  return out;
}

void SetText(std::vector<host::UiAction>* actions, int box, int edit, const std::u16string& path) {
  actions->push_back({host::UiAction::kSetCheck, box, 1, 0, u""});
  actions->push_back({host::UiAction::kSetText, edit, 0, 0, path});
}

}  // namespace

TEST(ExportRoundTrip, ImportGivesBackTheExportedScene) {
  for (int game : {1000, 1001}) {
    SCOPED_TRACE(game);
    TempDir dir;
    dir.Write("ship_hps.txt", "hp01  1 0 0  0 1 0  0 0 1  0 0.5 -2\n");
    dir.Write("ship_ems.txt", "engine_left  warp_trail  1 0 0  0 1 0  0 0 1  -0.75 0 2.1\n");
    dir.Write("ship_sps.txt", "light_red  1 0 0  0 1 0  0 0 1  -1 0 0\n");
    FreshPlugin plugin;
    ASSERT_TRUE(plugin.Ready());

    host::HostScene original;
    BuildShip(original);
    original.SetFilePath(dir.Wide("ship.sod"));
    host::UiAnswer exportDialog;
    exportDialog.actions = {{host::UiAction::kClick, game, 0, 0, u""}};
    SetText(&exportDialog.actions, 1015, 1012, dir.Wide("ship_hps.txt"));
    SetText(&exportDialog.actions, 1017, 1014, dir.Wide("ship_ems.txt"));
    SetText(&exportDialog.actions, 1016, 1013, dir.Wide("ship_sps.txt"));
    exportDialog.button = IDOK;
    host::UiDriver exporting({exportDialog}, false);
    original.SetOwnerWindow(exporting.OwnerWindow());
    ASSERT_EQ(1, exporting.Run([&] { return plugin.Run(kExport, original); }));
    ASSERT_EQ(1, plugin.Run(kWrite, original));

    host::HostScene imported;
    imported.SetFilePath(dir.Wide("ship.sod"));
    ASSERT_EQ(1, plugin.Run(kRead, imported));
    host::UiAnswer importDialog;
    importDialog.caption = u"Import ST Armada Model";
    for (int convert : {1005, 1006, 1007})
      importDialog.actions.push_back({host::UiAction::kSetCheck, convert, 1, 0, u""});
    importDialog.button = IDOK;
    host::UiDriver importing({importDialog}, false);
    imported.SetOwnerWindow(importing.OwnerWindow());
    ASSERT_EQ(1, importing.Run([&] { return plugin.Run(kImport, imported); }));

    auto expected = TrianglesByMaterial(original);
    auto found = TrianglesByMaterial(imported);
    ASSERT_EQ(2u, expected.size());
    ASSERT_EQ(6u, expected["hull"].size());
    for (const auto& material : expected) {
      SCOPED_TRACE(material.first);
      const std::vector<Triangle>& back = found[material.first];
      ASSERT_EQ(material.second.size(), back.size());
      for (size_t t = 0; t < back.size(); ++t) {
        for (size_t i = 0; i < 15; ++i) {
          if (i % 5 < 3) {
            EXPECT_NEAR(material.second[t][i], back[t][i], 1e-6f) << "triangle " << t << " value " << i;
          } else {
            EXPECT_EQ(material.second[t][i], back[t][i]) << "triangle " << t << " value " << i;
          }
        }
      }
    }
    std::set<std::u16string> parts;
    for (int i = 0; i < imported.PartCount(); ++i) parts.insert(imported.PartName(i));
    for (const char16_t* marker : {u"hp01", u"engine_left", u"light_red"}) EXPECT_EQ(1u, parts.count(marker));
  }
}
