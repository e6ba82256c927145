// The bytes of written SOD files, field by field, for both written versions.
#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>

#include "support/export_fixture.h"
#include "support/written_sod.h"

namespace {

// The SOD position of a host position, computed here independently: mirrored x and
// a quarter turn about X, in the operation order of the point transform.
std::array<float, 3> ExpectedSodPosition(float x, float y, float z) {
  float angle = SodVersionFromBits(0xBFC90FDB);
  float c = cosf(angle);
  float s = sinf(angle);
  float qx = ((y * 0.0f + x * 1.0f) + z * 0.0f) + 0.0f;
  float qy = ((y * c + x * 0.0f) + z * -s) + 0.0f;
  float qz = ((y * s + x * 0.0f) + z * c) + 0.0f;
  return {-qx, -qz, qy};
}

// Two materials over two polygon sets: "hull" (material 0, in use, with a texture)
// has three faces, one of them in the second set; "glass" has one.
struct ShipScene {
  host::HostScene scene;
  ShipScene(int32_t hullUseCount = 2) {
    int hull = scene.AddMaterial(u"hull", {0.1f, 0.2f, 0.3f, 0.9f}, {0.4f, 0.5f, 0.6f, 0.9f}, {0.7f, 0.8f, 0.9f, 0.9f},
                                 12.0f, hullUseCount);
    scene.SetMaterialMap(hull, 0, 1, u"C:\\maps\\hull_diffuse.tga");
    int glass = AddPlainMaterial(scene, u"glass", 1);
    const float positions[5][3] = {{0, 0, 0}, {1, 0, 0}, {1, 1, 0}, {0, 1, 0}, {1, 2, 3}};
    for (const auto& p : positions) scene.AddVertex({p[0], p[1], p[2]});
    const float uvs[5][2] = {{0, 0}, {1, 0}, {1, 1}, {0, 1}, {0.5f, 0.25f}};
    for (const auto& t : uvs) scene.AddTexCoord(t[0], t[1]);
    int first = scene.AddPolygonSet();
    int second = scene.AddPolygonSet();
    AddTriangle(scene, first, hull, {0, 1, 2}, {0, 1, 2});
    AddTriangle(scene, first, hull, {0, 2, 3}, {0, 2, 3});
    AddTriangle(scene, first, glass, {4, 0, 1}, {4, 4, 1});
    AddTriangle(scene, second, hull, {1, 2, 4}, {1, 2, 4});
  }
};

struct VersionCase {
  int32_t gameVersion;
  uint32_t versionBits;
  const char* root;
  const char* style;
  std::vector<uint8_t> modeBytes;
  std::vector<uint16_t> modeWords;
  std::vector<uint16_t> spareWords;
};

const VersionCase kVersions[] = {
    {kGameArmada1, 0x3FE66666, "root", "default", {1}, {}, {}},
    {kGameArmada2, 0x3FF70A3D, "Scene Root", "opaque", {1, 1}, {4, 0, 1, 0}, {0, 0, 0, 0}},
};

void ExpectPosition(const std::array<float, 3>& written, float x, float y, float z) {
  std::array<float, 3> expected = ExpectedSodPosition(x, y, z);
  for (int k = 0; k < 3; ++k) EXPECT_EQ(FloatBits(expected[k]), FloatBits(written[k])) << "component " << k;
}

}  // namespace

