// set-markers through the real plug-in: extracted markers give back the file's bytes,
// edits change only the markers, bad input writes nothing.
#include <gtest/gtest.h>

#include <cstdio>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <string>
#include <vector>

#include "bridge/marker_rewrite.h"
#include "bridge/sod_bridge.h"
#include "interface/host_text.h"
#include "support/sod_builder.h"
#include "support/temp_dir.h"

namespace {

using sodtest::SodFileSpec;
using sodtest::SodNodeSpec;

// A ship with markers under different parents, a mesh named like a hardpoint, a LOD
// node, a node of an unknown kind and bytes after the node section (1.6: a prefix table).
SodFileSpec ShipSpec(uint32_t bits) {
  SodFileSpec s = sodtest::RichSodSpec(bits);
  s.nodes.resize(2);  // root, hull_mesh
  s.nodes.push_back(sodtest::NullNode("hp_fore", "hull_mesh"));
  s.nodes.back().transform = {{0.6f, 0.8f, 0}, {-0.8f, 0.6f, 0}, {0, 0, 1}, {0.1f, 2, -3.3f}};
  s.nodes.push_back(sodtest::NullNode("HP_aft", "root"));
  s.nodes.back().transform.t = {0, -1.7f, 12.25f};
  s.nodes.push_back(sodtest::MeshNode("hp_mesh_turret", {"hull"}, "hulltex", "hull_mesh"));
  s.nodes.push_back(sodtest::NodeOfKind(11, "lod0", "root"));
  s.nodes.push_back(sodtest::EmitterNode("engine", "exhaust", "root"));
  s.nodes.back().transform.t = {0.333f, 0, -6};
  s.nodes.push_back(sodtest::NodeOfKind(3, "light", "root"));
  s.nodes.push_back(sodtest::NodeOfKind(7, "oddity", "root"));
  s.trailing = "bytes after the nodes";
  return s;
}

// A side text file with a record line for each node, its numbers as the plug-in prints them.
std::string SideText(const std::vector<SodNodeSpec>& nodes) {
  std::string text = "# header\n\n# Format: <node name> <3x4 transformation matrix>\n\n";
  for (const SodNodeSpec& node : nodes) {
    text += node.name + "  " + (node.kind == 12 ? node.emitterName + "  " : "");
    for (const sodtest::SodVec3* row :
         {&node.transform.r0, &node.transform.r1, &node.transform.r2, &node.transform.t}) {
      char numbers[128];
      std::snprintf(numbers, sizeof numbers, "%f %f %f  ", static_cast<double>(row->x), static_cast<double>(row->y),
                    static_cast<double>(row->z));
      text += numbers;
    }
    text += "\n";
  }
  return text;
}

class MarkerRewrite : public testing::Test {
 protected:
  void SetUp() override {
    options_.pluginPath = host::Utf8ToUtf16(KVELTAR_NATIVE_PLUGIN);
    ASSERT_TRUE(host::StartSession(options_, &session_));
  }

  // set-markers with the side files of the three kinds, by name in dir or whole ("": kept).
  int Run(const std::string& in, const std::string& out, const std::vector<std::string>& sides,
          host::MarkerEditOutcome* outcome) {
    host::MarkerEdit edit;
    edit.input = dir.Wide(in);
    edit.output = dir.Wide(out);
    for (size_t k = 0; k < sides.size(); ++k) edit.sideFiles[k] = sides[k].empty() ? u"" : dir.Wide(sides[k]);
    return host::SetMarkers(&session_, options_, edit, outcome);
  }

