#include <gtest/gtest.h>

#include <cstring>
#include <string>
#include <vector>

#include "common/memory.h"
#include "sod/imported_model.h"

namespace {

// The list position of `name` by walking the list, as the model defines it.
int32_t WalkPosition(const ImportedModel& model, const char* name) {
  int32_t position = 0;
  for (const MaterialRecord* r = model.materials; r != nullptr; r = r->next, ++position) {
    if (std::strcmp(r->name, name) == 0) return position;
  }
  return -1;
}

}  // namespace

TEST(ImportedModel, NewMaterialsGoToTheFrontWithDefaults) {
  ImportedModel model = {};
  ASSERT_NE(nullptr, AddMaterial(&model, "A"));
  MaterialRecord* b = AddMaterial(&model, "B");
  ASSERT_NE(nullptr, b);
  EXPECT_EQ(b, model.materials);
  EXPECT_EQ(2, model.materialCount);
  EXPECT_EQ(0, FindMaterial(&model, "B"));
  EXPECT_EQ(1, FindMaterial(&model, "A"));
  EXPECT_EQ(-1, FindMaterial(&model, "a"));
  EXPECT_EQ(-1, FindMaterial(&model, nullptr));
  EXPECT_EQ(nullptr, AddMaterial(&model, "A"));
  EXPECT_EQ(nullptr, AddMaterial(&model, nullptr));
  EXPECT_EQ(2, model.materialCount);
  const float expected[4][4] = {{0, 0, 0, 1}, {1, 1, 1, 1}, {0, 0, 0, 1}};
  EXPECT_EQ(0, std::memcmp(b->ambient, expected[0], 16));
  EXPECT_EQ(0, std::memcmp(b->diffuse, expected[1], 16));
  EXPECT_EQ(0, std::memcmp(b->specular, expected[2], 16));
  EXPECT_EQ(128.0f, b->specularPower);
  EXPECT_EQ(0, b->texture[0]);
  FreeImportedModel(&model);
}

TEST(ImportedModel, IndexAgreesWithTheListWalk) {
  ImportedModel model = {};
  std::vector<std::string> names;
  for (int i = 0; i < 3000; ++i) names.push_back("m" + std::to_string(i * 7919 % 3001));
  for (const std::string& n : names) AddMaterial(&model, n.c_str());
  for (int i = 0; i < 3100; i += 37) {
    std::string n = "m" + std::to_string(i);
    EXPECT_EQ(WalkPosition(model, n.c_str()), FindMaterial(&model, n.c_str())) << n;
  }
  FreeImportedModel(&model);
}

TEST(ImportedModel, NoMemoryMeansNoRecord) {
  ImportedModel model = {};
  SetAllocationFailure(1);
  EXPECT_EQ(nullptr, AddMaterial(&model, "A"));
  EXPECT_EQ(0, model.materialCount);
  SetAllocationFailure(2);  // the index exists, its first table does not
  EXPECT_EQ(nullptr, AddMaterial(&model, "A"));
  EXPECT_EQ(-1, FindMaterial(&model, "A"));
  SetAllocationFailure(0);
  ASSERT_NE(nullptr, AddMaterial(&model, "A"));
  SetAllocationFailure(1);  // the record itself
  EXPECT_EQ(nullptr, AddMaterial(&model, "B"));
  SetAllocationFailure(0);
  EXPECT_EQ(1, model.materialCount);
  EXPECT_EQ(-1, FindMaterial(&model, "B"));
  FreeImportedModel(&model);
}

TEST(ImportedModel, FreeingClearsEverythingAndIsSafeTwice) {
  ImportedModel model = {};
  model.version = 1.8f;
  model.nodeCount = 2;
  model.nodes = static_cast<NodeRecord*>(AllocZeroed(2, sizeof(NodeRecord)));
  model.nodes[1].groupCount = 2;
  model.nodes[1].groups = static_cast<FaceGroup*>(AllocZeroed(2, sizeof(FaceGroup)));
  model.nodes[1].groups[0].faces = static_cast<uint32_t*>(AllocZeroed(6, sizeof(uint32_t)));
  model.nodes[1].vertices = static_cast<float*>(AllocZeroed(3, sizeof(float)));
  model.hardpoints = static_cast<HardpointRecord*>(AllocZeroed(1, sizeof(HardpointRecord)));
  model.hardpointCount = 1;
  model.sourcePath[0] = u'C';
  AddMaterial(&model, "A");
  FreeImportedModel(&model);
  ImportedModel zero = {};
  EXPECT_EQ(0, std::memcmp(&zero, &model, sizeof model));
  FreeImportedModel(&model);
  EXPECT_EQ(0, std::memcmp(&zero, &model, sizeof model));
}
