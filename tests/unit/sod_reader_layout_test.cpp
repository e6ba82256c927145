// Reading the SOD layout: header checks, every version's mesh body, node kinds and
// hardpoints, strings, the parts of the file the reader ignores, and derived data.
#include <gtest/gtest.h>

#include <cmath>
#include <cstring>
#include <string>
#include <vector>

#include "support/sod_builder.h"
#include "support/sod_parse.h"

using namespace sodtest;

namespace {

// A model parsed from bytes, freed at the end of the test.
struct Parsed {
  ImportedModel model = {};
  int32_t result = -1;
  explicit Parsed(const std::string& bytes) { result = ParseBytes(bytes, &model); }
  ~Parsed() { FreeImportedModel(&model); }
  const NodeRecord& Node(int i) const { return model.nodes[i]; }
};

std::string Narrow(const char16_t* text) {
  std::string out;
  for (; *text != 0; ++text) out += static_cast<char>(*text);
  return out;
}

// A file of one version whose mesh carries every texture field, followed by an emitter
// so that a misread body shows.
SodFileSpec TextureFile(uint32_t bits, uint16_t mode1, uint16_t mode2, const std::string& texture,
                        const std::string& second) {
  SodFileSpec s;
  s.versionBits = bits;
  SodMaterialSpec m2 = Material("m2");
  m2.diffuse = {0.25f, 0.5f, 0.75f};
  m2.modeByte = 0xEE;
  m2.secondModeByte = 0xDD;
  s.materials = {Material("m1"), m2};
  s.nodes.push_back(NullNode("root"));
  SodNodeSpec mesh = MeshNode("body", {"m1", "m2"}, texture, "root");
  mesh.mesh.style = "opaque";
  mesh.mesh.secondTexture = second;
  mesh.mesh.extraName = "extra";
  mesh.mesh.modeWord1 = mode1;
  mesh.mesh.modeWord2 = mode2;
  mesh.mesh.modeSpare1 = mesh.mesh.modeSpare2 = 0xFFFF;
  mesh.mesh.spare192 = 0x1234;
  mesh.mesh.extraSpares = {0xAAAA, 0xBBBB};
  mesh.mesh.spareWords = {1, 2, 3, 4};
  mesh.mesh.vertices = {{1.5f, -2, 3}, {4, 5, 6}, {7, 8, 9.25f}};
  mesh.mesh.texCoords = {{0.5f, 0.25f}, {1, 2}};
  mesh.mesh.endByte = 9;
  mesh.mesh.endWord = 0x7777;
  s.nodes.push_back(mesh);
  s.nodes.push_back(EmitterNode("e1", "flame", "root"));
  return s;
}

}  // namespace

