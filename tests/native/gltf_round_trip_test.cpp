// SOD to glTF and back through the real plug-in, as `kveltar-host convert` does it:
// files of every version with meshes under transforms, several materials, a texture
// found and one missing, and hardpoints (one sheared), an emitter and a sprite. The
// file written back holds the same triangles, materials and markers, read by the
// plug-in's own reader. The glTF files are kept in the build for the validator.
#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <memory>
#include <string>
#include <vector>

#include <tiny_gltf.h>
#include <tiny_obj_loader.h>

#include "bridge/conversion.h"
#include "bridge/sod_bridge.h"
#include "formats/gltf_scene_reader.h"
#include "formats/gltf_scene_writer.h"
#include "formats/marker_transform.h"
#include "formats/scene_files.h"
#include "interface/host_text.h"
#include "support/sod_builder.h"
#include "support/sod_parse.h"
#include "support/temp_dir.h"

namespace {

using sodtest::SodFileSpec;
using sodtest::SodNodeSpec;

// A ship that uses what the conversion has to carry.
SodFileSpec ShipSpec(uint32_t bits) {
  SodFileSpec s;
  s.versionBits = bits;
  sodtest::SodMaterialSpec glow = sodtest::Material("glow");
  glow.ambient = {0.03125f, 0.5f, 1.5f};  // a value outside 0..1 kept as it is
  s.materials = {sodtest::Material("hull"), glow};
  s.nodes.push_back(sodtest::NullNode("root"));
  SodNodeSpec body = sodtest::MeshNode("body", {"hull", "glow"}, "ship_hull", "root");
  body.mesh.vertices = {{0, 0, 0}, {1, 0, 0}, {0, 1, 0}, {0.25f, -3, 7.5f}};
  body.mesh.texCoords = {{0, 0}, {1, 0}, {0, 1}, {0.1f, 0.9f}};
  body.mesh.groups[1].faces[0].v[0] = 3;
  body.mesh.groups[1].faces[0].t[2] = 3;
  body.transform.r0 = {0, 0, -1};  // a quarter turn about y, then moved
  body.transform.r2 = {1, 0, 0};
  body.transform.t = {1, 2, 3};
  s.nodes.push_back(body);
  SodNodeSpec wing = sodtest::MeshNode("wing", {"glow"}, "ship_glow", "root");
  wing.transform.t = {-4, 0.5f, 0};
  s.nodes.push_back(wing);
  SodNodeSpec turned = sodtest::NullNode("hp_turned", "root");
  turned.transform.r0 = {0.8f, 0.6f, 0};
  turned.transform.r1 = {-0.6f, 0.8f, 0};
  turned.transform.t = {0.5f, -1.25f, 9};
  s.nodes.push_back(turned);
  SodNodeSpec sheared = sodtest::NullNode("HP_sheared", "root");
  sheared.transform.r1 = {0.5f, 1, 0};
  sheared.transform.t = {-2, 0, 0};
  s.nodes.push_back(sheared);
  SodNodeSpec exhaust = sodtest::EmitterNode("engine", "exhaust", "root");
  exhaust.transform.t = {0, 0, -6};
  s.nodes.push_back(exhaust);
  s.nodes.push_back(sodtest::NodeOfKind(3, "light", "root"));
  return s;
}

// A 2 x 2 TGA image, uncompressed, 24 bits.
std::string TinyTga() {
  std::string tga = {0, 0, 2, 0, 0, 0, 0, 0, 0, 0, 0, 0, 2, 0, 2, 0, 24, 0x20};
  for (int i = 0; i < 4; ++i) tga += {static_cast<char>(40 * i), static_cast<char>(200), static_cast<char>(90)};
  return tga;
}

struct Model {
  ImportedModel m;
  Model() { std::memset(&m, 0, sizeof m); }
  ~Model() { FreeImportedModel(&m); }
};

bool Near(const float* a, const float* b, int n, float tolerance) {
  for (int i = 0; i < n; ++i) {
    if (!(std::fabs(a[i] - b[i]) <= tolerance)) return false;
  }
  return true;
}

// A triangle as the reader sees it: world corners, texture coordinates, material.
struct Triangle {
  float corners[3][5];
  std::string material;
};

std::vector<Triangle> TrianglesOf(const ImportedModel& m) {
  std::vector<Triangle> triangles;
  for (int32_t n = 0; n < m.nodeCount; ++n) {
    const NodeRecord& node = m.nodes[n];
    for (uint32_t g = 0; node.kind == 1 && g < node.groupCount; ++g) {
      const FaceGroup& group = node.groups[g];
      for (uint32_t f = 0; f < group.faceCount; ++f) {
        Triangle t;
        t.material = group.materialName;
        for (int k = 0; k < 3; ++k) {
          std::memcpy(t.corners[k], node.worldVertices + 3 * group.faces[6 * f + k], 12);
          std::memcpy(t.corners[k] + 3, node.texCoords + 2 * group.faces[6 * f + 3 + k], 8);
        }
        triangles.push_back(t);
      }
    }
  }
  return triangles;
}

void ExpectSameTriangles(const ImportedModel& before, const ImportedModel& after) {
  std::vector<Triangle> left = TrianglesOf(after);
  for (const Triangle& wanted : TrianglesOf(before)) {
    auto found = std::find_if(left.begin(), left.end(), [&](const Triangle& t) {
      return t.material == wanted.material && Near(t.corners[0], wanted.corners[0], 15, 1e-5f);
    });
    EXPECT_NE(found, left.end()) << "a triangle of " << wanted.material << " was lost";
    if (found != left.end()) left.erase(found);
  }
  EXPECT_TRUE(left.empty()) << left.size() << " triangles came from nowhere";
}

void ExpectSameMaterials(const ImportedModel& before, const ImportedModel& after) {
  for (const MaterialRecord* a = after.materials; a != nullptr; a = a->next) {
    const MaterialRecord* b = FindMaterialRecord(&before, a->name);
    ASSERT_NE(b, nullptr) << a->name;
    EXPECT_EQ(0, std::memcmp(a->ambient, b->ambient, 12)) << a->name;
    EXPECT_EQ(0, std::memcmp(a->diffuse, b->diffuse, 12)) << a->name;
    EXPECT_EQ(0, std::memcmp(a->specular, b->specular, 12)) << a->name;
    // No texture reads as "NULL" where the file has an empty name, and as nothing where
    // its version has no texture field.
    std::u16string texture = b->texture[0] != 0 ? b->texture : u"NULL";
    EXPECT_EQ(texture, std::u16string(a->texture)) << a->name;
  }
  EXPECT_EQ(before.materialCount, after.materialCount);
}

// The markers of a kind, each its name (emitters: and emitter name) with its rows.
template <typename Record>
void ExpectSameMarkers(const Record* before, int32_t beforeCount, const Record* after, int32_t afterCount) {
  ASSERT_EQ(beforeCount, afterCount);
  for (int32_t i = 0; i < beforeCount; ++i) {
    const Record* match = nullptr;
    for (int32_t j = 0; j < afterCount; ++j)
      match = std::strcmp(after[j].name, before[i].name) == 0 ? &after[j] : match;
    ASSERT_NE(match, nullptr) << before[i].name;
    // The plug-in's side text files keep six decimals.
    for (int r = 0; r < 4; ++r) EXPECT_TRUE(Near(before[i].transform.m[r], match->transform.m[r], 3, 2e-6f)) << r;
    if constexpr (std::is_same_v<Record, EmitterRecord>) {
      EXPECT_STREQ(before[i].emitterName, match->emitterName);
    }
  }
}

class GltfRoundTrip : public testing::Test {
 protected:
  void SetUp() override {
    options_.pluginPath = host::Utf8ToUtf16(KVELTAR_NATIVE_PLUGIN);
    ASSERT_TRUE(host::StartSession(options_, &session_));
    start_ = std::filesystem::current_path();
  }
  void TearDown() override { std::filesystem::current_path(start_); }

