// The glTF reader: a file made here read back as the host holds it, triangle lists,
// strips and fans, the ship Blender's own exporter wrote, and hostile files (and the
// fuzz corpus) refused with a reason and never a crash.
#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <filesystem>
#include <fstream>
#include <functional>
#include <iterator>
#include <nlohmann/json.hpp>
#include <string>
#include <vector>

#include "formats/gltf_scene_reader.h"
#include "formats/marker_transform.h"
#include "plugin/host_records.h"
#include "support/temp_dir.h"

namespace {

using nlohmann::json;
constexpr int kFloat = 5126;
constexpr int kUshort = 5123;

// A glTF file made in the test: its JSON and its one buffer; accessor i has buffer view i.
struct Gltf {
  json doc = {{"asset", {{"version", "2.0"}}}, {"bufferViews", json::array()}, {"accessors", json::array()}};
  std::string bin;

  template <typename T>
  int Accessor(const std::vector<T>& values, int componentType, const char* type) {
    const size_t width = type[0] == 'S' ? 1 : static_cast<size_t>(type[3] - '0');
    doc["bufferViews"].push_back(
        {{"buffer", 0}, {"byteOffset", bin.size()}, {"byteLength", values.size() * sizeof(T)}});
    doc["accessors"].push_back({{"bufferView", doc["accessors"].size()},
                                {"componentType", componentType},
                                {"type", type},
                                {"count", values.size() / width}});
    bin.append(reinterpret_cast<const char*>(values.data()), values.size() * sizeof(T));
    bin.resize((bin.size() + 3) / 4 * 4, '\0');
    return static_cast<int>(doc["accessors"].size()) - 1;
  }
  json Text() const {  // with its buffer in ship.bin
    json text = doc;
    text["buffers"] = {{{"byteLength", bin.size()}, {"uri", "ship.bin"}}};
    return text;
  }
  std::string Glb() const {
    json text = doc;
    text["buffers"] = {{{"byteLength", bin.size()}}};
    std::string chunk = text.dump(), out = "glTF";
    chunk.resize((chunk.size() + 3) / 4 * 4, ' ');
    auto put = [&out](size_t v) {
      for (int i = 0; i < 4; ++i) out += static_cast<char>(v >> (8 * i) & 0xFF);
    };
    put(2), put(28 + chunk.size() + bin.size()), put(chunk.size()), out += "JSON" + chunk;
    put(bin.size()), out += std::string("BIN\0", 4) + bin;
    return out;
  }
};

// The node TRS the glTF writer gives rows that are no TRS, moved by dx.
json Trs(const float rows[4][3], double dx) {
  double m[16], t[3], q[4], s[3];
  host::NodeMatrixOfRows(rows, m);
  host::DecomposeMatrix(m, t, q, s);
  return {
      {"translation", {t[0] + dx, t[1], t[2]}}, {"rotation", {q[0], q[1], q[2], q[3]}}, {"scale", {s[0], s[1], s[2]}}};
}

const float kShear[4][3] = {{1, 0, 0}, {0.5f, 1, 0}, {0, 0, 1}, {4, 5, 6}};

// A textured hull with two materials named alike, a mirrored child mesh whose
// positions are sparse, a line primitive, and markers of every kind and rule.
Gltf ShipFile() {
  Gltf f;
  f.Accessor<float>({-0.0f, 0, 0, 1, 0, 0, 1, 1, 0, 0, 1, 0}, kFloat, "VEC3");
  f.Accessor<float>({0, 0, 1, 0, 1, 1, 0, 1}, kFloat, "VEC2");
  f.Accessor<uint16_t>({0, 1, 2, 0, 2, 3}, kUshort, "SCALAR");
  f.doc["accessors"].push_back(json::parse(R"({"componentType": 5126, "type": "VEC3", "count": 3, "sparse": {"count": 1,
      "indices": {"bufferView": 2, "componentType": 5123}, "values": {"bufferView": 0, "byteOffset": 12}}})"));
  f.doc["meshes"] = json::parse(R"([{"primitives": [{"attributes": {"POSITION": 0, "TEXCOORD_0": 1}, "indices": 2,
      "material": 0}, {"attributes": {"POSITION": 0}, "indices": 2, "material": 1}, {"attributes": {"POSITION": 0},
      "mode": 1}]}, {"name": "turret", "primitives": [{"attributes": {"POSITION": 3}}]}])");
  f.doc["materials"] = json::parse(R"([{"name": "steel", "pbrMetallicRoughness": {"baseColorFactor": [1, 0.5, 0.5, 1],
      "baseColorTexture": {"index": 0}}, "extras": {"sod_ambient": [0.1, 0.2, 0.3, 1], "sod_specular": [1, 1, 1, 1],
      "sod_specular_power": 12, "sod_diffuse": [2, 0.5, 0.5, 1]}}, {"name": "steel"}, {"name": "glass"}])");
  f.doc["textures"] = {{{"source", 0}}};
  f.doc["images"] = {{{"uri", "maps/Hull%20Plate.png"}}};
  json shear = json::array();
  for (const auto& row : kShear) shear.insert(shear.end(), {row[0], row[1], row[2]});
  f.doc["nodes"] = {{{"name", "hull"}, {"mesh", 0}, {"children", {1}}},
                    {{"mesh", 1}, {"translation", {1, 2, 3}}, {"scale", {-1, 1, 1}}},
                    {{"name", "HardPoints"}, {"children", {3, 4, 5}}},
                    {{"name", "hp gun"}, {"matrix", {0, 0, -1, 0, 0, 1, 0, 0, 1, 0, 0, 0, 1, 2, 3, 1}}},
                    Trs(kShear, 0),
                    Trs(kShear, 3),
                    {{"name", "exhaust"}, {"extras", {{"sod_type", "emitter"}, {"sod_emitter_name", "glow"}}}},
                    {{"name", "hp_stray"}},
                    {{"name", "sprites"}, {"children", {9}}},
                    {{"name", "light"}, {"translation", {0, 1, 0}}}};
  f.doc["nodes"][4]["extras"] = f.doc["nodes"][5]["extras"] = {{"sod_rows", shear}};
  f.doc["scenes"] = {{{"nodes", {0, 2, 6, 7, 8}}}};
  return f;
}