TEST(SodReaderLayout, EveryVersionWithItsTextureRules) {
  struct Case {
    uint32_t bits;
    uint16_t mode1, mode2;
    std::string texture, second;
    std::string expectTexture, expectSecond;
  };
  const Case cases[] = {
      {kV16, 4, 1, "hull", "glow", "", ""},
      {kV17, 4, 1, "hull", "glow", "hull.tga", ""},
      {kV18, 4, 1, "hull", "glow", "hull.tga", ""},
      {kV18, 4, 1, "", "glow", "NULL", ""},
      {kV19, 4, 1, "hull", "glow", "hull.tga", ""},
      {kV191, 4, 1, "hull", "glow", "hull.tga", ""},
      {kV192, 4, 1, "hull", "glow", "hull.tga", "glow.tga"},
      {kV192, 4, 1, "", "", "NULL", "NULL"},
      {kV193, 4, 1, "hull", "glow", "hull.tga", ""},
      {kV193, 6, 2, "hull", "glow", "hull.tga", "glow.tga"},
      {kV193, 6, 2, "", "", "NULL", "NULL"},
      {kV193, 6, 1, "hull", "glow", "hull.tga", ""},
      {kV193, 2, 6, "hull", "glow", "hull.tga", ""},
      {kV193, 0, 2, "hull", "glow", "hull.tga", ""},
      {kV18, 4, 1, std::string(127, 't'), "", std::string(127, 't') + ".tga", ""},
      {kV192, 4, 1, std::string(200, 't'), "w", std::string(127, 't') + ".tga", "w.tga"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(testing::Message() << std::hex << c.bits << " modes " << c.mode1 << "," << c.mode2 << " "
                                    << c.texture.size());
    Parsed p(BuildSod(TextureFile(c.bits, c.mode1, c.mode2, c.texture, c.second)));
    ASSERT_EQ(1, p.result);
    EXPECT_EQ(c.bits, BitsOfFloat(p.model.version));
    EXPECT_EQ(2, p.model.materialSectionCount);
    ASSERT_EQ(3, p.model.nodeCount);
    const NodeRecord& mesh = p.Node(1);
    EXPECT_EQ(c.expectTexture, Narrow(mesh.texture));
    EXPECT_EQ(c.expectSecond, Narrow(mesh.secondTexture));
    ASSERT_EQ(3u, mesh.vertexCount);
    EXPECT_EQ(1.5f, mesh.vertices[0]);
    EXPECT_EQ(9.25f, mesh.vertices[8]);
    ASSERT_EQ(2u, mesh.texCoordCount);
    EXPECT_EQ(0.25f, mesh.texCoords[1]);
    EXPECT_EQ(2.0f, mesh.texCoords[3]);
    ASSERT_EQ(2u, mesh.groupCount);
    EXPECT_STREQ("m2", mesh.groups[1].materialName);
    ASSERT_NE(nullptr, p.model.emitters);
    EXPECT_STREQ("e1", p.model.emitters[0].name);
    EXPECT_STREQ("flame", p.model.emitters[0].emitterName);
    const MaterialRecord* m2 = p.model.materials;  // newest first: m2, m1
    ASSERT_STREQ("m2", m2->name);
    EXPECT_EQ(0.75f, m2->diffuse[2]);
    EXPECT_EQ(1.0f, m2->diffuse[3]);
  }
}

TEST(SodReaderLayout, PrefixTableOfVersion16IsSkippedInBothPasses) {
  SodFileSpec s = TextureFile(kV16, 4, 1, "hull", "");
  s.prefix = {SodPrefixEntry{"first", std::string(300, 's'), 1, 2, 3, 4}, SodPrefixEntry{"", "", 0xFFFF, 0, 0, 0xFF},
              SodPrefixEntry{"third", "x", 7, 7, 7, 7}};
  Parsed p(BuildSod(s));
  ASSERT_EQ(1, p.result);
  EXPECT_EQ(3, p.model.nodeCount);
  EXPECT_EQ(2, p.model.materialCount);
  EXPECT_STREQ("flame", p.model.emitters[0].emitterName);
  // A prefix table that claims one entry more than it has runs into the materials and fails.
  s.prefixCount = 4;
  Parsed q(BuildSod(s));
  EXPECT_EQ(0, q.result);
}

TEST(SodReaderLayout, HeaderIdentifiersVersionsAndMessages) {
  struct Case {
    std::string identifier;  // the 10 raw bytes, or fewer
    int versionBytes;        // 0 to 4 bytes of the version
    uint32_t bits;
    int32_t result;
    std::u16string message;
  };
  const std::u16string noHeader = u"SOD file header ID, Storm3D_SW, not found.\n";
  const Case cases[] = {
      {"Storm3D_SW", 4, kV18, 1, u""},
      {"STORM3D_SW", 4, kV193, 1, u""},
      {"storm3d_sw", 4, kV16, 1, u""},
      {std::string("Mad3D_SW\0\0", 10), 4, kV17, 1, u""},
      {std::string("MAD3D_sw\0\0", 10), 4, kV19, 1, u""},
      {std::string("mad3d_sw\0Z", 10), 4, kV191, 1, u""},
      {"Mad3D_SWxx", 4, kV18, 0, noHeader},
      {std::string("Storm3D_S\0", 10), 4, kV18, 0, noHeader},
      {std::string("\0torm3D_SW", 10), 4, kV18, 0, noHeader},
      {"Storm3D_SX", 0, 0, 0, noHeader},
      {"StarTrekDB", 4, kV193, 0, u"SOD file header ID, StarTrekDB, version 1.93, not supported.\n"},
      {"STARTREKDB", 4, kV20, 0, u"SOD file header ID, StarTrekDB, version 2.00, not supported.\n"},
      {"StarTrekDB", 0, 0, 0, u""},
      {"Storm3D_SW", 4, kV20, 0, u"SOD file version not supported: 2.00\n"},
      {"Storm3D_SW", 4, kV18 + 1, 0, u"SOD file version not supported: 1.80\n"},
      {"Storm3D_SW", 4, 0x3FF9999A, 0, u"SOD file version not supported: 1.95\n"},
      {"Storm3D_SW", 4, 0xBFCCCCCD, 0, u"SOD file version not supported: -1.60\n"},
      {std::string("Mad3D_SW\0\0", 10), 4, 0, 0, u"SOD file version not supported: 0.00\n"},
      {"Storm3D_SW", 0, 0, 0, u""},
      {"Storm3D_SW", 3, kV18, 0, u""},
      {"Storm3D_S", 0, 0, 0, u""},
      {"", 0, 0, 0, u""},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.identifier + " " + std::to_string(c.bits));
    std::string bytes = c.identifier;
    std::string version = ByteWriter().U32(c.bits).Bytes();
    bytes += version.substr(0, static_cast<size_t>(c.versionBytes));
    if (c.versionBytes == 4) {
      SodFileSpec body;
      body.versionBits = kV18;
      body.nodes.push_back(NullNode("root"));
      bytes += BuildSod(body).substr(14);  // a material and node section that fits every version but 1.6
      if (c.bits == kV16) bytes.insert(14, std::string(2, '\0'));  // an empty prefix table
    }
    host::HostScene scene;
    ImportedModel model = {};
    EXPECT_EQ(c.result, ParseBytes(bytes, &model, ContextOf(scene)));
    EXPECT_EQ(c.message, scene.ErrorTextWide());
    EXPECT_EQ(std::string(c.message.begin(), c.message.end()), scene.ErrorTextNarrow());
    if (c.result == 1) {
      EXPECT_EQ(c.bits, BitsOfFloat(model.version));
      EXPECT_EQ(1, model.nodeCount);
    } else {
      EXPECT_TRUE(ModelIsEmpty(model));
    }
    FreeImportedModel(&model);
  }
}