  // The SOD file `name` in `dir`, read and imported with its markers extracted.
  void Import(const std::string& name, const host::ImportAnswer& answer, host::SceneDocument* document) {
    host::UiDriver driver({host::ImportDialogAnswer(answer, true)}, false);
    host::PluginRun run = host::ImportSod(&session_, options_, dir.Wide(name), answer, true, &driver, document);
    ASSERT_EQ(host::kExitOk, run.status) << host::Utf16ToUtf8(run.errorText);
  }

  TempDir dir;
  host::HostOptions options_;
  host::Session session_;
  std::filesystem::path start_;
};

TEST_F(GltfRoundTrip, EveryVersionKeepsTrianglesMaterialsAndMarkers) {
  std::filesystem::create_directories(KVELTAR_GLTF_WRITTEN);
  dir.Write("ship_hull.tga", TinyTga());  // ship_glow.tga is missing: its name goes through extras
  std::filesystem::copy_file(dir.File("ship_hull.tga"), std::filesystem::path(KVELTAR_GLTF_WRITTEN) / "ship_hull.tga",
                             std::filesystem::copy_options::overwrite_existing);
  for (uint32_t bits : sodtest::kAllVersions) {
    SCOPED_TRACE(bits);
    const std::string original = sodtest::BuildSod(ShipSpec(bits));
    dir.Write("ship.sod", original);
    // Each version's file stays for the web module's tests, which convert it again.
    char sod[32];
    std::snprintf(sod, sizeof sod, "ship_%.2f.sod", static_cast<double>(sodtest::FloatOfBits(bits)));
    std::filesystem::copy_file(dir.File("ship.sod"), std::filesystem::path(KVELTAR_GLTF_WRITTEN) / sod,
                               std::filesystem::copy_options::overwrite_existing);
    host::SceneDocument out;
    ASSERT_NO_FATAL_FAILURE(Import("ship.sod", host::ImportAnswer{}, &out));
    // Both kinds of glTF file, one version each way.
    char gltf[32];
    std::snprintf(gltf, sizeof gltf, "ship_%.2f.%s", static_cast<double>(sodtest::FloatOfBits(bits)),
                  (bits & 1) ? "gltf" : "glb");
    const std::u16string written = (std::filesystem::path(KVELTAR_GLTF_WRITTEN) / gltf).u16string();
    std::string error;
    ASSERT_TRUE(host::WriteGltfScene(out, written, &error)) << error;
    host::SceneDocument in;
    ASSERT_TRUE(host::ReadGltfScene(written, &in, &error)) << error;
    host::ExportAnswer answer;
    answer.game = 2;
    const std::string back = "back" + std::to_string(bits);
    std::filesystem::create_directories(dir.File(back));
    ASSERT_EQ(host::kExitOk,
              host::ExportSod(&session_, options_, &in, dir.Wide(back + "/ship.sod"), answer, true).status);
    // The image found went into the glTF file and comes back as the game's texture file
    // (SOD 1.6 names no textures).
    EXPECT_EQ(bits == sodtest::kV16 ? 0 : TinyTga().size(), dir.Read(back + "/ship_hull.tga").size());
    EXPECT_FALSE(dir.Exists(back + "/ship_glow.tga"));

    Model before, after;
    ASSERT_EQ(1, sodtest::ParseBytes(original, &before.m));
    ASSERT_EQ(1, sodtest::ParseBytes(dir.Read(back + "/ship.sod"), &after.m));
    ExpectSameTriangles(before.m, after.m);
    ExpectSameMaterials(before.m, after.m);
    ExpectSameMarkers(before.m.hardpoints, before.m.hardpointCount, after.m.hardpoints, after.m.hardpointCount);
    ExpectSameMarkers(before.m.emitters, before.m.emitterCount, after.m.emitters, after.m.emitterCount);
    ExpectSameMarkers(before.m.sprites, before.m.spriteCount, after.m.sprites, after.m.spriteCount);
  }
}

// Each marker node stands at the centre of the square that the plug-in's Convert To
// Geometry builds for the same record.
TEST_F(GltfRoundTrip, MarkerNodesStandAtTheCentresOfTheirSquares) {
  std::ifstream sample(std::string(KVELTAR_SOURCE_DIR) + "/docs/sample/frigate.sod", std::ios::binary);
  dir.Write("frigate.sod", std::string(std::istreambuf_iterator<char>(sample), std::istreambuf_iterator<char>()));
  host::ImportAnswer answer;
  for (int box : {1005, 1006, 1007}) answer.actions.push_back({host::UiAction::kSetCheck, box, 1, 0, u""});
  host::SceneDocument document;
  ASSERT_NO_FATAL_FAILURE(Import("frigate.sod", answer, &document));
  const std::u16string written = (std::filesystem::path(KVELTAR_GLTF_WRITTEN) / "frigate_squares.glb").u16string();
  std::string error;
  ASSERT_TRUE(host::WriteGltfScene(document, written, &error)) << error;
  tinygltf::Model model;
  std::string warning;
  ASSERT_TRUE(
      tinygltf::TinyGLTF().LoadBinaryFromFile(&model, &error, &warning, std::filesystem::path(written).string()))
      << error;
  host::HostScene& scene = document.scene;
  int checked = 0;
  for (int part = 0; part < scene.PartCount(); ++part) {
    if (scene.FaceCount(part) != 1) continue;
    host::FaceView square = host::ReadFace(scene, part, 0);
    ASSERT_EQ(4u, square.vertices.size());
    float centre[3] = {0, 0, 0};
    for (int32_t v : square.vertices) {
      host::Vec3 p = scene.Vertex(v);
      centre[0] += p.x / 4, centre[1] += p.y / 4, centre[2] += p.z / 4;
    }
    for (const tinygltf::Node& node : model.nodes) {
      if (node.name != host::Utf16ToUtf8(scene.PartName(part)) || node.mesh >= 0 || node.matrix.size() != 16) continue;
      const float position[3] = {static_cast<float>(node.matrix[12]), static_cast<float>(node.matrix[13]),
                                 static_cast<float>(node.matrix[14])};
      EXPECT_TRUE(Near(position, centre, 3, 1e-5f)) << node.name;
      ++checked;
    }
  }
  EXPECT_EQ(5, checked);
}

}  // namespace

