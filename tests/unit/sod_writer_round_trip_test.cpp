// Written files read back with the plug-in's own SOD reader: the same triangles,
// positions, texture coordinates, materials and markers come out.
#include <gtest/gtest.h>

#include <map>

#include "sod/export_memory.h"
#include "sod/imported_model.h"
#include "sod/mesh_writer.h"
#include "support/export_fixture.h"
#include "support/sod_parse.h"

namespace {

// Two materials (one textured) over a fan of quads the host triangulates.
void BuildFan(host::HostScene& scene) {
  int hull = scene.AddMaterial(u"hull", {0.1f, 0.2f, 0.3f, 1}, {0.4f, 0.5f, 0.6f, 1}, {0.7f, 0.8f, 0.9f, 1}, 5, 4);
  scene.SetMaterialMap(hull, 0, 1, u"C:\\maps\\hull_plates.tga");
  int trim = AddPlainMaterial(scene, u"trim", 2);
  for (int i = 0; i < 10; ++i) {
    scene.AddVertex({static_cast<float>(i) * 0.5f - 2.0f, static_cast<float>(i % 3), static_cast<float>(i % 4) - 1.5f});
    scene.AddTexCoord(static_cast<float>(i) / 9.0f, static_cast<float>(9 - i) / 9.0f);
  }
  int set = scene.AddPolygonSet();
  for (int q = 0; q < 4; ++q) {
    host::FaceSpec quad;
    quad.materialIndex = q < 3 ? hull : trim;
    quad.vertices = {2 * q, 2 * q + 1, 2 * q + 3, 2 * q + 2};
    quad.texCoords = {2 * q, 2 * q + 1, 2 * q + 3, 2 * q + 2};
    scene.AddFace(set, quad);
  }
  ContextOf(scene)->services->Triangulate(ContextOf(scene));
}

void SetPath(char16_t* field, const std::u16string& path) {
  std::copy(path.begin(), path.end(), field);
  field[path.size()] = 0;
}

// The host triangles of `material` as (position, texture coordinate) triples in SOD
// axes, in face order.
std::vector<std::array<float, 15>> HostTriangles(host::HostScene& scene, int material) {
  std::vector<std::array<float, 15>> out;
  HostContext* c = ContextOf(scene);
  for (int32_t f = 0; f < c->polygonSets[0].faceCount; ++f) {
    const HostFace& face = c->polygonSets[0].faces[f];
    if (face.materialIndex != material) continue;
    std::array<float, 15> t{};
    for (int k = 0; k < 3; ++k) {
      SodPositionOf(c->vertices[face.vertexIndices[k]].position, &t[static_cast<size_t>(k) * 5]);
      const HostTexCoord& uv = c->texCoordTable->entries[face.faceTexCoords->indices[k]];
      t[static_cast<size_t>(k) * 5 + 3] = uv.u;
      t[static_cast<size_t>(k) * 5 + 4] = uv.v;
    }
    out.push_back(t);
  }
  return out;
}

// The triangles of a read mesh node in the same form.
std::vector<std::array<float, 15>> ReadTriangles(const NodeRecord& node) {
  std::vector<std::array<float, 15>> out;
  for (uint32_t g = 0; g < node.groupCount; ++g) {
    const FaceGroup& group = node.groups[g];
    for (uint32_t f = 0; f < group.faceCount; ++f) {
      std::array<float, 15> t{};
      for (size_t k = 0; k < 3; ++k) {
        uint32_t v = group.faces[f * 6 + k];
        uint32_t uv = group.faces[f * 6 + 3 + k];
        for (size_t a = 0; a < 3; ++a) t[k * 5 + a] = node.worldVertices[v * 3 + a];
        t[k * 5 + 3] = node.texCoords[uv * 2];
        t[k * 5 + 4] = node.texCoords[uv * 2 + 1];
      }
      out.push_back(t);
    }
  }
  return out;
}

}  // namespace

