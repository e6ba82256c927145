// The reference host's views of a built scene: the JSON dump and the OBJ file with its
// MTL library, read back with independent readers.
#include <gtest/gtest.h>

#include <cstring>
#include <nlohmann/json.hpp>

#include <tiny_obj_loader.h>

#include "formats/scene_files.h"
#include "import/import_options.h"
#include "import/scene_builder.h"
#include "interface/host_scene.h"
#include "support/temp_dir.h"
#include "support/test_model.h"

namespace {

// A scene as an import makes it: two materials with maps, a textured mesh with two
// groups, and a converted hardpoint without material.
class SceneFiles : public testing::Test {
 protected:
  void SetUp() override {
    saved_ = importOptions;
    importOptions = ImportOptions{0, 0, 0, 0, 0, 1};
    std::memset(&model_, 0, sizeof model_);
    WideCopy(model_.sourcePath, kModelTextUnits, u"/ships/frigate.sod");
    AddTestMaterial(&model_, "hull plate", 0.25f, u"hull.tga", u"glow.tga");
    AddTestMaterial(&model_, "engine", 0.5f);
    TestNode node;
    node.name = "body";
    node.vertices = {{0, 0, 0}, {1, 0, 0}, {0, 1, 0}, {1, 1, 0}};
    node.texCoords = {{0, 0}, {1, 0}, {0.5f, 1}};
    TestGroup plates{"hull plate", 1, {{0, 1, 2, 0, 1, 2}, {1, 3, 2, 1, 2, 0}}};
    TestGroup engine{"engine", 0, {{3, 2, 0, 2, 2, 2}}};
    node.groups = {plates, engine};
    FillTestModel(&model_, {node}, {{"hp01", {0, 0, 5}, ""}});
    ASSERT_EQ(1, BuildScene(&model_, static_cast<HostContext*>(scene.Context())));
  }
  void TearDown() override {
    FreeImportedModel(&model_);
    importOptions = saved_;
  }

  host::HostScene scene;

 private:
  ImportedModel model_;
  ImportOptions saved_;
};

}  // namespace

TEST_F(SceneFiles, JsonHoldsTheWholeScene) {
  nlohmann::json json = nlohmann::json::parse(host::JsonText(host::SceneJson(scene)));
  ASSERT_EQ(2u, json["materials"].size());
  EXPECT_EQ("engine", json["materials"][0]["name"]);
  EXPECT_EQ("hull plate", json["materials"][1]["narrowName"]);
  EXPECT_EQ(0.25, json["materials"][1]["diffuse"][0].get<double>());
  ASSERT_EQ(2u, json["materials"][1]["maps"].size());
  EXPECT_EQ(2, json["materials"][1]["maps"][1]["index"]);
  EXPECT_EQ("/ships/glow.tga", json["materials"][1]["maps"][1]["path"]);
  EXPECT_EQ(1, json["materials"][1]["maps"][0]["flags"]);
  ASSERT_EQ(8u, json["vertices"].size());
  EXPECT_EQ(-1.0f, json["vertices"][1][0].get<float>());
  // Single-precision values read back exactly.
  EXPECT_EQ(4.37113883e-08f, json["vertices"][3][2].get<float>());
  EXPECT_EQ((std::vector<std::string>{"hull plate", "engine", "hp01"}),
            (std::vector<std::string>{json["parts"][0]["name"], json["parts"][1]["name"], json["parts"][2]["name"]}));
  ASSERT_EQ(3u, json["polygonSets"].size());
  const auto& face = json["polygonSets"][0]["faces"][1];
  EXPECT_EQ(1, face["material"]);
  EXPECT_EQ(0, face["part"]);
  EXPECT_EQ(3, face["corners"][1]["vertex"]);
  EXPECT_EQ(1.0, face["corners"][1]["v"].get<double>());
  EXPECT_EQ(4u, json["polygonSets"][2]["faces"][0]["corners"].size());
  EXPECT_EQ(-1, json["polygonSets"][2]["faces"][0]["material"]);
  EXPECT_TRUE(json["finished"].get<bool>());
}