namespace {

// A glTF scene of one material with `triangles` triangles of their own three vertices.
void WriteTriangles(const std::u16string& path, const std::u16string& material, int triangles) {
  host::SceneDocument document;
  host::HostScene& scene = document.scene;
  int m = scene.AddMaterial(material, {0.5f, 0.5f, 0.5f, 1}, {0.1f, 0.1f, 0.1f, 1}, {0, 0, 0, 1}, 10, triangles);
  int part = scene.AddPart(u"body");
  int set = scene.AddPolygonSet();
  scene.AddTexCoord(0, 0);
  for (int t = 0; t < triangles; ++t) {
    host::FaceSpec face;
    face.materialIndex = m;
    face.partIndex = part;
    for (int k = 0; k < 3; ++k) {
      face.vertices.push_back(scene.AddVertex({static_cast<float>(t), static_cast<float>(k), 0}));
      face.texCoords.push_back(0);
    }
    scene.AddFace(set, face);
  }
  std::string error;
  ASSERT_TRUE(host::WriteGltfScene(document, path, &error)) << error;
}

}  // namespace

// What cannot be converted ends the command with a message and an exit code, and leaves
// no file behind: a glTF that does not parse, one whose buffer is missing, a SOD file
// that is missing or cut short (which the plug-in refuses without a message: the host
// says why, with the size), a scene over the format's limits or with a reserved
// material name (the plug-in's own messages), and targets that cannot be written.
TEST_F(GltfRoundTrip, BadFilesAndTargetsEndWithAMessageAndNoFile) {
  dir.Write("broken.gltf", "{\"asset\": {\"version\": \"2.0\"}, \"nodes\": [");
  WriteTriangles(dir.Wide("nobin.gltf"), u"hull", 1);
  std::filesystem::remove(dir.File("nobin.bin"));
  WriteTriangles(dir.Wide("big.glb"), u"hull", 21846);  // 65538 vertices
  WriteTriangles(dir.Wide("shields.glb"), u"shields", 1);
  WriteTriangles(dir.Wide("good.glb"), u"hull", 1);
  dir.Write("ship.sod", sodtest::BuildSod(ShipSpec(sodtest::kV193)));
  dir.Write("cut.sod", sodtest::BuildSod(ShipSpec(sodtest::kV193)).substr(0, 100));
  const struct {
    const char* input;
    const char* output;
    int status;
    std::string message;
  } cases[] = {
      {"broken.gltf", "broken.sod", host::kExitUsage, "broken.gltf"},
      {"nobin.gltf", "nobin.sod", host::kExitUsage, "nobin.bin"},
      {"missing.sod", "missing.glb", host::kExitUsage, "missing.sod: Could not open file for reading."},
      {"cut.sod", "cut.glb", host::kExitUsage,
       "could not read " + dir.File("cut.sod").string() + ": the file is damaged or cut short (100 bytes)"},
      {"big.glb", "big.sod", host::kExitStopped, "65535 vertices."},
      {"shields.glb", "shields.sod", host::kExitStopped, "reserved"},
      {"good.glb", "missing/good.sod", host::kExitFailed, "Could not open file for writing."},
      {"ship.sod", "missing/ship.glb", host::kExitFailed, "cannot write"},
  };
  const size_t files = dir.Count();
  host::Session session;
  ASSERT_TRUE(host::StartSession(options_, &session));
  for (const auto& c : cases) {
    SCOPED_TRACE(c.input);
    host::ConversionRequest request;
    request.input = dir.Wide(c.input);
    request.output = dir.Wide(c.output);
    host::Conversion conversion;
    EXPECT_EQ(c.status, host::Convert(&session, options_, request, &conversion));
    std::string said = conversion.messages.List().dump();
    EXPECT_NE(std::string::npos, said.find(c.message)) << said;
    EXPECT_FALSE(dir.Exists(c.output));
    EXPECT_EQ(files, dir.Count());
  }
}

