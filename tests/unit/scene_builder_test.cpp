// The scene build on a real host scene: what is created, in which order, with which
// indices and positions, and that every refusal of the host ends the build cleanly.
#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <cstring>
#include <filesystem>
#include <string>
#include <vector>

#include "import/import_options.h"
#include "import/scene_builder.h"
#include "interface/host_layout.h"
#include "interface/host_scene.h"
#include "interface/host_text.h"
#include "plugin/host_records.h"
#include "support/temp_dir.h"
#include "support/test_model.h"

namespace {

class SceneBuild : public testing::Test {
 protected:
  void SetUp() override {
    saved_ = importOptions;
    importOptions = ImportOptions{0, 0, 0, 0, 0, 0};
    std::memset(&model, 0, sizeof model);
    directory_ = std::filesystem::current_path();
    WideCopy(model.sourcePath, kModelTextUnits, dir.Wide("frigate.sod").c_str());
  }
  void TearDown() override {
    FreeImportedModel(&model);
    importOptions = saved_;
    std::filesystem::current_path(directory_);
  }

  HostContext* Context() { return static_cast<HostContext*>(scene.Context()); }
  int Build() { return BuildScene(&model, Context()); }
  long Calls(const std::string& name) const {
    const auto& log = scene.CallLog();
    return static_cast<long>(std::count(log.begin(), log.end(), name));
  }
  const HostFace& Face(int set, int face) { return Context()->polygonSets[set].faces[face]; }
  std::vector<int32_t> Corners(int set, int face) {
    const HostFace& f = Face(set, face);
    return std::vector<int32_t>(f.vertexIndices.get(), f.vertexIndices + f.cornerCount);
  }
  std::u16string Directory() {
    std::u16string path = dir.Wide("frigate.sod");
    return path.substr(0, path.size() - std::u16string(u"frigate.sod").size());
  }

  TempDir dir;
  ImportedModel model;
  host::HostScene scene;

 private:
  ImportOptions saved_;
  std::filesystem::path directory_;
};

TestNode Mesh(const std::string& name, size_t vertices, std::vector<TestGroup> groups) {
  TestNode node;
  node.name = name;
  for (size_t i = 0; i < vertices; ++i) node.vertices.push_back({float(i), 0, 0});
  node.groups = std::move(groups);
  return node;
}

TestGroup Group(const std::string& material, int32_t index, std::vector<std::array<uint32_t, 6>> faces) {
  TestGroup group;
  group.material = material;
  group.materialIndex = index;
  group.faces = std::move(faces);
  return group;
}

std::array<float, 3> Position(const host::Vec3& v) { return {v.x, v.y, v.z}; }

}  // namespace

TEST_F(SceneBuild, RefusesMissingArguments) {
  EXPECT_EQ(0, BuildScene(&model, nullptr));
  EXPECT_EQ(0, BuildScene(nullptr, Context()));
  EXPECT_EQ(0, scene.CallCount());
}

TEST_F(SceneBuild, MaterialsOnlyWhenNothingIsSelected) {
  AddTestMaterial(&model, "first", 0.1f);
  AddTestMaterial(&model, "second", 0.2f);
  AddTestMaterial(&model, "third", 0.4f);
  FillTestModel(&model, {Mesh("hull", 3, {Group("first", 2, {{0, 1, 2, 0, 0, 0}})})});
  model.nodes[0].selected = 0;

  ASSERT_EQ(1, Build());
  EXPECT_EQ((std::vector<std::string>{"CreateMaterial", "CreateMaterial", "CreateMaterial", "FinishBuild"}),
            scene.CallLog());
  // The list is walked from its head, the newest record: index 0 is "third".
  const HostContext* c = Context();
  ASSERT_EQ(3, c->materialCount);
  const char* names[] = {"third", "second", "first"};
  const float reds[] = {0.4f, 0.2f, 0.1f};
  for (int i = 0; i < 3; ++i) {
    const HostMaterial& m = c->materials[i];
    EXPECT_STREQ(names[i], m.name.narrow);
    EXPECT_EQ(host::Utf8ToUtf16(names[i]), std::u16string(m.name.wide));
    EXPECT_EQ(reds[i], m.diffuse[0]);
    EXPECT_EQ(1.0f, m.diffuse[3]);
    EXPECT_EQ(reds[i] / 4, m.ambient[1]);
    EXPECT_EQ(reds[i] / 2, m.specular[2]);
    EXPECT_EQ(30.0f, m.specularPower);
  }
  EXPECT_TRUE(scene.Finished());
  EXPECT_EQ(0, scene.VertexCount());
}