TEST(SodWriterRoundTrip, ReaderFindsWhatWasWritten) {
  for (int32_t game : {kGameArmada1, kGameArmada2}) {
    SCOPED_TRACE(game);
    ExportStateGuard guard;
    TempDir dir;
    dir.Write("hps.txt", "hp01 1 0 0 0 1 0 0 0 1 0 2.5 -10\nhp02_aft 0 1 0 -1 0 0 0 0 1 1 2 3\n");
    dir.Write("ems.txt", "engine_l  warp  1 0 0 0 1 0 0 0 1 -0.75 0 2.1\n");
    dir.Write("sps.txt", "light_red  1 0 0 0 1 0 0 0 1 -1 0 0\n");
    exportOptions.gameVersion = game;
    exportOptions.useHardpointFile = exportOptions.useEmitterFile = exportOptions.useSpriteFile = 1;
    SetPath(exportOptions.hardpointFilePath, dir.Wide("hps.txt"));
    SetPath(exportOptions.emitterFilePath, dir.Wide("ems.txt"));
    SetPath(exportOptions.spriteFilePath, dir.Wide("sps.txt"));
    host::HostScene scene;
    BuildFan(scene);
    ASSERT_EQ(1, WriteSceneTo(scene, dir, "fan.sod"));

    ImportedModel model;
    std::memset(&model, 0, sizeof model);
    ASSERT_EQ(1, sodtest::ParseBytes(dir.Read("fan.sod"), &model));
    EXPECT_EQ(game == kGameArmada1 ? kSodVersion18 : kSodVersion193, SodVersionBits(model.version));
    ASSERT_EQ(2, model.materialCount);
    MaterialRecord* hull = FindMaterialRecord(&model, "hull");
    ASSERT_NE(nullptr, hull);
    EXPECT_EQ(0.4f, hull->ambient[0]);
    EXPECT_EQ(0.2f, hull->diffuse[1]);
    EXPECT_EQ(0.9f, hull->specular[2]);
    EXPECT_EQ(30.0f, hull->specularPower);

    std::map<std::string, const NodeRecord*> meshes;
    for (int32_t i = 0; i < model.nodeCount; ++i) {
      if (model.nodes[i].kind == kSodNodeMesh) meshes[model.nodes[i].name] = &model.nodes[i];
    }
    ASSERT_EQ(2u, meshes.size());
    EXPECT_EQ(u"hull_plates.tga", std::u16string(meshes["hull"]->texture));
    EXPECT_EQ(u"NULL", std::u16string(meshes["trim"]->texture));
    EXPECT_EQ(HostTriangles(scene, 0), ReadTriangles(*meshes["hull"]));
    EXPECT_EQ(HostTriangles(scene, 1), ReadTriangles(*meshes["trim"]));
    EXPECT_EQ(6u, meshes["hull"]->groups[0].faceCount);
    EXPECT_EQ(8u, meshes["hull"]->vertexCount);  // shared corners welded

    ASSERT_EQ(2, model.hardpointCount);
    EXPECT_STREQ("hp01", model.hardpoints[0].name);
    EXPECT_EQ(-10.0f, model.hardpoints[0].transform.m[3][2]);
    EXPECT_STREQ("hp02_aft", model.hardpoints[1].name);
    EXPECT_EQ(-1.0f, model.hardpoints[1].transform.m[1][0]);
    ASSERT_EQ(1, model.emitterCount);
    EXPECT_STREQ("engine_l", model.emitters[0].name);
    EXPECT_STREQ("warp", model.emitters[0].emitterName);
    ASSERT_EQ(1, model.spriteCount);
    EXPECT_STREQ("light_red", model.sprites[0].name);
    FreeImportedModel(&model);
  }
}

// The write keeps its working memory for the next write; a larger scene with more
// materials, then a smaller one, must each write what a freshly loaded plug-in writes.
TEST(SodWriterRoundTrip, KeptMemoryWritesWhatAFreshPlugInWrites) {
  ExportStateGuard guard;
  TempDir dir;
  host::HostScene fan, strip;
  BuildFan(fan);
  for (int m = 0; m < 3; ++m) AddPlainMaterial(strip, u"strip" + std::u16string(1, u'a' + m), 1);
  for (int i = 0; i < 40; ++i) {
    strip.AddVertex({static_cast<float>(i / 2), static_cast<float>(i % 2), 0});
    strip.AddTexCoord(static_cast<float>(i % 5) / 4.0f, static_cast<float>(i % 2));
  }
  const int set = strip.AddPolygonSet();
  for (int f = 0; f < 38; ++f) AddTriangle(strip, set, f % 3, {f, f + 1, f + 2}, {f, f + 2, f + 1});
  for (host::HostScene* scene : {&fan, &strip}) {
    ReleaseExportMemory(&exportMemory);
    ASSERT_EQ(1, WriteSceneTo(*scene, dir, "fresh.sod"));
    ASSERT_EQ(1, WriteSceneTo(scene == &fan ? strip : fan, dir, "other.sod"));
    ASSERT_EQ(1, WriteSceneTo(*scene, dir, "kept.sod"));
    EXPECT_EQ(dir.Read("fresh.sod"), dir.Read("kept.sod"));
  }
}