// The OBJ files written from a SOD file with its textures beside it (read from a
// temporary copy): tinyobjloader finds every texture the MTL file names, relative to
// the OBJ file in its folder or below, else whole, or in the texture folder asked for,
// where a missing one is told; a material without a texture names none.
TEST_F(GltfRoundTrip, ObjFilesNameTheirTexturesWhereTheyAre) {
  sodtest::SodFileSpec ship = ShipSpec(sodtest::kV193);
  ship.materials.push_back(sodtest::Material("bare"));
  ship.nodes.push_back(sodtest::MeshNode("plain", {"bare"}, "", "root"));
  dir.Write("ship.sod", sodtest::BuildSod(ship));
  for (const char* folder : {"textures", "below"}) std::filesystem::create_directories(dir.File(folder));
  for (const char* name : {"ship_hull.tga", "ship_glow.tga", "textures/ship_hull.tga"}) dir.Write(name, TinyTga());
  const struct {
    const char *output, *folder;
    std::string hull;  // as the MTL file names it
    bool glowMissing;
  } cases[] = {{"ship.obj", "", "ship_hull.tga", false},
               {"below/ship.obj", "", dir.File("ship_hull.tga").lexically_normal().string(), false},
               {"near.obj", "textures", "textures/ship_hull.tga", true}};
  for (const auto& c : cases) {
    SCOPED_TRACE(c.output);
    host::ConversionRequest request{
        dir.Wide("ship.sod"), dir.Wide(c.output), {}, {}, *c.folder == 0 ? u"" : dir.Wide(c.folder)};
    host::Conversion conversion;
    ASSERT_EQ(host::kExitOk, host::Convert(&session_, options_, request, &conversion));
    const std::string said = conversion.messages.List().dump();
    EXPECT_EQ(c.glowMissing, said.find("ship_glow.tga of material glow not found") != std::string::npos) << said;
    tinyobj::ObjReader reader;
    ASSERT_TRUE(reader.ParseFromFile(dir.File(c.output).string())) << reader.Error();
    for (const tinyobj::material_t& m : reader.GetMaterials()) {
      const std::string& texture = m.diffuse_texname;
      EXPECT_TRUE(m.name != "hull" || texture == c.hull) << texture;
      const bool found = std::filesystem::is_regular_file(dir.File(c.output).parent_path() / texture);
      EXPECT_TRUE(texture.empty() ? m.name == "bare" || m.name == "kveltar_no_material"
                                  : found || (c.glowMissing && m.name == "glow"))
          << m.name << ": " << texture;
    }
  }
}

