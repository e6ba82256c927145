// The check of a mod's SOD files through the real plug-in: one planted fault per file,
// each giving its own problem code and no other error; the clean sample giving none at
// all; and a folder of good and bad files through `kveltar-host check` and batch
// `convert`, whose exit codes, lines, JSON and written files agree.
#include <gtest/gtest.h>

#include <sys/wait.h>

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <filesystem>
#include <functional>
#include <string>

#include "bridge/mod_check.h"
#include "interface/host_text.h"
#include "support/sod_builder.h"
#include "support/temp_dir.h"

namespace {

using sodtest::SodFileSpec;

std::string TinyTga() {
  std::string tga = {0, 0, 2, 0, 0, 0, 0, 0, 0, 0, 0, 0, 1, 0, 1, 0, 24, 0x20};
  return tga + "abc";
}

// A clean ship: one material with its texture, a mesh, a hardpoint.
SodFileSpec CleanShip() {
  SodFileSpec s;
  s.materials = {sodtest::Material("hull")};
  s.nodes = {sodtest::NullNode("root"), sodtest::MeshNode("body", {"hull"}, "hull", "root"),
             sodtest::NullNode("hp01", "root")};
  return s;
}

// Two meshes of one material whose vertices, gathered by the export, go beyond 65535.
void TooManyVertices(SodFileSpec& s) {
  for (int n = 1; n <= 2; ++n) {
    sodtest::SodNodeSpec& mesh = s.nodes[static_cast<size_t>(n)];
    mesh = sodtest::MeshNode("body" + std::to_string(n), {"hull"}, "hull", "root");
    for (int v = 3; v < 33000; ++v) mesh.mesh.vertices.push_back({float(v), float(n), 0});
  }
}

struct PlantedFault {
  const char* code;
  std::function<void(SodFileSpec&)> plant;
  std::string bytesCut = "";  // non-empty: the file is cut to this many bytes
};

const PlantedFault kPlantedFaults[] = {
    {"unreadable", [](SodFileSpec&) {}, "40"},
    {"not-imported", [](SodFileSpec& s) { s.nodes[1].mesh.groups[0].faces[0].v[2] = 3; }},
    {"missing-texture", [](SodFileSpec& s) { s.nodes[1].mesh.texture = "gone"; }},
    {"bad-texture", [](SodFileSpec& s) { s.nodes[1].mesh.texture = "broken"; }},
    {"undefined-material", [](SodFileSpec& s) { s.nodes[1].mesh.groups[0].material = "paint"; }},
    {"non-finite-vertex", [](SodFileSpec& s) { s.nodes[1].mesh.vertices[1].y = NAN; }},
    {"degenerate-triangle",
     [](SodFileSpec& s) {
       s.nodes[1].mesh.vertices[2] = {2, 0, 0};
     }},
    {"duplicate-marker", [](SodFileSpec& s) { s.nodes.push_back(sodtest::NullNode("hp01", "root")); }},
    {"unused-material", [](SodFileSpec& s) { s.materials.push_back(sodtest::Material("spare")); }},
    {"marker-not-rotation",
     [](SodFileSpec& s) {
       s.nodes[2].transform.r1 = {0.5f, 1, 0};
     }},
    {"marker-not-rotation",
     [](SodFileSpec& s) {
       s.nodes[2].transform.r2 = {0, 0, -1};
     }},
    {"marker-not-rotation",
     [](SodFileSpec& s) {
       s.nodes[2].transform.r0 = {0, 0, 0};
     }},
    {"reserved-material-name",
     [](SodFileSpec& s) { s.materials[0].name = s.nodes[1].mesh.groups[0].material = "Damage_Plate"; }},
    {"export-refused", TooManyVertices},
    // A blank in a hardpoint's name splits its extracted line; a line break makes the
    // rest of the name a hardpoint of its own, which the export warns of.
    {"marker-file", [](SodFileSpec& s) { s.nodes[2].name = "hp 01"; }},
    {"export-warning", [](SodFileSpec& s) { s.nodes[2].name = "hp\n01"; }},
};

class ModCheck : public testing::Test {
 protected:
  void SetUp() override {
    options_.pluginPath = host::Utf8ToUtf16(KVELTAR_NATIVE_PLUGIN);
    ASSERT_TRUE(host::StartSession(options_, &session_));
    dir_.Write("hull.tga", TinyTga());
    dir_.Write("broken.tga", "not an image");
  }
  void TearDown() override { std::filesystem::current_path(KVELTAR_SOURCE_DIR); }

