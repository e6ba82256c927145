// Writes the seed files of the reader's fuzz target from the test builder. Disabled in
// normal runs; regenerate the committed seeds with
//   kveltar_unit_tests --gtest_also_run_disabled_tests --gtest_filter='SodFuzzSeeds.*'
#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <string>
#include <utility>
#include <vector>

#include "support/sod_builder.h"

using namespace sodtest;

TEST(SodFuzzSeeds, DISABLED_WriteSeedFiles) {
  const std::filesystem::path corpus = std::filesystem::path(KVELTAR_FUZZ_CORPUS) / "sod_reader_fuzz";
  std::filesystem::create_directories(corpus);
  std::vector<std::pair<std::string, std::string>> seeds;
  const char* names[] = {"v16", "v17", "v18", "v19", "v191", "v192", "v193"};
  for (int i = 0; i < 7; ++i)
    seeds.push_back({std::string("seed_rich_") + names[i], BuildSod(RichSodSpec(kAllVersions[i]))});
  SodFileSpec plain193 = RichSodSpec(kV193);
  plain193.nodes[1].mesh.modeWord1 = 4;
  plain193.nodes[1].mesh.modeWord2 = 1;
  plain193.identifier = "Mad3D_SW";
  plain193.endSection = false;
  seeds.push_back({"seed_mad_v193_plain_modes", BuildSod(plain193)});
  SodFileSpec kinds;
  kinds.nodes = {NullNode("a"), MeshNode("b", {"m", "m"}), NodeOfKind(7, "c"), NodeOfKind(3, "hp_d")};
  seeds.push_back({"seed_kinds", BuildSod(kinds)});
  SodFileSpec none;
  none.materials = {Material("only")};
  seeds.push_back({"seed_no_nodes", BuildSod(none)});
  seeds.push_back({"seed_trek", ByteWriter().Identifier("StarTrekDB").U32(kV193).U16(0).U16(0).Bytes()});
  seeds.push_back({"seed_version_20", ByteWriter().Identifier("Storm3D_SW").U32(kV20).U16(0).U16(0).Bytes()});
  for (const auto& seed : seeds) {
    std::ofstream out(corpus / seed.first, std::ios::binary);
    out << seed.second;
    ASSERT_TRUE(out.good()) << seed.first;
  }
}