TEST(SceneJsonFloat, ShortestExactFormAndNonFiniteValues) {
  const struct {
    float value;
    const char* text;
  } cases[] = {{0.0f, "0.0"},          {1.5f, "1.5"},   {1.9999999f, "1.9999999"}, {4.371139e-07f, "4.371139e-07"},
               {0.1f, "0.1"},          {-2.5f, "-2.5"}, {NAN, "\"nan\""},          {INFINITY, "\"inf\""},
               {-INFINITY, "\"-inf\""}};
  for (const auto& c : cases) EXPECT_EQ(c.text, host::JsonText(host::JsonFloat(c.value)));
}

TEST_F(SceneFiles, ObjAndMtlReadBackWithTheirGroupsAndMaterials) {
  TempDir dir;
  std::string error;
  ASSERT_TRUE(host::WriteSceneObj(scene, dir.Wide("frigate.obj"), &error)) << error;
  ASSERT_TRUE(dir.Exists("frigate.mtl"));
  tinyobj::ObjReaderConfig config;
  config.triangulate = false;
  tinyobj::ObjReader reader;
  ASSERT_TRUE(reader.ParseFromFile(dir.File("frigate.obj").string(), config)) << reader.Error();
  EXPECT_TRUE(reader.Warning().empty()) << reader.Warning();
  const auto& attrib = reader.GetAttrib();
  ASSERT_EQ(8u * 3, attrib.vertices.size());
  EXPECT_EQ(-1.0f, attrib.vertices[3]);
  ASSERT_EQ(3u, reader.GetShapes().size());
  const char* groups[] = {"hull_plate", "engine", "hp01"};
  const size_t faces[] = {2, 1, 1};
  for (size_t s = 0; s < 3; ++s) {
    EXPECT_EQ(groups[s], reader.GetShapes()[s].name);
    EXPECT_EQ(faces[s], reader.GetShapes()[s].mesh.num_face_vertices.size());
  }
  const auto& quad = reader.GetShapes()[2].mesh;
  EXPECT_EQ(4, quad.num_face_vertices[0]);
  EXPECT_EQ(4, quad.indices[0].vertex_index);
  const auto& plates = reader.GetShapes()[0].mesh;
  // The corners turn the other way, the first one staying first: the host's second
  // corner (vertex 3 with v = 1) is the OBJ face's third.
  EXPECT_EQ(2, plates.indices[4].vertex_index);
  EXPECT_EQ(3, plates.indices[5].vertex_index);
  EXPECT_EQ(1.0f, attrib.texcoords[2 * static_cast<size_t>(plates.indices[5].texcoord_index) + 1]);

  const auto& materials = reader.GetMaterials();
  ASSERT_EQ(3u, materials.size());
  EXPECT_EQ("engine", materials[0].name);
  EXPECT_EQ("hull_plate", materials[1].name);
  EXPECT_EQ(0.25f, materials[1].diffuse[0]);
  EXPECT_EQ(0.0625f, materials[1].ambient[2]);
  EXPECT_EQ(30.0f, materials[1].shininess);
  EXPECT_EQ("/ships/hull.tga", materials[1].diffuse_texname);
  EXPECT_EQ("", materials[0].diffuse_texname);
  EXPECT_EQ(1, plates.material_ids[0]);
  EXPECT_EQ(0, reader.GetShapes()[1].mesh.material_ids[0]);
  EXPECT_EQ(2, quad.material_ids[0]);  // the stand-in for "no material"
}

TEST_F(SceneFiles, ObjIntoAMissingFolderIsRefused) {
  TempDir dir;
  std::string error;
  EXPECT_FALSE(host::WriteSceneObj(scene, dir.Wide("missing/frigate.obj"), &error));
  EXPECT_NE(std::string::npos, error.find("frigate")) << error;
}