  TempDir dir_;
  host::HostOptions options_;
  host::Session session_;
};

TEST_F(ModCheck, EachPlantedFaultGivesItsCodeAndNoOtherError) {
  host::ModChecker checker(&session_, options_, host::CheckOptions{});
  for (const PlantedFault& fault : kPlantedFaults) {
    SCOPED_TRACE(fault.code);
    SodFileSpec ship = CleanShip();
    fault.plant(ship);
    std::string bytes = sodtest::BuildSod(ship);
    if (!fault.bytesCut.empty()) bytes.resize(std::stoul(fault.bytesCut));
    dir_.Write("ship.sod", bytes);
    const host::FileCheck check = checker.Check(dir_.Wide("ship.sod"));
    std::vector<std::string> all, errors;
    for (const host::Problem& p : check.problems) {
      const host::ProblemKind& kind = host::KindOf(p.code);
      all.push_back(kind.name);
      if (kind.severity == host::Severity::kError) errors.push_back(kind.name);
    }
    EXPECT_NE(std::find(all.begin(), all.end(), fault.code), all.end()) << testing::PrintToString(all);
    const bool anError = std::any_of(host::ProblemKinds().begin(), host::ProblemKinds().end(), [&](const auto& k) {
      return k.name == std::string(fault.code) && k.severity == host::Severity::kError;
    });
    EXPECT_EQ(anError ? std::vector<std::string>{fault.code} : std::vector<std::string>{}, errors)
        << host::JsonText(host::FileCheckJson(check));
  }
}

TEST_F(ModCheck, CleanSampleGivesNoErrorAndNoWarning) {
  host::ModChecker checker(&session_, options_, host::CheckOptions{});
  const host::FileCheck check = checker.Check(host::Utf8ToUtf16(KVELTAR_SOURCE_DIR "/docs/sample/frigate.sod"));
  EXPECT_TRUE(check.imported);
  EXPECT_EQ("1.80", check.figures.version);
  EXPECT_EQ("Storm3D_SW", check.figures.identifier);
  EXPECT_EQ(0u, check.Count(host::Severity::kError) + check.Count(host::Severity::kWarning))
      << host::JsonText(host::FileCheckJson(check));
}

// What a command printed on stdout, and its exit status.
int RunCommand(const std::string& command, std::string* out) {
  FILE* pipe = popen((command + " 2>/dev/null").c_str(), "r");
  char buffer[4096];
  for (size_t n; pipe && (n = std::fread(buffer, 1, sizeof buffer, pipe)) > 0;) out->append(buffer, n);
  const int status = pipe ? pclose(pipe) : -1;
  return WIFEXITED(status) ? WEXITSTATUS(status) : -1;
}

TEST_F(ModCheck, FolderOfGoodAndBadFilesThroughTheCommandLine) {
  std::filesystem::create_directories(dir_.File("ships/sub"));
  dir_.Write("ships/good.sod", sodtest::BuildSod(CleanShip()));
  SodFileSpec otherIdentifier = CleanShip();
  otherIdentifier.identifier = "Mad3D_SW";
  dir_.Write("ships/sub/good2.sod", sodtest::BuildSod(otherIdentifier));
  dir_.Write("ships/damaged.sod", sodtest::BuildSod(CleanShip()).substr(0, 60));
  SodFileSpec untextured = CleanShip();
  untextured.nodes[1].mesh.texture = "gone";
  untextured.materials.push_back(sodtest::Material("spare"));  // an info, which --only errors leaves out
  dir_.Write("ships/untextured.SOD", sodtest::BuildSod(untextured));
  for (const char* name : {"ships/hull.tga", "ships/sub/hull.tga"}) dir_.Write(name, TinyTga());
  // Entries the search skips and names, the rest checked: a link back to the folder
  // above, a link to nothing; and a ship at a path beyond Windows' classic limit.
  std::string deep = "ships";
  for (int n = 0; n < 9; ++n) deep += "/deep_folder_of_thirty_six_letters_" + std::to_string(n);
  std::filesystem::create_directories(dir_.File(deep));
  const std::string first = deep.substr(0, 6 + 35);
  std::filesystem::create_directory_symlink("..", dir_.File("ships/sub/loop"));
  std::filesystem::create_symlink("nowhere.sod", dir_.File(first + "/gone.sod"));
  dir_.Write(deep + "/hull.tga", TinyTga());
  dir_.Write(deep + "/far.sod", sodtest::BuildSod(CleanShip()));
  ASSERT_GT(dir_.File(deep + "/far.sod").string().size(), 300u);
  const std::string binary = std::string(KVELTAR_HOST) + " ";
  const std::string folder = dir_.File("ships").string();

  std::string lines, json;
  EXPECT_EQ(1, RunCommand(binary + "check " + folder, &lines));
  EXPECT_EQ(1, RunCommand(binary + "check --json " + folder, &json));
  const host::Json report = host::Json::parse(json);
  ASSERT_EQ(7u, report["files"].size());
  for (const host::Json& file : report["files"]) {
    const std::string name = std::filesystem::path(file["path"].get<std::string>()).filename().string();
    EXPECT_NE(lines.find(name + ": "), std::string::npos) << name;
    for (const host::Json& problem : file["problems"]) {
      EXPECT_NE(lines.find(problem["severity"].get<std::string>() + " " + problem["code"].get<std::string>() + ": " +
                           problem["text"].get<std::string>()),
                std::string::npos);
    }
  }
  EXPECT_NE(json.find("\"code\":\"unreadable\""), std::string::npos);
  EXPECT_NE(json.find("\"code\":\"missing-texture\""), std::string::npos);
  EXPECT_EQ(2, report["summary"]["filesWithErrors"].get<int>());
  EXPECT_NE(lines.find("_0/gone.sod: not read: 0 errors, 1 warnings, 0 infos\n  warning not-walked: a link to nothing"),
            std::string::npos)
      << lines;
  EXPECT_NE(lines.find("sub/loop: not read: 0 errors, 1 warnings, 0 infos\n  warning not-walked: a link to a folder "
                       "searched already"),
            std::string::npos);
  EXPECT_NE(lines.find("/far.sod: SOD 1.80"), std::string::npos);
  // Skipped entries alone are warnings.
  EXPECT_EQ(0, RunCommand(binary + "check " + dir_.File(first).string(), &lines)) << lines;
  EXPECT_NE(lines.find("good.sod: SOD 1.80 (Storm3D_SW), "), std::string::npos) << lines;
  EXPECT_NE(lines.find("good2.sod: SOD 1.80 (Mad3D_SW), "), std::string::npos) << lines;
  std::string errorsOnly;
  EXPECT_EQ(1, RunCommand(binary + "check --json --only errors " + folder, &errorsOnly));
  const host::Json listed = host::Json::parse(errorsOnly);
  EXPECT_EQ(2u, listed["files"].size()) << errorsOnly;
  for (const host::Json& file : listed["files"]) {
    for (const host::Json& problem : file["problems"]) EXPECT_EQ("error", problem["severity"]) << errorsOnly;
  }

  std::string converted;
  EXPECT_EQ(1,
            RunCommand(binary + "convert " + folder + " --to glb --out-dir " + dir_.File("out").string(), &converted));
  EXPECT_TRUE(dir_.Exists("out/good.glb") && dir_.Exists("out/sub/good2.glb") && dir_.Exists("out/untextured.glb") &&
              dir_.Exists("out" + deep.substr(5) + "/far.glb"));
  EXPECT_FALSE(dir_.Exists("out/damaged.glb"));
  EXPECT_NE(converted.find("converted 4 files, 3 failed:\n  " + folder + "/damaged.sod: the plug-in could not read"),
            std::string::npos)
      << converted;
  EXPECT_NE(converted.find("  " + dir_.File(first).string() + "/gone.sod: skipped: a link to nothing\n  " + folder +
                           "/sub/loop: skipped: a link to a folder searched already"),
            std::string::npos);
  // A second input of the same name does not overwrite the first one's file.
  std::string twice;
  EXPECT_EQ(1, RunCommand(binary + "convert " + folder + "/good.sod " + folder + "/sub/good2.sod " + folder +
                              "/good.sod --to obj --out-dir " + dir_.File("twice").string(),
                          &twice));
  EXPECT_NE(twice.find("converted 2 files, 1 failed:"), std::string::npos) << twice;
}

// The game's layout: convert finds the textures in "Textures/RGB" beside "SOD" as
// check does, and writes them back there.
TEST_F(ModCheck, ConvertFindsAndWritesTexturesInTheGameLayout) {
  for (const char* folder : {"game/SOD", "game/textures/rgb", "other/SOD", "other/Textures/RGB"}) {
    std::filesystem::create_directories(dir_.File(folder));
  }
  dir_.Write("game/SOD/ship.sod", sodtest::BuildSod(CleanShip()));
  dir_.Write("game/textures/rgb/hull.tga", TinyTga());
  const std::string convert = std::string(KVELTAR_HOST) + " convert " + dir_.File("").string();
  std::string converted, back;
  EXPECT_EQ(0, RunCommand(convert + "game/SOD/ship.sod " + dir_.File("ship.glb").string() + " --json", &converted));
  EXPECT_EQ(std::string::npos, converted.find("warning")) << converted;
  EXPECT_EQ(0,
            RunCommand(convert + "ship.glb " + dir_.File("other/SOD/ship.sod").string() + " --write-textures", &back));
  EXPECT_TRUE(dir_.Exists("other/Textures/RGB/hull.tga") && !dir_.Exists("other/SOD/hull.tga"));
}

}  // namespace