TEST(SodWriterLayout, WholeFileInBothVersions) {
  for (const VersionCase& v : kVersions) {
    SCOPED_TRACE(v.root);
    ExportStateGuard guard;
    TempDir dir;
    ShipScene ship;
    exportOptions.gameVersion = v.gameVersion;
    ASSERT_EQ(1, WriteSceneTo(ship.scene, dir, "ship.sod"));
    WrittenSod sod = ParseWrittenSod(dir.Read("ship.sod"));
    ASSERT_TRUE(sod.complete);
    EXPECT_EQ("Storm3D_SW", sod.identifier);
    EXPECT_EQ(v.versionBits, sod.versionBits);

    ASSERT_EQ(2u, sod.materials.size());
    const WrittenMaterial& hull = sod.materials[0];
    EXPECT_EQ("hull", hull.name);
    EXPECT_EQ((std::array<float, 3>{0.4f, 0.5f, 0.6f}), hull.ambient);
    EXPECT_EQ((std::array<float, 3>{0.1f, 0.2f, 0.3f}), hull.diffuse);
    EXPECT_EQ((std::array<float, 3>{0.7f, 0.8f, 0.9f}), hull.specular);
    EXPECT_EQ(30.0f, hull.power);
    EXPECT_EQ(v.modeBytes, hull.modeBytes);
    EXPECT_EQ("glass", sod.materials[1].name);

    ASSERT_EQ(3, sod.nodeCount);
    const WrittenNode& root = sod.nodes[0];
    EXPECT_EQ(0, root.kind);
    EXPECT_EQ(v.root, root.name);
    EXPECT_EQ("", root.parent);
    EXPECT_EQ(IdentityRows(), root.transform);

    const WrittenNode& mesh = sod.nodes[1];
    EXPECT_EQ(1, mesh.kind);
    EXPECT_EQ("hull", mesh.name);
    EXPECT_EQ(v.root, mesh.parent);
    EXPECT_EQ(IdentityRows(), mesh.transform);
    EXPECT_EQ(v.style, mesh.style);
    EXPECT_EQ(v.modeWords, mesh.modeWords);
    EXPECT_EQ("hull_diffuse", mesh.texture);
    EXPECT_EQ(v.spareWords, mesh.spareWords);
    // Corners welded in face order across both polygon sets: v0 v1 v2, v3, v4.
    ASSERT_EQ(5u, mesh.vertices.size());
    const float hullPositions[5][3] = {{0, 0, 0}, {1, 0, 0}, {1, 1, 0}, {0, 1, 0}, {1, 2, 3}};
    for (size_t i = 0; i < 5; ++i)
      ExpectPosition(mesh.vertices[i], hullPositions[i][0], hullPositions[i][1], hullPositions[i][2]);
    EXPECT_EQ((std::vector<std::array<float, 2>>{{0, 0}, {1, 0}, {1, 1}, {0, 1}, {0.5f, 0.25f}}), mesh.texCoords);
    EXPECT_EQ(1, mesh.groupCount);
    EXPECT_EQ("hull", mesh.groupMaterial);
    EXPECT_EQ((std::vector<std::array<uint16_t, 6>>{{0, 0, 1, 1, 2, 2}, {0, 0, 2, 2, 3, 3}, {1, 1, 2, 2, 4, 4}}),
              mesh.faces);
    EXPECT_EQ(1, mesh.endByte);
    EXPECT_EQ(0, mesh.endWord);

    const WrittenNode& glass = sod.nodes[2];
    EXPECT_EQ("glass", glass.name);
    EXPECT_EQ("", glass.texture);
    EXPECT_EQ((std::vector<std::array<float, 2>>{{0.5f, 0.25f}, {0.5f, 0.25f}, {1, 0}}), glass.texCoords);
    EXPECT_EQ((std::vector<std::array<uint16_t, 6>>{{0, 0, 1, 1, 2, 2}}), glass.faces);
    EXPECT_EQ((std::array<uint16_t, 2>{0, 0}), sod.end);
    EXPECT_EQ(v.versionBits, FloatBits(exportVersion));
  }
}

TEST(SodWriterLayout, HostVertexOneTwoThreeHasFixedBits) {
  ExportStateGuard guard;
  TempDir dir;
  ShipScene ship;
  ASSERT_EQ(1, WriteSceneTo(ship.scene, dir, "ship.sod"));
  WrittenSod sod = ParseWrittenSod(dir.Read("ship.sod"));
  ASSERT_EQ(3u, sod.nodes.size());
  // Host (1, 2, 3) is the hull's fifth vertex: (-1, 2.0000002, 3.0).
  const std::array<float, 3>& v = sod.nodes[1].vertices.at(4);
  EXPECT_EQ(0xBF800000u, FloatBits(v[0]));
  EXPECT_EQ(0x40000001u, FloatBits(v[1]));
  EXPECT_EQ(0x40400000u, FloatBits(v[2]));
}