TEST_F(SceneBuild, OnePartAndPolygonSetPerGroup) {
  AddTestMaterial(&model, "steel", 0.5f);
  AddTestMaterial(&model, "glass", 0.5f);  // position 0; steel is 1
  FillTestModel(
      &model,
      {Mesh("saucer", 4,
            {Group("steel", 1, {{0, 1, 2, 0, 0, 0}, {0, 2, 3, 0, 0, 0}}), Group("", 0, {{3, 2, 1, 0, 0, 0}})})});
  ASSERT_EQ(1, Build());
  ASSERT_EQ(2, scene.PartCount());
  EXPECT_EQ("steel", scene.PartNarrowName(0));
  EXPECT_EQ(u"saucer", scene.PartName(1));  // no material name: the node's name
  ASSERT_EQ(2, scene.PolygonSetCount());
  ASSERT_EQ(2, scene.FaceCount(0));
  ASSERT_EQ(1, scene.FaceCount(1));
  EXPECT_EQ(1, Face(0, 0).materialIndex);
  EXPECT_EQ(0, Face(0, 1).partIndex);
  EXPECT_EQ((std::vector<int32_t>{0, 2, 3}), Corners(0, 1));
  EXPECT_EQ(0, Face(1, 0).materialIndex);
  EXPECT_EQ(1, Face(1, 0).partIndex);
  EXPECT_EQ(2, Calls("AllocTriangles"));
  EXPECT_EQ(0, Calls("AllocPolygons"));
}

TEST_F(SceneBuild, GroupWithoutFacesStillTakesItsPart) {
  FillTestModel(
      &model,
      {Mesh("hull", 3,
            {Group("a", 0, {{0, 1, 2, 0, 0, 0}}), Group("empty", 0, {}), Group("c", 0, {{2, 1, 0, 0, 0, 0}})})});
  ASSERT_EQ(1, Build());
  EXPECT_EQ(3, scene.PartCount());
  EXPECT_EQ(u"empty", scene.PartName(1));
  ASSERT_EQ(3, scene.PolygonSetCount());
  EXPECT_EQ(0, scene.FaceCount(1));
  EXPECT_EQ(2, Calls("AllocTriangles"));
  EXPECT_EQ(2, Face(2, 0).partIndex);
}

TEST_F(SceneBuild, UnselectedAndOtherNodesAreSkipped) {
  TestNode lod = Mesh("lod", 5, {Group("a", 0, {{0, 1, 2, 0, 0, 0}})});
  lod.kind = 11;
  TestNode off = Mesh("off", 7, {Group("b", 0, {{0, 1, 2, 0, 0, 0}})});
  off.selected = 0;
  FillTestModel(&model, {lod, off, Mesh("on", 3, {Group("c", 0, {{2, 1, 0, 0, 0, 0}})})});
  ASSERT_EQ(1, Build());
  EXPECT_EQ(3, scene.VertexCount());
  ASSERT_EQ(1, scene.PartCount());
  EXPECT_EQ(u"c", scene.PartName(0));
  EXPECT_EQ((std::vector<int32_t>{2, 1, 0}), Corners(0, 0));
}