// Where ReadText puts the file: a folder whose name is not ASCII.
std::filesystem::path ShipFolder(const TempDir& dir) { return dir.Path() / std::filesystem::u8path(u8"\u00fcber"); }

bool ReadText(const TempDir& dir, const json& text, const std::string& bin, host::SceneDocument* doc,
              std::string* error) {
  std::filesystem::create_directories(ShipFolder(dir));
  std::ofstream(ShipFolder(dir) / "ship.gltf", std::ios::binary) << text.dump();
  std::ofstream(ShipFolder(dir) / "ship.bin", std::ios::binary) << bin;
  return host::ReadGltfScene((ShipFolder(dir) / "ship.gltf").u16string(), doc, error);
}

// Bytes read from memory; no external file is found.
bool ReadBytes(const std::string& bytes, host::SceneDocument* doc, std::string* error) {
  return host::ReadGltfSceneFromMemory(reinterpret_cast<const uint8_t*>(bytes.data()), bytes.size(), u"no-such-folder",
                                       doc, error);
}

const HostContext& Context(host::SceneDocument& doc) { return *static_cast<const HostContext*>(doc.scene.Context()); }

// The faces of a polygon set as "a b c,a b c" (vertex indices).
std::string Faces(const HostContext& c, int set) {
  std::string out;
  for (int f = 0; f < c.polygonSets[set].faceCount; ++f) {
    const int32_t* v = c.polygonSets[set].faces[f].vertexIndices;
    out += (f > 0 ? "," : "") + std::to_string(v[0]) + " " + std::to_string(v[1]) + " " + std::to_string(v[2]);
  }
  return out;
}