TEST(SodWriterLayout, WithoutMaterialsTheMeshesStayButNameNoMaterial) {
  ExportStateGuard guard;
  TempDir dir;
  ShipScene ship;
  exportOptions.exportMaterials = 0;
  ASSERT_EQ(1, WriteSceneTo(ship.scene, dir, "ship.sod"));
  WrittenSod sod = ParseWrittenSod(dir.Read("ship.sod"));
  ASSERT_TRUE(sod.complete);
  EXPECT_TRUE(sod.materials.empty());
  ASSERT_EQ(3, sod.nodeCount);
  for (int i = 1; i < 3; ++i) {
    EXPECT_EQ("", sod.nodes[i].texture);
    EXPECT_EQ("", sod.nodes[i].groupMaterial);
  }
  const auto& log = ship.scene.CallLog();
  EXPECT_EQ(log.end(), std::find(log.begin(), log.end(), "FindMap"));
}

TEST(SodWriterLayout, MaterialZeroOnlyWhenInUse) {
  ExportStateGuard guard;
  TempDir dir;
  ShipScene ship(0);
  ASSERT_EQ(1, WriteSceneTo(ship.scene, dir, "ship.sod"));
  WrittenSod sod = ParseWrittenSod(dir.Read("ship.sod"));
  ASSERT_TRUE(sod.complete);
  ASSERT_EQ(1u, sod.materials.size());
  EXPECT_EQ("glass", sod.materials[0].name);
  ASSERT_EQ(2, sod.nodeCount);
  EXPECT_EQ("glass", sod.nodes[1].name);
}

TEST(SodWriterLayout, EmptySceneWithEveryGroupTickedAndNoFiles) {
  ExportStateGuard guard;
  TempDir dir;
  host::HostScene scene;
  exportOptions.gameVersion = kGameArmada2;
  exportOptions.useHardpointFile = 1;
  exportOptions.useEmitterFile = 1;
  exportOptions.useSpriteFile = 1;
  std::u16string missing = dir.Wide("missing.txt");
  std::copy(missing.begin(), missing.end(), exportOptions.hardpointFilePath);
  ASSERT_EQ(1, WriteSceneTo(scene, dir, "empty.sod"));
  WrittenSod sod = ParseWrittenSod(dir.Read("empty.sod"));
  ASSERT_TRUE(sod.complete);
  EXPECT_TRUE(sod.materials.empty());
  ASSERT_EQ(4, sod.nodeCount);
  const char* groups[] = {"hardpoints", "emitters", "sprites"};
  for (int i = 0; i < 3; ++i) {
    const WrittenNode& group = sod.nodes[static_cast<size_t>(i) + 1];
    EXPECT_EQ(0, group.kind);
    EXPECT_EQ(groups[i], group.name);
    EXPECT_EQ("Scene Root", group.parent);
    EXPECT_EQ(IdentityRows(), group.transform);
  }
  EXPECT_EQ((std::array<uint16_t, 2>{0, 0}), sod.end);
  EXPECT_EQ(0, textHardpointCount);
}

TEST(SodWriterLayout, TextureNameOnlyFromABitmapMap) {
  struct Case {
    int32_t kind;
    std::u16string path;
    const char* texture;
  };
  const Case cases[] = {
      {1, u"C:\\maps\\hull.tga", "hull"},
      {1, u"/textures/deck.plate.png", "deck.plate"},
      {1, u"C:\\maps\\", ""},
      {2, u"C:\\maps\\hull.tga", ""},
  };
  for (const Case& c : cases) {
    ExportStateGuard guard;
    TempDir dir;
    host::HostScene scene;
    int m = AddPlainMaterial(scene, u"steel", 1);
    scene.SetMaterialMap(m, 0, c.kind, c.path);
    scene.AddVertex({0, 0, 0});
    ASSERT_EQ(1, WriteSceneTo(scene, dir, "t.sod"));
    WrittenSod sod = ParseWrittenSod(dir.Read("t.sod"));
    ASSERT_EQ(2u, sod.nodes.size());
    EXPECT_EQ(c.texture, sod.nodes[1].texture);
  }
}

