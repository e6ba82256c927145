// Materials of a read: the section's entries, defaults for names the section lacks,
// the list order and positions, textures from the meshes; and the indexed binding
// held against the literal three sweeps.
#include <gtest/gtest.h>

#include <cmath>
#include <cstring>
#include <limits>
#include <random>
#include <string>
#include <vector>

#include "support/sod_builder.h"
#include "support/sod_literal_binding.h"
#include "support/sod_parse.h"

using namespace sodtest;

namespace {

struct Parsed {
  ImportedModel model = {};
  int32_t result = -1;
  explicit Parsed(const std::string& bytes) { result = ParseBytes(bytes, &model); }
  ~Parsed() { FreeImportedModel(&model); }
  std::vector<const MaterialRecord*> List() const {
    std::vector<const MaterialRecord*> list;
    for (const MaterialRecord* r = model.materials; r != nullptr; r = r->next) list.push_back(r);
    return list;
  }
};

std::string Narrow(const char16_t* text) {
  std::string out;
  for (; *text != 0; ++text) out += static_cast<char>(*text);
  return out;
}

// Parses with every stage of the reader but binds with the literal sweeps.
int32_t ParseWithLiteralBinding(const std::string& bytes, ImportedModel* model) {
  std::vector<uint8_t> data(bytes.begin(), bytes.end());
  ByteCursor cursor = {data.data(), 0, static_cast<uint32_t>(data.size())};
  if (!ReadSodHeader(&cursor, BlankContext(), model)) return 0;
  const uint32_t afterHeader = cursor.position;
  if (!CountPass(&cursor, model) || !AllocateModelArrays(model)) return 0;
  cursor.position = afterHeader;
  if (!FillPass(&cursor, model) || !DeriveModelData(model)) return 0;
  return LiteralBindMaterials(model);
}

void ExpectSameBinding(const ImportedModel& a, const ImportedModel& b) {
  ASSERT_EQ(a.materialCount, b.materialCount);
  const MaterialRecord* x = a.materials;
  const MaterialRecord* y = b.materials;
  for (int position = 0; x != nullptr && y != nullptr; x = x->next, y = y->next, ++position) {
    ASSERT_STREQ(x->name, y->name) << position;
    EXPECT_EQ(0, std::memcmp(x->ambient, y->ambient, sizeof x->ambient + sizeof x->diffuse + sizeof x->specular));
    EXPECT_EQ(BitsOfFloat(x->specularPower), BitsOfFloat(y->specularPower)) << x->name;
    EXPECT_EQ(0, std::memcmp(x->texture, y->texture, sizeof x->texture)) << x->name;
    EXPECT_EQ(0, std::memcmp(x->secondTexture, y->secondTexture, sizeof x->secondTexture)) << x->name;
  }
  EXPECT_EQ(x, nullptr);
  EXPECT_EQ(y, nullptr);
  ASSERT_EQ(a.nodeCount, b.nodeCount);
  for (int32_t n = 0; n < a.nodeCount; ++n) {
    ASSERT_EQ(a.nodes[n].groupCount, b.nodes[n].groupCount);
    for (uint32_t g = 0; g < a.nodes[n].groupCount; ++g) {
      EXPECT_EQ(a.nodes[n].groups[g].materialIndex, b.nodes[n].groups[g].materialIndex) << n << "/" << g;
    }
  }
}

// A random file: a section drawn from a pool of names (with repeats), mesh nodes whose
// groups name materials from a larger pool, textures sometimes empty, other nodes between.
SodFileSpec RandomMaterialFile(std::mt19937& random) {
  const char* pool[] = {"hull", "Hull", "glow", "a", "b", "", "c d", "long_material_name", "x", "y", "z", "w"};
  auto pick = [&](int n) { return std::string(pool[random() % static_cast<unsigned>(n)]); };
  SodFileSpec s;
  s.versionBits = kAllVersions[random() % 7];
  const int materials = static_cast<int>(random() % 8);
  for (int i = 0; i < materials; ++i) {
    SodMaterialSpec m = Material(pick(8));
    m.diffuse = {static_cast<float>(i), 0.5f, 0.25f};
    m.power = static_cast<float>(static_cast<int>(random() % 300) - 50);
    s.materials.push_back(m);
  }
  const int nodes = 1 + static_cast<int>(random() % 8);
  for (int i = 0; i < nodes; ++i) {
    if (random() % 3 == 0) {
      s.nodes.push_back(NullNode("n" + std::to_string(i)));
      continue;
    }
    std::vector<std::string> groups;
    const int count = static_cast<int>(random() % 5);
    for (int g = 0; g < count; ++g) groups.push_back(pick(12));
    const std::string texture = random() % 4 == 0 ? "" : "tex" + std::to_string(i);
    SodNodeSpec mesh = MeshNode("mesh" + std::to_string(i), groups, texture);
    mesh.mesh.secondTexture = random() % 2 ? "" : "second" + std::to_string(i);
    mesh.mesh.modeWord1 = 6;
    mesh.mesh.modeWord2 = 2;
    s.nodes.push_back(mesh);
  }
  return s;
}

}  // namespace