TEST(SodReaderLayout, NoNodesIsRefusedWithAMessage) {
  for (uint32_t bits : kAllVersions) {
    SodFileSpec s;
    s.versionBits = bits;
    s.materials = {Material("a")};
    host::HostScene scene;
    ImportedModel model = {};
    EXPECT_EQ(0, ParseBytes(BuildSod(s), &model, ContextOf(scene)));
    EXPECT_EQ(u"No SOD nodes found.", scene.ErrorTextWide());
    EXPECT_EQ("No SOD nodes found.", scene.ErrorTextNarrow());
    EXPECT_TRUE(ModelIsEmpty(model));
  }
}

TEST(SodReaderLayout, NodeKindsAreCountedAndUnknownKindsHaveNoBody) {
  SodFileSpec s;
  s.nodes = {NullNode("a"), MeshNode("b", {"m"}), NodeOfKind(7, "c"), NodeOfKind(3, "d")};
  s.nodes[2].transform.t = {7, 8, 9};
  Parsed p(BuildSod(s));
  ASSERT_EQ(1, p.result);
  EXPECT_EQ(4, p.model.nodeCount);
  EXPECT_EQ(4, p.model.nodesFilled);
  EXPECT_EQ(1, p.model.nullNodeCount);
  EXPECT_EQ(1, p.model.meshNodeCount);
  EXPECT_EQ(1, p.model.spriteCount);
  EXPECT_EQ(0, p.model.lodNodeCount);
  EXPECT_EQ(0, p.model.emitterCount);
  EXPECT_EQ(7u, p.Node(2).kind);
  EXPECT_EQ(9.0f, p.Node(2).transform.m[3][2]);
  EXPECT_STREQ("d", p.Node(3).name);
  EXPECT_STREQ("d", p.model.sprites[0].name);
  EXPECT_EQ(nullptr, p.model.emitters);
  EXPECT_EQ(nullptr, p.model.hardpoints);

  SodFileSpec kinds;
  kinds.nodes = {NodeOfKind(11, "lod"), NodeOfKind(5, "five"),  NodeOfKind(0xFFFF, "top"),
                 EmitterNode("e", "x"), NodeOfKind(11, "lod2"), NodeOfKind(2, "two")};
  Parsed q(BuildSod(kinds));
  ASSERT_EQ(1, q.result);
  EXPECT_EQ(6, q.model.nodeCount);
  EXPECT_EQ(2, q.model.lodNodeCount);
  EXPECT_EQ(1, q.model.emitterCount);
  EXPECT_EQ(0, q.model.nullNodeCount + q.model.meshNodeCount + q.model.spriteCount);
  EXPECT_EQ(0xFFFFu, q.Node(2).kind);
  EXPECT_STREQ("two", q.Node(5).name);
}