void ExpectRows(const host::Marker& marker, const std::vector<float>& rows, float tolerance) {
  for (size_t i = 0; i < 12; ++i) EXPECT_NEAR(rows[i], marker.rows[i / 3][i % 3], tolerance) << marker.name << " " << i;
}

}  // namespace

TEST(GltfSceneReader, ReadsTheSceneAsTheHostHoldsIt) {
  TempDir dir;
  host::SceneDocument doc;
  std::string error;
  const Gltf file = ShipFile();
  ASSERT_TRUE(ReadText(dir, file.Text(), file.bin, &doc, &error)) << error;
  const HostContext& c = Context(doc);
  ASSERT_EQ(3, c.materialCount);  // "glass", used by no face, is kept: the export writes it
  EXPECT_STREQ("glass", c.materials[2].name.narrow);
  EXPECT_EQ(0, c.materials[2].useCount);
  EXPECT_STREQ("default", c.materials[0].name.narrow);
  EXPECT_EQ(1, c.materials[0].useCount);
  EXPECT_STREQ("steel", c.materials[1].name.narrow);
  EXPECT_EQ(4, c.materials[1].useCount);
  EXPECT_EQ(2.0f, c.materials[1].diffuse[0]);  // sod_diffuse, which clamps to the base colour
  EXPECT_EQ(0.2f, c.materials[1].ambient[1]);
  EXPECT_EQ(12.0f, c.materials[1].specularPower);
  const HostMap* map = c.materials[1].methods->FindMap(const_cast<HostMaterial*>(&c.materials[1]), 0);
  ASSERT_NE(nullptr, map);
  EXPECT_EQ((ShipFolder(dir) / "Hull Plate.tga").u16string(), std::u16string(map->path.wide));
  ASSERT_EQ(1u, doc.images.size());
  EXPECT_EQ("Hull Plate", doc.images[0].name);  // its file is missing: a warning
  ASSERT_EQ(2, doc.scene.PartCount());
  EXPECT_EQ(u"turret", doc.scene.PartName(1));
  ASSERT_EQ(11, c.vertexCount);
  EXPECT_TRUE(std::signbit(c.vertices[0].position[0]));  // copied untouched
  EXPECT_EQ((std::vector<float>{0, 2, 3}), std::vector<float>(c.vertices[8].position, c.vertices[8].position + 3));
  EXPECT_EQ("0 2 1,0 3 2,4 6 5,4 7 6", Faces(c, 0));
  EXPECT_EQ(1, c.polygonSets[0].faces[2].materialIndex);                   // the second "steel"
  EXPECT_EQ("8 9 10", Faces(c, 1));                                        // mirrored: the corners stay
  EXPECT_EQ(1.0f, c.polygonSets[0].faces[1].faceTexCoords->corners[1].v);  // vertex 3's TEXCOORD_0
  const host::MarkerLists& m = doc.markers;
  ASSERT_EQ(3u, m.hardpoints.size());  // hp_stray is none: a node is named hardpoints
  EXPECT_EQ("hp_gun", m.hardpoints[0].name);
  ExpectRows(m.hardpoints[0], {0, 0, 1, 0, 1, 0, -1, 0, 0, -1, 2, 3}, 0);
  EXPECT_EQ("hardpoint_4", m.hardpoints[1].name);
  ExpectRows(m.hardpoints[1], {1, 0, 0, 0.5f, 1, 0, 0, 0, 1, 4, 5, 6}, 0);  // sod_rows, the node unmoved
  EXPECT_EQ(1.0f, m.hardpoints[2].rows[3][0]);                              // moved: the node's transform
  ASSERT_EQ(1u, m.emitters.size());
  EXPECT_EQ("glow", m.emitters[0].emitterName);
  ASSERT_EQ(1u, m.sprites.size());
  ExpectRows(m.sprites[0], {1, 0, 0, 0, 1, 0, 0, 0, 1, 0, 1, 0}, 0);
  EXPECT_EQ(3u, doc.warnings.size()) << "lines, a blank in a name, a missing image";
}