// Ships written by Blender's glTF exporter convert to SOD with their markers: one made
// in Blender, and the sample frigate after a trip through Blender with hp_phaser_fore
// moved one unit along Blender's x, which is the SOD file's -x.
TEST_F(GltfRoundTrip, ShipsWrittenByBlenderConvertWithTheirMarkers) {
  const struct {
    const char* file;
    size_t triangles;
    std::vector<std::string> hardpoints;
    int32_t emitters;
    const char* watched;  // a hardpoint, and where it stands in the SOD file
    float at[3];
  } cases[] = {
      {"blender_ship.glb", 14, {"hp_aft", "hp_fore"}, 1, "hp_fore", {0, 0, -2}},
      {"blender_frigate.glb",
       36,
       {"HP_torpedo", "hp_phaser_aft", "hp_phaser_fore"},
       1,
       "hp_phaser_fore",
       {-1, 0.7f, 3.5f}},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.file);
    host::SceneDocument document;
    std::string error;
    const std::string path = std::string(KVELTAR_TEST_DATA) + "/gltf/" + c.file;
    ASSERT_TRUE(host::ReadGltfScene(host::Utf8ToUtf16(path), &document, &error)) << error;
    ASSERT_EQ(
        host::kExitOk,
        host::ExportSod(&session_, options_, &document, dir.Wide("blender.sod"), host::ExportAnswer{}, false).status);
    Model written;
    ASSERT_EQ(1, sodtest::ParseBytes(dir.Read("blender.sod"), &written.m));
    EXPECT_EQ(c.triangles, TrianglesOf(written.m).size());
    std::vector<std::string> names;
    for (int32_t i = 0; i < written.m.hardpointCount; ++i) {
      const HardpointRecord& hardpoint = written.m.hardpoints[i];
      names.push_back(hardpoint.name);
      if (names.back() == c.watched) {
        EXPECT_TRUE(Near(hardpoint.transform.m[3], c.at, 3, 1e-5f));
      }
    }
    std::sort(names.begin(), names.end());
    EXPECT_EQ(c.hardpoints, names);
    EXPECT_EQ(c.emitters, written.m.emitterCount);
  }
}