TEST(SodReaderLayout, HardpointsAreNamedHpOnAnyKind) {
  SodFileSpec s;
  s.nodes = {NullNode("hp01"),
             MeshNode("HPmesh", {"m"}),
             NodeOfKind(3, "Hp"),
             NullNode("h"),
             EmitterNode("hP_e", "x"),
             NullNode("xhp"),
             NullNode(std::string("h\0p", 3)),
             NullNode(""),
             NodeOfKind(7, "hp_unknown"),
             NodeOfKind(11, "HP")};
  const char* expected[] = {"hp01", "HPmesh", "Hp", "hP_e", "hp_unknown", "HP"};
  for (size_t i = 0; i < s.nodes.size(); ++i) s.nodes[i].transform.t = {static_cast<float>(i), 0, -1};
  Parsed p(BuildSod(s));
  ASSERT_EQ(1, p.result);
  ASSERT_EQ(6, p.model.hardpointCount);
  EXPECT_EQ(6, p.model.hardpointsFilled);
  EXPECT_EQ(1, p.model.meshNodeCount);  // the HP mesh is counted as a mesh and as a hardpoint
  EXPECT_EQ(1, p.model.emitterCount);
  EXPECT_EQ(1, p.model.spriteCount);
  const float x[] = {0, 1, 2, 4, 8, 9};
  for (int i = 0; i < 6; ++i) {
    EXPECT_STREQ(expected[i], p.model.hardpoints[i].name);
    EXPECT_EQ(x[i], p.model.hardpoints[i].position[0]);
    EXPECT_EQ(-1.0f, p.model.hardpoints[i].position[2]);
  }
  EXPECT_STREQ("h", p.Node(6).name);
}

TEST(SodReaderLayout, LongStringsKeep127BytesAndTheNextFieldFollowsTheWholeString) {
  SodFileSpec s;
  s.materials = {Material(std::string(200, 'M'))};
  SodNodeSpec node = NullNode(std::string(200, 'n'), std::string(300, 'p'));
  node.transform.t = {1, 2, 3};
  s.nodes = {node, EmitterNode(std::string("em\0itter", 8), std::string(250, 'e'))};
  Parsed p(BuildSod(s));
  ASSERT_EQ(1, p.result);
  EXPECT_EQ(std::string(127, 'M'), p.model.materials->name);
  EXPECT_EQ(std::string(127, 'n'), p.Node(0).name);
  EXPECT_EQ(3.0f, p.Node(0).transform.m[3][2]);
  EXPECT_STREQ("em", p.model.emitters[0].name);
  EXPECT_EQ(std::string(127, 'e'), p.model.emitters[0].emitterName);
}

TEST(SodReaderLayout, WhatFollowsTheNodesIsIgnored) {
  SodFileSpec s = RichSodSpec(kV193);
  const std::string trailing[] = {"", std::string(1, '\0'), std::string(1000, '\xFF'), "not a sod section"};
  for (bool endSection : {true, false}) {
    for (const std::string& t : trailing) {
      s.endSection = endSection;
      s.trailing = t;
      Parsed p(BuildSod(s));
      ASSERT_EQ(1, p.result) << endSection << " " << t.size();
      EXPECT_EQ(7, p.model.nodeCount);
    }
  }
}

TEST(SodReaderLayout, FacesKeepTheirCornersAndWidenTheIndices) {
  SodFileSpec s;
  SodNodeSpec mesh = MeshNode("m", {});
  SodFace face;
  face.v[0] = 1, face.v[1] = 0xFFFF, face.v[2] = 2;
  face.t[0] = 0x8000, face.t[1] = 3, face.t[2] = 4;
  mesh.mesh.groups = {SodGroupSpec{"a", {face, SodFace()}, std::nullopt}, SodGroupSpec{"b", {}, std::nullopt}};
  s.nodes = {mesh};
  Parsed p(BuildSod(s));
  ASSERT_EQ(1, p.result);
  const FaceGroup& g = p.Node(0).groups[0];
  ASSERT_EQ(2u, g.faceCount);
  const uint32_t expected[6] = {1, 0xFFFF, 2, 0x8000, 3, 4};
  for (int i = 0; i < 6; ++i) EXPECT_EQ(expected[i], g.faces[i]) << i;
  EXPECT_EQ(0u, g.faces[11]);
  EXPECT_EQ(0u, p.Node(0).groups[1].faceCount);
  EXPECT_EQ(nullptr, p.Node(0).groups[1].faces);
}