TEST(GltfSceneReader, TrianglesStripsAndFansInTheHostsCornerOrder) {
  struct Row {
    int mode;
    std::vector<uint16_t> indices;
    double scaleX;
    const char* faces;
  } rows[] = {{4, {0, 1, 2, 1, 2}, 1, "0 2 1"},  // corners left over make no face
              {4, {0, 1, 2}, -1, "0 1 2"},       // a mirroring node turns the corners once more
              {5, {0, 1, 2, 3, 4}, 1, "0 2 1,2 3 1,2 4 3"},
              {5, {0, 1, 2, 2, 3, 4}, 1, "0 2 1,3 4 2"},  // a repeated corner restarts the strip
              {6, {0, 1, 2, 3}, 1, "1 0 2,2 0 3"}};
  for (const Row& row : rows) {
    Gltf f;
    const int points = f.Accessor<float>(std::vector<float>(15, 1.0f), kFloat, "VEC3");
    const int corners = f.Accessor(row.indices, kUshort, "SCALAR");
    f.doc["meshes"] = {
        {{"primitives", {{{"attributes", {{"POSITION", points}}}, {"indices", corners}, {"mode", row.mode}}}}}};
    f.doc["nodes"] = {{{"mesh", 0}, {"scale", {row.scaleX, 1, 1}}}};
    host::SceneDocument doc;
    std::string error;
    ASSERT_TRUE(ReadBytes(f.Glb(), &doc, &error)) << error;
    EXPECT_EQ(row.faces, Faces(Context(doc), 0)) << row.mode;
    EXPECT_EQ(u"mesh_0", doc.scene.PartName(0));
  }
}

TEST(GltfSceneReader, ReadsTheShipBlenderWrote) {
  host::SceneDocument doc;
  std::string error;
  const std::string path = std::string(KVELTAR_TEST_DATA) + "/gltf/blender_ship.glb";
  ASSERT_TRUE(host::ReadGltfScene(std::filesystem::u8path(path).u16string(), &doc, &error)) << error;
  const HostContext& c = Context(doc);
  ASSERT_EQ(2, c.polygonSetCount);
  EXPECT_EQ(12, c.polygonSets[0].faceCount);
  EXPECT_EQ(2, c.polygonSets[1].faceCount);
  ASSERT_EQ(3, c.materialCount);
  EXPECT_STREQ("hull", c.materials[1].name.narrow);
  EXPECT_STREQ("engine", c.materials[2].name.narrow);
  ASSERT_EQ(1u, doc.images.size());
  EXPECT_EQ("hull_plates", doc.images[0].name);
  EXPECT_EQ("image/png", doc.images[0].mimeType);
  EXPECT_EQ(0x89, doc.images[0].encoded.at(0));
  const host::MarkerLists& m = doc.markers;
  ASSERT_EQ(2u, m.hardpoints.size());
  EXPECT_EQ("hp_aft", m.hardpoints[0].name);  // turned about Blender's z, which is glTF's y
  ExpectRows(m.hardpoints[0], {0, 0, 1, 0, 1, 0, -1, 0, 0, 0, 0.5f, 2}, 1e-6f);
  EXPECT_EQ("hp_fore", m.hardpoints[1].name);
  ExpectRows(m.hardpoints[1], {1, 0, 0, 0, 1, 0, 0, 0, 1, 0, 0, -2}, 0);
  ASSERT_EQ(1u, m.emitters.size());
  EXPECT_EQ("exhaust", m.emitters[0].emitterName);
  ExpectRows(m.emitters[0], {1, 0, 0, 0, 1, 0, 0, 0, 1, 0, 0.2f, 2.5f}, 0);
}

using Row = std::pair<std::function<void(json&, std::string&)>, std::string>;