// Two meshes of 10 and 6 vertices: the second mesh's indices are shifted by 10, and an
// index is checked against its own mesh, so none can reach another mesh's vertices.
TEST_F(SceneBuild, FaceIndicesAreShiftedAndCheckedPerMesh) {
  struct Case {
    int mesh;
    uint32_t index;
    int result;
  } cases[] = {
      {1, 5, 1},   // the last vertex of the second mesh: host index 15
      {1, 6, 0},   // shifted to 16, beyond the 16 vertices
      {0, 9, 1},   // the last vertex of the first mesh
      {0, 10, 0},  // within the total, but the first vertex of the second mesh
      {0, 15, 0}, {1, 0xFFFFFFFFu, 0},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(testing::Message() << "mesh " << c.mesh << " index " << c.index);
    host::HostScene fresh;
    ImportedModel m;
    std::memset(&m, 0, sizeof m);
    std::vector<TestNode> nodes = {Mesh("ten", 10, {Group("a", 0, {{0, 1, 2, 0, 0, 0}})}),
                                   Mesh("six", 6, {Group("b", 0, {{0, 1, 2, 0, 0, 0}})})};
    nodes[static_cast<size_t>(c.mesh)].groups[0].faces[0][1] = c.index;
    FillTestModel(&m, nodes);
    EXPECT_EQ(c.result, BuildScene(&m, static_cast<HostContext*>(fresh.Context())));
    EXPECT_EQ(16, fresh.VertexCount());
    EXPECT_EQ(c.result == 1, fresh.Finished());
    if (c.result == 1) {
      const HostFace& face = static_cast<const HostContext*>(fresh.Context())->polygonSets[1].faces[0];
      int32_t middle = 10 + static_cast<int32_t>(c.mesh == 1 ? c.index : 1);
      EXPECT_EQ((std::vector<int32_t>{10, middle, 12}),
                std::vector<int32_t>(face.vertexIndices.get(), face.vertexIndices + 3));
    }
    FreeImportedModel(&m);
  }
}

TEST_F(SceneBuild, HardpointQuadsFollowTheMeshVertices) {
  importOptions.convertHardpoints = 1;
  FillTestModel(&model, {Mesh("ten", 10, {Group("a", 0, {{0, 1, 2, 0, 0, 0}})}), Mesh("six", 6, {})},
                {{"hp01", {2, 0, 0}, ""}, {"hp02", {0, 0, 4}, ""}});
  ASSERT_EQ(1, Build());
  ASSERT_EQ(24, scene.VertexCount());
  // Host position of (2, 0, 0) is (-2, 0, 0); the quad spans half a unit around it.
  const float expected[4][3] = {{-2.5f, 0.5f, 0}, {-2.5f, -0.5f, 0}, {-1.5f, -0.5f, 0}, {-1.5f, 0.5f, 0}};
  for (int k = 0; k < 4; ++k) {
    host::Vec3 v = scene.Vertex(16 + k);
    EXPECT_EQ(expected[k][0], v.x) << k;
    EXPECT_EQ(expected[k][1], v.y) << k;
    EXPECT_EQ(expected[k][2], v.z) << k;
  }
  EXPECT_EQ(4.0f, scene.Vertex(20).z);
  ASSERT_EQ(3, scene.PartCount());
  EXPECT_EQ(u"hp01", scene.PartName(1));
  EXPECT_EQ(u"hp02", scene.PartName(2));
  ASSERT_EQ(3, scene.PolygonSetCount());
  EXPECT_EQ((std::vector<int32_t>{16, 17, 18, 19}), Corners(1, 0));
  EXPECT_EQ((std::vector<int32_t>{20, 21, 22, 23}), Corners(2, 0));
  EXPECT_EQ(-1, Face(1, 0).materialIndex);
  EXPECT_EQ(1, Face(1, 0).partIndex);
  EXPECT_EQ(2, Face(2, 0).partIndex);
  EXPECT_EQ(2, Calls("AllocPolygons"));
  EXPECT_EQ(2, Calls("SetCornerCount"));
}

TEST_F(SceneBuild, MarkerKindsInTheirOrderAndOnlyWhenConverted) {
  struct Case {
    ImportOptions options;
    std::vector<std::u16string> parts;
  } cases[] = {
      {{0, 0, 0, 1, 1, 0}, {u"em1", u"em2", u"sp1"}},
      {{0, 0, 0, 1, 1, 1}, {u"hp1", u"em1", u"em2", u"sp1"}},
      {{1, 1, 1, 0, 0, 0}, {}},  // extraction alone builds nothing
      {{0, 0, 0, 1, 0, 0}, {u"sp1"}},
  };
  for (const Case& c : cases) {
    host::HostScene fresh;
    ImportedModel m;
    std::memset(&m, 0, sizeof m);
    FillTestModel(&m, {}, {{"hp1", {0, 0, 0}, ""}}, {{"em1", {1, 0, 0}, "fire"}, {"em2", {2, 0, 0}, "smoke"}},
                  {{"sp1", {3, 0, 0}, ""}});
    importOptions = c.options;
    ASSERT_EQ(1, BuildScene(&m, static_cast<HostContext*>(fresh.Context())));
    std::vector<std::u16string> parts;
    for (int i = 0; i < fresh.PartCount(); ++i) parts.push_back(fresh.PartName(i));
    EXPECT_EQ(c.parts, parts);
    ASSERT_EQ(4 * static_cast<int>(c.parts.size()), fresh.VertexCount());
    for (size_t p = 0; p < c.parts.size(); ++p) {
      // Each quad is centred on its own marker's x: hp 0, em 1 and 2, sp 3, mirrored.
      float x = -static_cast<float>(c.parts[p] == u"hp1" ? 0 : c.parts[p] == u"em1" ? 1 : c.parts[p] == u"em2" ? 2 : 3);
      EXPECT_EQ(x - 0.5f, fresh.Vertex(static_cast<int>(4 * p)).x);
    }
    FreeImportedModel(&m);
  }
}