TEST(SodWriterLayout, MaterialWithoutFacesStillGetsAMeshNode) {
  ExportStateGuard guard;
  TempDir dir;
  host::HostScene scene;
  AddPlainMaterial(scene, u"unused", 1);
  scene.AddVertex({0, 0, 0});
  ASSERT_EQ(1, WriteSceneTo(scene, dir, "t.sod"));
  WrittenSod sod = ParseWrittenSod(dir.Read("t.sod"));
  ASSERT_TRUE(sod.complete);
  const WrittenNode& mesh = sod.nodes.at(1);
  EXPECT_TRUE(mesh.vertices.empty());
  EXPECT_TRUE(mesh.texCoords.empty());
  EXPECT_EQ(1, mesh.groupCount);
  EXPECT_TRUE(mesh.faces.empty());
  EXPECT_EQ("unused", mesh.groupMaterial);
  EXPECT_EQ(1, mesh.endByte);
}

TEST(SodWriterLayout, LongNamesAreCutOnlyWhereANodeNameIs) {
  ExportStateGuard guard;
  TempDir dir;
  host::HostScene scene;
  std::u16string longName(200, u'n');
  AddPlainMaterial(scene, longName, 1);
  scene.AddVertex({0, 0, 0});
  ASSERT_EQ(1, WriteSceneTo(scene, dir, "t.sod"));
  WrittenSod sod = ParseWrittenSod(dir.Read("t.sod"));
  ASSERT_TRUE(sod.complete);
  EXPECT_EQ(std::string(200, 'n'), sod.materials.at(0).name);
  EXPECT_EQ(std::string(127, 'n'), sod.nodes.at(1).name);
  EXPECT_EQ(std::string(200, 'n'), sod.nodes.at(1).groupMaterial);
}

// Welding: which corners share a SOD vertex.
TEST(SodWriterLayout, CornersWeldByHostVertexAndExactTextureCoordinate) {
  struct Case {
    const char* what;
    std::vector<std::array<float, 2>> uvs;  // texture coordinate table
    std::vector<std::array<int, 6>> faces;  // three vertices, three texture coordinates
    std::vector<std::array<float, 3>> positions;
    size_t vertices;
  };
  const float nan = std::nanf("");
  const Case cases[] = {
      {"shared edge, same coordinates",
       {{0, 0}, {1, 0}, {1, 1}, {0, 1}},
       {{0, 1, 2, 0, 1, 2}, {0, 2, 3, 0, 2, 3}},
       {{0, 0, 0}, {1, 0, 0}, {1, 1, 0}, {0, 1, 0}},
       4},
      {"shared edge, one corner differs",
       {{0, 0}, {1, 0}, {1, 1}, {0, 1}, {0.5f, 1}},
       {{0, 1, 2, 0, 1, 2}, {0, 2, 3, 0, 4, 3}},
       {{0, 0, 0}, {1, 0, 0}, {1, 1, 0}, {0, 1, 0}},
       5},
      {"signed zeros are equal",
       {{0.0f, 0.0f}, {-0.0f, -0.0f}, {1, 1}},
       {{0, 1, 2, 0, 2, 2}, {0, 1, 2, 1, 2, 2}},
       {{0, 0, 0}, {1, 0, 0}, {1, 1, 0}},
       3},
      {"NaN coordinate never welds",
       {{nan, 0}, {1, 0}, {1, 1}},
       {{0, 1, 2, 0, 1, 2}, {0, 1, 2, 0, 1, 2}},
       {{0, 0, 0}, {1, 0, 0}, {1, 1, 0}},
       4},
      {"NaN position never welds",
       {{0, 0}, {1, 0}, {1, 1}},
       {{0, 1, 2, 0, 1, 2}, {0, 1, 2, 0, 1, 2}},
       {{nan, 0, 0}, {1, 0, 0}, {1, 1, 0}},
       4},
      {"infinite position never welds",
       {{0, 0}, {1, 0}, {1, 1}},
       {{0, 1, 2, 0, 1, 2}, {0, 1, 2, 0, 1, 2}},
       {{0, INFINITY, 0}, {1, 0, 0}, {1, 1, 0}},
       4},
      {"same place, other host vertex", {{0, 0}, {1, 0}}, {{0, 1, 2, 0, 1, 0}}, {{0, 0, 0}, {1, 0, 0}, {0, 0, 0}}, 3},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.what);
    ExportStateGuard guard;
    TempDir dir;
    host::HostScene scene;
    AddPlainMaterial(scene, u"m", 1);
    for (const auto& p : c.positions) scene.AddVertex({p[0], p[1], p[2]});
    for (const auto& t : c.uvs) scene.AddTexCoord(t[0], t[1]);
    int set = scene.AddPolygonSet();
    for (const auto& f : c.faces) AddTriangle(scene, set, 0, {f[0], f[1], f[2]}, {f[3], f[4], f[5]});
    ASSERT_EQ(1, WriteSceneTo(scene, dir, "t.sod"));
    WrittenSod sod = ParseWrittenSod(dir.Read("t.sod"));
    ASSERT_TRUE(sod.complete);
    EXPECT_EQ(c.vertices, sod.nodes.at(1).vertices.size());
    EXPECT_EQ(c.vertices, sod.nodes.at(1).texCoords.size());
  }
}