// The numbers the glTF library would narrow, to size_t or to int: each at 2^31, 2^32 and
// 2^32 + 12, refused with its path unless it fits.
void AddBoundaryRows(std::vector<Row>* table) {
  const auto add = [table](std::initializer_list<const char*> paths, uint64_t most) {
    for (const std::string path : paths) {
      std::string pointer = "/" + path;
      std::replace_if(
          pointer.begin(), pointer.end(), [](char c) { return c == '.' || c == '['; }, '/');
      pointer.erase(std::remove(pointer.begin(), pointer.end(), ']'), pointer.end());
      for (const uint64_t value : {1ull << 31, 1ull << 32, (1ull << 32) + 12}) {
        table->emplace_back(
            [pointer, value](json& d, std::string&) { d[json::json_pointer(pointer)] = value; },
            value <= most ? "" : path + " is " + std::to_string(value) + ", more than the " + std::to_string(most));
      }
    }
  };
  add({"accessors[0].count", "accessors[0].byteOffset", "bufferViews[0].byteOffset", "bufferViews[0].byteLength",
       "bufferViews[0].byteStride", "buffers[0].byteLength"},
      0xFFFFFFFF);
  add({"accessors[3].sparse.count", "meshes[0].primitives[0].attributes.POSITION", "meshes[0].primitives[0].indices",
       "meshes[0].primitives[0].material", "accessors[0].bufferView", "bufferViews[0].buffer", "textures[0].source",
       "materials[0].pbrMetallicRoughness.baseColorTexture.index", "nodes[0].mesh", "nodes[0].children[0]",
       "scenes[0].nodes[0]"},
      0x7FFFFFFF);
}