TEST(SodReaderMaterials, SectionEntriesKeepTheirColoursAndARepeatedNameKeepsTheFirst) {
  SodFileSpec s;
  SodMaterialSpec first = Material("dup");
  first.ambient = {0.5f, 0.25f, 0.125f};
  first.specular = {1, 0, 1};
  first.power = 12.5f;
  SodMaterialSpec second = Material("dup");
  second.ambient = {9, 9, 9};
  second.power = 99;
  s.materials = {first, Material("other"), second};
  s.nodes = {NullNode("root")};
  Parsed p(BuildSod(s));
  ASSERT_EQ(1, p.result);
  EXPECT_EQ(3, p.model.materialSectionCount);
  ASSERT_EQ(2, p.model.materialCount);
  const MaterialRecord* dup = p.List()[1];
  ASSERT_STREQ("dup", dup->name);
  const float ambient[4] = {0.5f, 0.25f, 0.125f, 1};
  const float specular[4] = {1, 0, 1, 1};
  EXPECT_EQ(0, std::memcmp(ambient, dup->ambient, sizeof ambient));
  EXPECT_EQ(0, std::memcmp(specular, dup->specular, sizeof specular));
  EXPECT_EQ(12.5f, dup->specularPower);
  EXPECT_EQ(0, dup->texture[0]);  // no group uses it
}

TEST(SodReaderMaterials, MissingMaterialsGetDefaultsInFrontInTheOrderTheyAreMet) {
  SodFileSpec s;
  s.nodes = {MeshNode("mesh", {"A", "B"})};
  Parsed p(BuildSod(s));
  ASSERT_EQ(1, p.result);
  EXPECT_EQ(0, p.model.materialSectionCount);
  ASSERT_EQ(2, p.model.materialCount);
  EXPECT_STREQ("B", p.List()[0]->name);
  EXPECT_STREQ("A", p.List()[1]->name);
  EXPECT_EQ(1, p.model.nodes[0].groups[0].materialIndex);
  EXPECT_EQ(0, p.model.nodes[0].groups[1].materialIndex);
  const MaterialRecord* b = p.List()[0];
  const float defaults[3][4] = {{0, 0, 0, 1}, {1, 1, 1, 1}, {0, 0, 0, 1}};
  EXPECT_EQ(0, std::memcmp(defaults[0], b->ambient, 16));
  EXPECT_EQ(0, std::memcmp(defaults[1], b->diffuse, 16));
  EXPECT_EQ(0, std::memcmp(defaults[2], b->specular, 16));
  EXPECT_EQ(128.0f, b->specularPower);
  EXPECT_EQ("hull.tga", Narrow(b->texture));

  SodFileSpec mixed;
  mixed.materials = {Material("S1"), Material("S2")};
  mixed.nodes = {NullNode("root"), MeshNode("m1", {"S1", "X", "s1"}), MeshNode("m2", {"X", "S2", "Y"})};
  Parsed q(BuildSod(mixed));
  ASSERT_EQ(1, q.result);
  std::vector<std::string> names;
  for (const MaterialRecord* r : q.List()) names.push_back(r->name);
  EXPECT_EQ((std::vector<std::string>{"Y", "s1", "X", "S2", "S1"}), names);  // names differ by case
  const int expected[2][3] = {{4, 2, 1}, {2, 3, 0}};
  for (int n = 0; n < 2; ++n) {
    for (int g = 0; g < 3; ++g) EXPECT_EQ(expected[n][g], q.model.nodes[n + 1].groups[g].materialIndex);
  }
}

TEST(SodReaderMaterials, SpecularPowerIsClampedTo0Through128) {
  const float nan = std::numeric_limits<float>::quiet_NaN();
  const float inf = std::numeric_limits<float>::infinity();
  const struct {
    float stored, kept;
  } cases[] = {{-5, 0},       {-0.0f, -0.0f}, {0, 0},    {64.5f, 64.5f}, {128, 128},
               {128.5f, 128}, {500, 128},     {-inf, 0}, {inf, 128},     {nan, 0}};
  for (const auto& c : cases) {
    SodFileSpec s;
    SodMaterialSpec m = Material("m");
    m.power = c.stored;
    s.materials = {m};
    s.nodes = {NullNode("root")};
    Parsed p(BuildSod(s));
    ASSERT_EQ(1, p.result);
    EXPECT_EQ(BitsOfFloat(c.kept), BitsOfFloat(p.model.materials->specularPower)) << c.stored;
  }
}