  TempDir dir;
  host::HostOptions options_;
  host::Session session_;
};

// The side text files the plug-in's import extracts give back the input byte for
// byte: in every version, and for the sample frigate.
TEST_F(MarkerRewrite, ExtractedMarkersGiveBackTheFile) {
  std::vector<std::pair<std::string, std::string>> files;
  for (uint32_t bits : sodtest::kAllVersions)
    files.emplace_back(std::to_string(bits), sodtest::BuildSod(ShipSpec(bits)));
  std::ifstream sample(std::string(KVELTAR_SOURCE_DIR) + "/docs/sample/frigate.sod", std::ios::binary);
  files.emplace_back("frigate", std::string(std::istreambuf_iterator<char>(sample), {}));
  for (const auto& [name, bytes] : files) {
    SCOPED_TRACE(name);
    dir.Write(name + ".sod", bytes);
    host::TempFolder work;
    host::SceneDocument document;
    host::UiDriver driver({host::ImportDialogAnswer(host::ImportAnswer{}, true)}, false);
    ASSERT_EQ(host::kExitOk, host::ImportSod(&session_, options_, dir.Wide(name + ".sod"), host::ImportAnswer{}, true,
                                             &driver, &document, &work)
                                 .status);
    std::vector<std::string> sides;
    for (host::MarkerKind kind : host::kMarkerKinds)
      sides.push_back(host::ExtractedSideFile(work, dir.Wide(name + ".sod"), kind).string());
    host::MarkerEditOutcome outcome;
    ASSERT_EQ(host::kExitOk, Run(name + ".sod", name + "_out.sod", sides, &outcome)) << outcome.error;
    EXPECT_TRUE(dir.Read(name + "_out.sod") == bytes);
  }
}

// Edits rewrite only the markers: the file written is the one its description builds.
TEST_F(MarkerRewrite, EditsKeepEveryOtherNodeInOrder) {
  struct Case {
    uint32_t bits;
    std::vector<SodNodeSpec> original;  // replaces the ship's nodes after the mesh, when given
    std::vector<std::string> sides;     // hardpoints, emitters, sprites
    std::vector<SodNodeSpec> expected;  // the nodes written
  };
  SodFileSpec ship = ShipSpec(sodtest::kV18);
  const auto& n = ship.nodes;  // root, hull_mesh, hp_fore, HP_aft, hp_mesh_turret, lod0, engine, light, oddity
  SodNodeSpec moved = n[2], added = sodtest::NullNode("hp_new", "hull_mesh"), renamed = n[6];
  moved.transform.t = {1.5f, 2, -3.25f};
  added.transform.r2 = {0, 0, -1};
  renamed.emitterName = "plasma";
  SodNodeSpec grouped = added, rooted = added, group = sodtest::NullNode("hardpoints", "root");
  grouped.parent = "hardpoints", rooted.parent = "root";
  dir.Write("edit_hps.txt", SideText({moved, added}));
  dir.Write("edit_ems.txt", SideText({renamed}));
  dir.Write("added_hps.txt", SideText({added}));
  dir.Write("none.txt", SideText({}));
  std::vector<Case> cases;
  for (uint32_t bits : sodtest::kAllVersions)
    cases.push_back(
        {bits, {}, {"edit_hps.txt", "edit_ems.txt"}, {n[0], n[1], n[4], n[5], n[7], n[8], moved, added, renamed}});
  // New markers below the group node, else below the first node; no records drop every marker of a kind.
  cases.push_back({sodtest::kV193, {n[0], n[1], group}, {"added_hps.txt"}, {n[0], n[1], group, grouped}});
  cases.push_back({sodtest::kV193, {n[0], n[1]}, {"added_hps.txt"}, {n[0], n[1], rooted}});
  cases.push_back({sodtest::kV193, {}, {"none.txt", "", "none.txt"}, {n[0], n[1], n[4], n[5], n[6], n[8]}});
  for (const Case& c : cases) {
    SCOPED_TRACE(&c - cases.data());
    SodFileSpec in = ShipSpec(c.bits);
    if (!c.original.empty()) in.nodes = c.original;
    dir.Write("in.sod", sodtest::BuildSod(in));
    host::MarkerEditOutcome outcome;
    ASSERT_EQ(host::kExitOk, Run("in.sod", "out.sod", c.sides, &outcome)) << outcome.error;
    in.nodes = c.expected;
    EXPECT_TRUE(dir.Read("out.sod") == sodtest::BuildSod(in));
  }
}

// What cannot be done ends with a message and its exit code, writes nothing, leaves IN.
TEST_F(MarkerRewrite, BadInputWritesNothing) {
  const std::string ship = sodtest::BuildSod(ShipSpec(sodtest::kV193));
  SodFileSpec full = ShipSpec(sodtest::kV193);
  full.nodes.resize(65535, sodtest::NullNode("n", "root"));
  dir.Write("ship.sod", ship);
  dir.Write("full.sod", sodtest::BuildSod(full));
  dir.Write("cut.sod", ship.substr(0, ship.size() / 2));
  dir.Write("long_hps.txt", SideText({sodtest::NullNode("hp" + std::string(126, 'x'), "root")}));
  dir.Write("one_hps.txt", SideText({sodtest::NullNode("hp_one", "root")}));
  dir.Write("full_hps.txt", SideText({full.nodes[2], full.nodes[3], sodtest::NullNode("hp_one", "root")}));
  std::filesystem::create_directory(dir.File("folder_hps.txt"));
  const struct {
    const char *in, *out, *side;
    int status;
    std::string message;
  } cases[] = {
      {"ship.sod", "out.sod", "long_hps.txt", host::kExitFailed, "longer than 127 characters"},
      {"full.sod", "out.sod", "full_hps.txt", host::kExitFailed, "65536 nodes"},
      {"cut.sod", "out.sod", "one_hps.txt", host::kExitUsage, "damaged or cut short"},
      {"ship.sod", "out.sod", "missing_hps.txt", host::kExitFailed, "cannot open the side text file"},
      {"ship.sod", "out.sod", "folder_hps.txt", host::kExitFailed, "cannot read the side text file"},
      {"ship.sod", "missing/out.sod", "one_hps.txt", host::kExitFailed, "cannot write"},
      {"ship.sod", "ship.sod", "long_hps.txt", host::kExitFailed, "longer than 127 characters"},
  };
  const size_t files = dir.Count();
  for (const auto& c : cases) {
    SCOPED_TRACE(c.message);
    const std::string before = dir.Read(c.in);
    host::MarkerEditOutcome outcome;
    EXPECT_EQ(c.status, Run(c.in, c.out, {c.side}, &outcome));
    EXPECT_NE(std::string::npos, outcome.error.find(c.message)) << outcome.error;
    EXPECT_EQ(files, dir.Count());
    EXPECT_TRUE(dir.Read(c.in) == before);
  }
}

}  // namespace
