// The import fuzz target's corpus, replayed on every test run, and the cases it is
// there to guard: files whose face indices reach past their own mesh.
#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <iterator>
#include <string>

#include "support/import_fuzz_input.h"
#include "support/sod_builder.h"

namespace {

int Build(uint8_t choices, const std::string& sod) {
  std::string input = std::string(1, static_cast<char>(choices)) + sod;
  return BuildFromFuzzInput(reinterpret_cast<const uint8_t*>(input.data()), input.size());
}

}  // namespace

TEST(ImportFuzzCorpus, EveryInputBuildsOrFailsCleanly) {
  const std::filesystem::path corpus = std::filesystem::path(KVELTAR_FUZZ_CORPUS) / "import_build_fuzz";
  ASSERT_TRUE(std::filesystem::is_directory(corpus)) << corpus.string();
  int built = 0;
  for (const auto& entry : std::filesystem::directory_iterator(corpus)) {
    std::ifstream in(entry.path(), std::ios::binary);
    std::string bytes((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
    int result = BuildFromFuzzInput(reinterpret_cast<const uint8_t*>(bytes.data()), bytes.size());
    built += result == 1 ? 1 : 0;
  }
  EXPECT_GT(built, 0);
}

// A face index that the reader passes on as stored: within the two meshes' total but
// past its own mesh, or past everything. Either way the build fails instead of joining
// another mesh's vertices or pointing outside the array.
TEST(ImportFuzzCorpus, FaceIndexPastItsOwnMeshFailsTheBuild) {
  const struct {
    uint16_t index;
    int result;
  } cases[] = {{2, 1}, {3, 0}, {5, 0}, {6, 0}, {65535, 0}};
  for (const auto& c : cases) {
    sodtest::SodFileSpec file;
    file.materials = {sodtest::Material("steel")};
    file.nodes = {sodtest::MeshNode("first", {"steel"}), sodtest::MeshNode("second", {"steel"})};
    file.nodes[0].mesh.groups[0].faces[0].v[2] = c.index;
    EXPECT_EQ(c.result, Build(0x01, sodtest::BuildSod(file))) << c.index;
  }
}

TEST(ImportFuzzCorpus, TextureCoordinateIndexPastTheTableFailsTheBuild) {
  sodtest::SodFileSpec file;
  file.nodes = {sodtest::MeshNode("hull", {"steel"})};
  file.nodes[0].mesh.groups[0].faces[0].t[1] = 3;
  EXPECT_EQ(0, Build(0x01, sodtest::BuildSod(file)));
  file.nodes[0].mesh.groups[0].faces[0].t[1] = 2;
  EXPECT_EQ(1, Build(0x0F, sodtest::BuildSod(file)));
}