TEST(SodReaderMaterials, TexturesComeFromTheLastMeshThatUsesTheMaterial) {
  SodFileSpec s;
  s.versionBits = kV192;
  s.materials = {Material("shared"), Material("unused"), Material("own")};
  SodNodeSpec first = MeshNode("first", {"shared", "own"}, "one");
  first.mesh.secondTexture = "one_glow";
  SodNodeSpec second = MeshNode("second", {"shared", "shared"}, "two");
  SodNodeSpec third = MeshNode("third", {"missing"}, "three");
  SodNodeSpec fourth = MeshNode("fourth", {"missing"}, "");
  s.nodes = {first, NullNode("between"), second, third, fourth};
  Parsed p(BuildSod(s));
  ASSERT_EQ(1, p.result);
  auto find = [&](const char* name) {
    for (const MaterialRecord* r : p.List()) {
      if (std::strcmp(r->name, name) == 0) return r;
    }
    return static_cast<const MaterialRecord*>(nullptr);
  };
  EXPECT_EQ("two.tga", Narrow(find("shared")->texture));
  EXPECT_EQ("NULL", Narrow(find("shared")->secondTexture));
  EXPECT_EQ("one.tga", Narrow(find("own")->texture));
  EXPECT_EQ("one_glow.tga", Narrow(find("own")->secondTexture));
  EXPECT_EQ("", Narrow(find("unused")->texture));
  EXPECT_EQ("NULL", Narrow(find("missing")->texture));  // the last user has no texture name
}

TEST(SodReaderMaterials, GroupNamesMatchByTheirKeptText) {
  SodFileSpec s;
  s.materials = {Material(std::string(130, 'q')), Material("ab")};
  s.nodes = {MeshNode("m", {std::string(127, 'q') + "zzz", std::string("ab\0cd", 5)})};
  Parsed p(BuildSod(s));
  ASSERT_EQ(1, p.result);
  EXPECT_EQ(2, p.model.materialCount);
  EXPECT_EQ(1, p.model.nodes[0].groups[0].materialIndex);
  EXPECT_EQ(0, p.model.nodes[0].groups[1].materialIndex);
}

TEST(SodReaderMaterials, IndexedBindingEqualsTheLiteralSweeps) {
  std::mt19937 random(20240611);
  for (int round = 0; round < 300; ++round) {
    const std::string bytes = BuildSod(RandomMaterialFile(random));
    Parsed fast(bytes);
    ImportedModel literal = {};
    ASSERT_EQ(1, fast.result) << round;
    ASSERT_EQ(1, ParseWithLiteralBinding(bytes, &literal)) << round;
    ExpectSameBinding(fast.model, literal);
    FreeImportedModel(&literal);
    if (HasFailure()) break;
  }
}

TEST(SodReaderMaterials, ManyMaterialsAndGroupsBindToTheRightRecords) {
  // 20,000 section materials and 20,000 groups over 100 meshes; every fourth group
  // names a material the section lacks.
  SodFileSpec s;
  for (int i = 0; i < 20000; ++i) s.materials.push_back(Material("mat" + std::to_string(i)));
  for (int n = 0; n < 100; ++n) {
    std::vector<std::string> groups;
    for (int g = 0; g < 200; ++g) {
      const int i = n * 200 + g;
      groups.push_back(i % 4 == 3 ? "extra" + std::to_string(i) : "mat" + std::to_string((i * 7) % 20000));
    }
    SodNodeSpec mesh = MeshNode("mesh" + std::to_string(n), groups, "t" + std::to_string(n));
    mesh.mesh.groups.resize(200);
    s.nodes.push_back(mesh);
  }
  Parsed p(BuildSod(s));
  ASSERT_EQ(1, p.result);
  EXPECT_EQ(25000, p.model.materialCount);
  const std::vector<const MaterialRecord*> list = p.List();
  ASSERT_EQ(25000u, list.size());
  for (int n = 0; n < 100; ++n) {
    const NodeRecord& node = p.model.nodes[n];
    for (uint32_t g = 0; g < node.groupCount; ++g) {
      const int32_t index = node.groups[g].materialIndex;
      ASSERT_TRUE(index >= 0 && index < 25000);
      ASSERT_STREQ(node.groups[g].materialName, list[static_cast<size_t>(index)]->name);
    }
  }
  EXPECT_STREQ("extra19999", list[0]->name);
  EXPECT_STREQ("mat0", list[24999]->name);
}