TEST(GltfSceneReader, HostileFilesAreRefusedWithAReason) {
  const Gltf ship = ShipFile();
  json deep = 0;
  for (int i = 0; i < 100; ++i) deep = json::array({deep});
  std::vector<Row> rows = {
      {[](json& d, std::string&) { d["accessors"][0]["count"] = 5; },
       "accessor 0 reaches past the end of buffer view 0"},
      {[](json& d, std::string&) { d["bufferViews"][1]["byteLength"] = 1000; }, "buffer view 1 lies outside buffer 0"},
      {[](json& d, std::string& b) { b[d["bufferViews"][2]["byteOffset"].get<size_t>() + 2] = 9; },
       "index 9 is past its 4"},
      {[](json& d, std::string&) { d["accessors"][3]["count"] = 1ull << 62; },
       "accessors[3].count is 4611686018427387904, more than the 4294967295 the reader takes here"},
      {[](json& d, std::string&) { d["accessors"][3]["count"] = 1u << 21; }, "2097152 elements, more than the"},
      {[](json& d, std::string&) { d["buffers"][0]["uri"] = "gone.bin"; }, "gone.bin"},
      {[](json& d, std::string&) { d["nodes"][1]["children"] = {0}; }, "node 0 is reached twice"},
      {[](json& d, std::string&) { d["scenes"][0]["nodes"].push_back(3); }, "node 3 is reached twice"},
      {[](json& d, std::string&) { d["scenes"][0]["nodes"][0] = 99; }, "node 99 does not exist"},
      {[](json& d, std::string&) { d["scene"] = 3; }, "scene 3 does not exist"},
      {[](json& d, std::string&) { d["nodes"][0]["mesh"] = 9; }, "mesh 9"},
      {[](json& d, std::string&) { d["meshes"][0]["primitives"][0]["material"] = 9; }, "material 9"},
      {[](json& d, std::string&) { d["meshes"][0]["primitives"][0]["attributes"]["POSITION"] = 99; }, "accessor 99"},
      {[](json& d, std::string&) { d["materials"][0]["pbrMetallicRoughness"]["baseColorTexture"]["index"] = 9; },
       "texture 9"},
      {[](json& d, std::string&) { d["textures"][0]["source"] = 9; }, "image 9"},
      {[](json& d, std::string&) { d["bufferViews"][0]["buffer"] = 9; }, "names buffer 9"},
      {[](json& d, std::string&) { d["accessors"][3]["sparse"]["count"] = 50; }, "50 sparse values"},
      {[](json& d, std::string&) { d["accessors"][3]["sparse"]["values"]["byteOffset"] = 40; },
       "sparse indices or values"},
      {[](json& d, std::string&) {
         d["images"][0] = {{"bufferView", 0}, {"mimeType", "image/png"}}, d["bufferViews"][0]["byteOffset"] = 1u << 20;
       },
       "image 0 lies outside buffer 0"},
      {[&deep](json& d, std::string&) { d["nodes"][0]["extras"] = deep; }, "nested deeper"},
      {[](json& d, std::string&) { d["accessors"][0]["componentType"] = kUshort; }, "positions are not float VEC3"},
      {[](json& d, std::string&) { d["bufferViews"][0]["byteStride"] = 4; }, "longer than its stride"},
      {[](json& d, std::string&) { d["accessors"][1]["count"] = 3; }, "differ in count"},
      {[](json& d, std::string&) {
         d["nodes"][0]["matrix"] = {1, 2, 3};
       },
       "matrix"},
      {[](json& d, std::string&) { d["meshes"][0]["primitives"][0]["mode"] = 9; }, "mode 9"},
      {[](json& d, std::string&) { d["extensionsRequired"] = {"KHR_draco_mesh_compression"}; }, "requires extension"}};
  AddBoundaryRows(&rows);
  TempDir dir;
  for (size_t r = 0; r < rows.size(); ++r) {
    json text = ship.Text();
    std::string bin = ship.bin;
    rows[r].first(text, bin);
    host::SceneDocument doc;
    std::string error;
    EXPECT_FALSE(ReadText(dir, text, bin, &doc, &error)) << rows[r].second;
    EXPECT_EQ(0u, error.find((ShipFolder(dir) / "ship.gltf").u8string() + ": ")) << error;
    EXPECT_NE(std::string::npos, error.find(rows[r].second)) << error;
#ifdef KVELTAR_GLTF_WRITTEN  // for the module tests (tests/web), which compare its verdicts with the native host's
    const std::filesystem::path kept = std::filesystem::path(KVELTAR_GLTF_WRITTEN) / "hostile" / std::to_string(r);
    std::filesystem::create_directories(kept);
    std::filesystem::copy(ShipFolder(dir), kept,
                          std::filesystem::copy_options::overwrite_existing | std::filesystem::copy_options::recursive);
#endif
  }
}

TEST(GltfSceneReader, DamagedAndFuzzedBytesAreRefusedCleanly) {
  std::vector<std::string> inputs = {"hello", "{\"asset\":{\"version\":\"2.0\"},\"nodes\":[{\"mesh\""};
  const std::string glb = ShipFile().Glb();
  for (size_t cut = 0; cut < glb.size(); cut += 7) inputs.push_back(glb.substr(0, cut));
  std::string longBin = glb;
  longBin[glb.size() - ShipFile().bin.size() - 8] += 8;  // the BIN chunk reaches past the file
  inputs.push_back(longBin);
  for (const std::string& input : inputs) {
    host::SceneDocument doc;
    std::string error;
    EXPECT_FALSE(ReadBytes(input, &doc, &error));
    EXPECT_FALSE(error.empty()) << input.size();
  }
  const std::filesystem::path corpus = std::filesystem::path(KVELTAR_FUZZ_CORPUS) / "gltf_reader_fuzz";
  for (const auto& entry : std::filesystem::directory_iterator(corpus)) {
    std::ifstream in(entry.path(), std::ios::binary);
    const std::string input((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
    host::SceneDocument doc;
    std::string error;
    EXPECT_TRUE(ReadBytes(input, &doc, &error) || !error.empty()) << entry.path().filename();
  }
}