TEST(SodReaderLayout, WorldVerticesAndMarkerPositions) {
  SodFileSpec s;
  SodNodeSpec moved = MeshNode("moved", {"m"});
  moved.transform.t = {1, 2, 3};
  moved.mesh.vertices = {{0, 0, 0}, {1, 1, 1}};
  SodNodeSpec turned = MeshNode("turned", {"m"}, "hull", "moved");  // the parent's transform is not applied
  turned.transform = {{0, 1, 0}, {-1, 0, 0}, {0, 0, 2}, {10, 20, 30}};
  turned.mesh.vertices = {{1, 2, 3}};
  SodNodeSpec hardpoint = NullNode("hp_a");
  hardpoint.transform.t = {1, 2, 3};
  SodNodeSpec sprite = NodeOfKind(3, "s");
  sprite.transform.t = {-4, 5.5f, 0};
  SodNodeSpec emitter = EmitterNode("hp_emitter", "smoke");
  emitter.transform = {{2, 0, 0}, {0, 2, 0}, {0, 0, 2}, {7, 8, 9}};
  s.nodes = {moved, turned, hardpoint, sprite, emitter};
  Parsed p(BuildSod(s));
  ASSERT_EQ(1, p.result);
  const float* w = p.Node(0).worldVertices;
  EXPECT_EQ(1.0f, w[0]);
  EXPECT_EQ(2.0f, w[1]);
  EXPECT_EQ(3.0f, w[2]);
  EXPECT_EQ(2.0f, w[3]);
  EXPECT_EQ(4.0f, w[5]);
  EXPECT_EQ(0.0f, p.Node(0).vertices[0]);  // the own-space vertices stay as stored
  const float* t = p.Node(1).worldVertices;
  EXPECT_EQ(8.0f, t[0]);
  EXPECT_EQ(21.0f, t[1]);
  EXPECT_EQ(36.0f, t[2]);
  const Matrix4& m = p.Node(1).transform;
  const float rows[4][4] = {{0, 1, 0, 0}, {-1, 0, 0, 0}, {0, 0, 2, 0}, {10, 20, 30, 1}};
  EXPECT_EQ(0, std::memcmp(rows, m.m, sizeof rows));
  ASSERT_EQ(2, p.model.hardpointCount);
  EXPECT_EQ(1.0f, p.model.hardpoints[0].position[0]);
  EXPECT_EQ(3.0f, p.model.hardpoints[0].position[2]);
  EXPECT_EQ(9.0f, p.model.hardpoints[1].position[2]);
  EXPECT_EQ(5.5f, p.model.sprites[0].position[1]);
  EXPECT_EQ(7.0f, p.model.emitters[0].position[0]);
  EXPECT_EQ(2.0f, p.model.emitters[0].transform.m[1][1]);
  EXPECT_STREQ("smoke", p.model.emitters[0].emitterName);
}

TEST(SodReaderLayout, RichFilesOfEveryVersionAndIdentifier) {
  for (uint32_t bits : kAllVersions) {
    for (const char* identifier : {"Storm3D_SW", "Mad3D_SW"}) {
      SodFileSpec s = RichSodSpec(bits);
      s.identifier = identifier;
      Parsed p(BuildSod(s));
      ASSERT_EQ(1, p.result) << std::hex << bits << identifier;
      EXPECT_EQ(7, p.model.nodeCount);
      EXPECT_EQ(2, p.model.nullNodeCount);  // the root and the hardpoint
      EXPECT_EQ(1, p.model.hardpointCount);
      EXPECT_EQ(3, p.model.materialCount);  // hull, glow and the undefined one
      EXPECT_STREQ("exhaust", p.model.emitters[0].emitterName);
      EXPECT_EQ(2.0f, p.Node(1).worldVertices[1]);
    }
  }
}