TEST_F(SceneBuild, PositionsAreMirroredAndTurnedInSinglePrecision) {
  TestNode node = Mesh("hull", 0, {});
  node.vertices = {{1, 2, 3}, {0, 10, 0}, {-4, 0, 0.5f}};
  FillTestModel(&model, {node});
  ASSERT_EQ(1, Build());
  const std::array<float, 3> expected[] = {
      {-1.0f, 1.9999999f, 3.0f}, {0.0f, 10.0f, 4.371139e-07f}, {4.0f, -4.37113883e-08f / 2, 0.5f}};
  for (int i = 0; i < 3; ++i) {
    std::array<float, 3> got = Position(scene.Vertex(i));
    EXPECT_EQ(0, std::memcmp(expected[i].data(), got.data(), sizeof got))
        << i << ": " << got[0] << " " << got[1] << " " << got[2];
  }
  EXPECT_EQ(std::string("AllocateVertices"), scene.CallLog()[0]);
}

TEST_F(SceneBuild, TextureMapsJoinTheFilesDirectory) {
  AddTestMaterial(&model, "plain", 0.3f);
  AddTestMaterial(&model, "hull", 0.3f, u"hull.tga", u"hull_glow.tga");
  AddTestMaterial(&model, "only", 0.3f, u"", u"second.tga");
  ASSERT_EQ(1, Build());
  // List order: only, hull, plain.
  EXPECT_EQ(nullptr, scene.MaterialMap(0, 0));
  const struct {
    int material, map;
    std::u16string name;
  } maps[] = {{0, 2, u"second.tga"}, {1, 0, u"hull.tga"}, {1, 2, u"hull_glow.tga"}};
  for (const auto& m : maps) {
    const uint8_t* map = scene.MaterialMap(m.material, m.map);
    ASSERT_NE(nullptr, map);
    EXPECT_EQ(Directory() + m.name, layout::WideField(map, layout::kMapPath));
    EXPECT_EQ(host::ToAnsi(Directory() + m.name), layout::NarrowField(map, layout::kMapPath));
    EXPECT_EQ(1u, layout::Get<uint32_t>(map, layout::kMapFlags) & 1u);
  }
  EXPECT_EQ(nullptr, scene.MaterialMap(2, 0));
  EXPECT_EQ(nullptr, scene.MaterialMap(2, 2));
  EXPECT_EQ(3, Calls("AcquireMap"));
  EXPECT_EQ(std::filesystem::weakly_canonical(dir.Path()),
            std::filesystem::weakly_canonical(std::filesystem::current_path()));
}

// A directory and texture name that together do not fit 259 characters get no map
// instead of a cut path naming some other file.
TEST_F(SceneBuild, TexturePathThatDoesNotFitGetsNoMap) {
  std::u16string directory = u"C:\\" + std::u16string(200, u'd') + u"\\";
  WideCopy(model.sourcePath, kModelTextUnits, (directory + u"ship.sod").c_str());
  size_t room = 259 - directory.size();
  AddTestMaterial(&model, "fits", 0.3f, std::u16string(room - 4, u'f') + u".tga");
  AddTestMaterial(&model, "long", 0.3f, std::u16string(room - 3, u'l') + u".tga");
  ASSERT_EQ(1, Build());
  EXPECT_EQ(nullptr, scene.MaterialMap(0, 0));  // "long", one character too many
  const uint8_t* map = scene.MaterialMap(1, 0);
  ASSERT_NE(nullptr, map);
  EXPECT_EQ(259u, layout::WideField(map, layout::kMapPath).size());
  EXPECT_EQ(1, Calls("AcquireMap"));
}