namespace {

void ExpectRows(const WrittenNode& node, float first) {
  for (size_t i = 0; i < 12; ++i) EXPECT_EQ(first + static_cast<float>(i), node.transform[i]) << "value " << i;
}

}  // namespace

// Loaded side text records become group and marker nodes after the meshes.
TEST(SodWriterLayout, MarkerNodesBelowTheirGroups) {
  for (const VersionCase& v : kVersions) {
    SCOPED_TRACE(v.root);
    ExportStateGuard guard;
    TempDir dir;
    ShipScene ship;
    exportOptions.gameVersion = v.gameVersion;
    exportOptions.useHardpointFile = 1;
    exportOptions.useEmitterFile = 1;
    exportOptions.useSpriteFile = 1;
    // No file to load: the driver writes the lists as they stand.
    textHardpoints = static_cast<HardpointRecord*>(AllocZeroed(2, sizeof(HardpointRecord)));
    textHardpoints[0] = MarkerWithRows<HardpointRecord>("hp01", 1);
    textHardpoints[1] = MarkerWithRows<HardpointRecord>(std::string(255, 'h'), 20);
    textHardpointCount = 2;
    textEmitters = static_cast<EmitterRecord*>(AllocZeroed(1, sizeof(EmitterRecord)));
    textEmitters[0] = MarkerWithRows<EmitterRecord>("engine_glow", 40);
    std::memset(textEmitters[0].emitterName, 'e', 127);
    textEmitterCount = 1;
    textSprites = static_cast<SpriteRecord*>(AllocZeroed(1, sizeof(SpriteRecord)));
    textSprites[0] = MarkerWithRows<SpriteRecord>("light_red", -5);
    textSpriteCount = 1;
    ASSERT_EQ(1, WriteSceneTo(ship.scene, dir, "ship.sod"));
    EXPECT_EQ(0, textHardpointCount);
    EXPECT_EQ(nullptr, textEmitters);
    WrittenSod sod = ParseWrittenSod(dir.Read("ship.sod"));
    ASSERT_TRUE(sod.complete);
    ASSERT_EQ(10, sod.nodeCount);
    struct Expected {
      uint16_t kind;
      std::string name, parent;
      float firstRow;  // NaN: the identity transform
    };
    const float identity = std::nanf("");
    const Expected expected[] = {
        {0, "hardpoints", v.root, identity},
        {0, "hp01", "hardpoints", 1},
        {0, std::string(127, 'h'), "hardpoints", 20},
        {0, "emitters", v.root, identity},
        {12, "engine_glow", "emitters", 40},
        {0, "sprites", v.root, identity},
        {3, "light_red", "sprites", -5},
    };
    for (size_t i = 0; i < 7; ++i) {
      const WrittenNode& n = sod.nodes[3 + i];
      SCOPED_TRACE(n.name);
      EXPECT_EQ(expected[i].kind, n.kind);
      EXPECT_EQ(expected[i].name, n.name);
      EXPECT_EQ(expected[i].parent, n.parent);
      if (std::isnan(expected[i].firstRow)) {
        EXPECT_EQ(IdentityRows(), n.transform);
      } else {
        ExpectRows(n, expected[i].firstRow);
      }
    }
    EXPECT_EQ(std::string(127, 'e'), sod.nodes[7].emitterName);
  }
}