TEST_F(SceneBuild, TextureCoordinatesReachTheFaceCorners) {
  TestNode textured = Mesh("textured", 3, {Group("a", 0, {{0, 1, 2, 2, 0, 1}})});
  textured.texCoords = {{0.25f, 0.5f}, {0.75f, 1.0f}, {0.125f, 0.0625f}};
  TestNode bare = Mesh("bare", 3, {Group("b", 0, {{0, 1, 2, 7, 8, 9}})});  // no table: indices unused
  FillTestModel(&model, {textured, bare});
  ASSERT_EQ(1, Build());
  const HostTexCoord* corners = Face(0, 0).faceTexCoords->corners;
  EXPECT_EQ(0.125f, corners[0].u);
  EXPECT_EQ(0.0625f, corners[0].v);
  EXPECT_EQ(0.25f, corners[1].u);
  EXPECT_EQ(1.0f, corners[2].v);
  const HostTexCoord* untouched = Face(1, 0).faceTexCoords->corners;
  for (int k = 0; k < 3; ++k) EXPECT_EQ(0.0f, untouched[k].u + untouched[k].v);
  EXPECT_EQ((std::vector<int32_t>{3, 4, 5}), Corners(1, 0));
}

TEST_F(SceneBuild, IndicesOutsideTheirTablesFailTheBuild) {
  struct Case {
    const char* what;
    uint32_t texIndex;
    int32_t materialIndex;
    int result;
  } cases[] = {
      {"all in range", 1, 1, 1},
      {"texture coordinate index past the table", 2, 1, 0},
      {"material index past the host's materials", 1, 2, 0},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.what);
    host::HostScene fresh;
    ImportedModel m;
    std::memset(&m, 0, sizeof m);
    AddTestMaterial(&m, "one", 0.1f);
    AddTestMaterial(&m, "two", 0.1f);
    TestNode node = Mesh("hull", 3, {Group("one", c.materialIndex, {{0, 1, 2, 0, c.texIndex, 0}})});
    node.texCoords = {{0, 0}, {1, 1}};
    FillTestModel(&m, {node});
    EXPECT_EQ(c.result, BuildScene(&m, static_cast<HostContext*>(fresh.Context())));
    EXPECT_EQ(c.result == 1, fresh.Finished());
    FreeImportedModel(&m);
  }
}

// Every call the build makes is refused once in turn: the build answers 0 at that
// point, never reaches FinishBuild, and leaks nothing (the sanitizer build checks).
TEST_F(SceneBuild, EveryRefusedHostCallFailsTheBuild) {
  importOptions = ImportOptions{0, 0, 0, 1, 1, 1};
  AddTestMaterial(&model, "hull", 0.3f, u"hull.tga", u"glow.tga");
  TestNode node = Mesh("hull", 3, {Group("hull", 0, {{0, 1, 2, 0, 1, 0}}), Group("", 0, {})});
  node.texCoords = {{0, 0}, {1, 1}};
  FillTestModel(&model, {node}, {{"hp1", {0, 0, 1}, ""}}, {{"em1", {0, 1, 0}, "fx"}}, {{"sp1", {1, 0, 0}, ""}});
  ASSERT_EQ(1, Build());
  const long calls = scene.CallCount();
  const std::vector<std::string> log = scene.CallLog();
  EXPECT_EQ(std::string("FinishBuild"), log.back());
  for (long n = 1; n <= calls; ++n) {
    SCOPED_TRACE(testing::Message() << "call " << n << " (" << log[static_cast<size_t>(n - 1)] << ")");
    host::HostScene failing;
    failing.FailCallNumber(n);
    int result = BuildScene(&model, static_cast<HostContext*>(failing.Context()));
    // A refused map or a refused FinishBuild do not fail the build: the map is optional
    // and the result of FinishBuild is not looked at.
    const std::string& refused = log[static_cast<size_t>(n - 1)];
    int expected = refused == "AcquireMap" || refused == "FinishBuild" ? 1 : 0;
    EXPECT_EQ(expected, result);
    EXPECT_EQ(n, expected == 1 ? n : failing.CallCount());
    EXPECT_TRUE(failing.Traps().empty());
  }
}
