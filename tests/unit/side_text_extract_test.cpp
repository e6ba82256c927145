// Writing hardpoint, emitter and sprite text files from an imported model: the exact
// bytes (the same from every build), the sort of the model's lists, and that a file
// is written whole or not at all.
#include <gtest/gtest.h>

#include <array>
#include <cstdio>
#include <cstring>
#include <filesystem>
#include <limits>
#include <string>
#include <vector>

#include "common/memory.h"
#include "common/paths.h"
#include "common/stream_write.h"
#include "common/text_lists.h"
#include "common/wide_text.h"
#include "interface/host_scene.h"
#include "platform/file_system.h"
#include "sidetext/side_text.h"
#include "support/temp_dir.h"

namespace {

using Numbers = std::array<float, 12>;

const Numbers kIdentityAt = {1, 0, 0, 0, 1, 0, 0, 0, 1, 0, 2.5f, -10};

void SetTransform(Matrix4* t, const Numbers& n) {
  for (int i = 0; i < 12; ++i) t->m[i / 3][i % 3] = n[static_cast<size_t>(i)];
  t->m[3][3] = 1;  // column 3 is not part of the file
}

struct Marker {
  std::string name;
  Numbers numbers;
  std::string emitterName;
};

template <typename Record>
Record* MakeRecords(const std::vector<Marker>& markers) {
  Record* records = static_cast<Record*>(AllocZeroed(markers.size(), sizeof(Record)));
  for (size_t i = 0; i < markers.size(); ++i) {
    std::strcpy(records[i].name, markers[i].name.c_str());
    SetTransform(&records[i].transform, markers[i].numbers);
  }
  return records;
}

// Runs each test in a fresh directory, with a host that calls itself host-name
// host-version, and puts the working directory back afterwards (the extractors change it).
class SideTextExtract : public ::testing::Test {
 protected:
  SideTextExtract() : workingDirectory_(std::filesystem::current_path()) {
    scene_.SetHostTexts(u"host-name", u"host-version");
  }
  ~SideTextExtract() override {
    std::filesystem::current_path(workingDirectory_);
    FreeImportedModel(&model_);
    SetWriteFailureAfter(-1);
  }

  HostContext* Context() { return static_cast<HostContext*>(scene_.Context()); }
  void SetSource(const std::u16string& path) { WideCopy(model_.sourcePath, kModelTextUnits, path.c_str()); }
  void SetHardpoints(const std::vector<Marker>& markers) {
    model_.hardpoints = MakeRecords<HardpointRecord>(markers);
    model_.hardpointCount = static_cast<int32_t>(markers.size());
  }
  void SetSprites(const std::vector<Marker>& markers) {
    model_.sprites = MakeRecords<SpriteRecord>(markers);
    model_.spriteCount = static_cast<int32_t>(markers.size());
  }
  void SetEmitters(const std::vector<Marker>& markers) {
    model_.emitters = MakeRecords<EmitterRecord>(markers);
    model_.emitterCount = static_cast<int32_t>(markers.size());
    for (size_t i = 0; i < markers.size(); ++i)
      std::strcpy(model_.emitters[i].emitterName, markers[i].emitterName.c_str());
  }

  TempDir dir_;
  host::HostScene scene_;
  ImportedModel model_ = {};

 private:
  std::filesystem::path workingDirectory_;
};

const char kExampleHardpointFile[] =
    "# ST Armada SOD hardpoints extracted by host-name host-version.\r\n"
    "# num_hardpoints: 2\r\n"
    "\r\n"
    "# Format: <node name> <3x4 transformation matrix>\r\n"
    "\r\n"
    "hp01  1.000000 0.000000 0.000000  0.000000 1.000000 0.000000  0.000000 0.000000 1.000000  0.000000 2.500000 "
    "-10.000000\r\n"
    "HP02_weapon  1.000000 0.000000 0.000000  0.000000 1.000000 0.000000  0.000000 0.000000 1.000000  3.000000 "
    "0.000000 4.000000\r\n";

const std::vector<Marker> kExampleHardpoints = {
    {"HP02_weapon", {1, 0, 0, 0, 1, 0, 0, 0, 1, 3, 0, 4}, ""},
    {"hp01", kIdentityAt, ""},
};

}  // namespace

TEST_F(SideTextExtract, HardpointFileHasTheExactBytesOfTheFormat) {
  SetSource(dir_.Wide("cruiser.sod"));
  SetHardpoints(kExampleHardpoints);
  ASSERT_EQ(1, ExtractHardpoints(&model_, Context()));
  EXPECT_EQ(kExampleHardpointFile, dir_.Read("cruiser_hps.txt"));
  EXPECT_EQ(1u, dir_.Count());  // no temporary file is left
  EXPECT_TRUE(std::filesystem::equivalent(dir_.Path(), std::filesystem::current_path()));
}

TEST_F(SideTextExtract, EmitterAndSpriteFilesHaveTheExactBytesOfTheFormat) {
  SetSource(dir_.Wide("cruiser.sod"));
  SetEmitters({{"em_engine", {0.5f, -0.25f, 0, 0, 1, 0, 0, 0, 1, 1e6f, -3, 0.125f}, "engine_glow"}});
  SetSprites({{"sp_light", {1, 0, 0, 0, 1, 0, 0, 0, 1, -1.5f, 0, 2}, ""}});
  ASSERT_EQ(1, ExtractEmitters(&model_, Context()));
  ASSERT_EQ(1, ExtractSprites(&model_, Context()));
  EXPECT_EQ(
      "# ST Armada SOD emitters extracted by host-name host-version.\r\n# num_emitters: 1\r\n\r\n"
      "# Format: <node name> <identifier name> <3x4 transformation matrix>\r\n\r\n"
      "em_engine  engine_glow  0.500000 -0.250000 0.000000  0.000000 1.000000 0.000000  0.000000 0.000000 1.000000  "
      "1000000.000000 -3.000000 0.125000\r\n",
      dir_.Read("cruiser_ems.txt"));
  EXPECT_EQ(
      "# ST Armada SOD sprites extracted by host-name host-version.\r\n# num_sprites: 1\r\n\r\n"
      "# Format: <node name> <3x4 transformation matrix>\r\n\r\n"
      "sp_light  1.000000 0.000000 0.000000  0.000000 1.000000 0.000000  0.000000 0.000000 1.000000  -1.500000 "
      "0.000000 2.000000\r\n",
      dir_.Read("cruiser_sps.txt"));
  EXPECT_FALSE(dir_.Exists("cruiser_hps.txt"));
}

TEST_F(SideTextExtract, NumbersThatAreNotFiniteAreWrittenAlikeByEveryBuild) {
  const float nan = std::numeric_limits<float>::quiet_NaN();
  const float inf = std::numeric_limits<float>::infinity();
  SetSource(dir_.Wide("odd.sod"));
  SetSprites({{"s", {nan, -nan, inf, -inf, -0.0f, 1e-7f, 5e-7f, 1.5e-6f, 3.4e38f, 0, 0, 0}, ""}});
  ASSERT_EQ(1, ExtractSprites(&model_, Context()));
  std::string file = dir_.Read("odd_sps.txt");
  EXPECT_EQ(
      "s  nan nan inf  -inf -0.000000 0.000000  0.000000 0.000002 339999995214436424907732413799364296704.000000  "
      "0.000000 0.000000 0.000000\r\n",
      file.substr(file.rfind("\r\n\r\n") + 4));
}

TEST_F(SideTextExtract, LineBreaksInTheHostTextsAreWrittenAsTextModeWritesThem) {
  scene_.SetHostTexts(u"Studio\nPro", u"2.0\r\nbeta");
  SetSource(dir_.Wide("a.sod"));
  SetSprites({{"s", kIdentityAt, ""}});
  ASSERT_EQ(1, ExtractSprites(&model_, Context()));
  std::string file = dir_.Read("a_sps.txt");
  EXPECT_EQ("# ST Armada SOD sprites extracted by Studio\r\nPro 2.0\r\r\nbeta.\r\n# num_sprites: 1\r\n",
            file.substr(0, file.find("\r\n\r\n") + 2));
}

TEST_F(SideTextExtract, TheModelsListIsSortedByNameIgnoringCase) {
  SetSource(dir_.Wide("ship.sod"));
  SetHardpoints(
      {{"hp_b", kIdentityAt, ""}, {"HP_A", kIdentityAt, ""}, {"hp_c", kIdentityAt, ""}, {"hp", kIdentityAt, ""}});
  SetEmitters({{"e2", kIdentityAt, "x"}, {"E1", kIdentityAt, "y"}});
  ASSERT_EQ(1, ExtractHardpoints(&model_, Context()));
  ASSERT_EQ(1, ExtractEmitters(&model_, Context()));
  const char* expected[] = {"hp", "HP_A", "hp_b", "hp_c"};
  for (int i = 0; i < 4; ++i) EXPECT_STREQ(expected[i], model_.hardpoints[i].name);
  EXPECT_STREQ("E1", model_.emitters[0].name);
  EXPECT_STREQ("y", model_.emitters[0].emitterName);  // records move whole
  std::string file = dir_.Read("ship_hps.txt");
  size_t a = file.find("\nHP_A  "), b = file.find("\nhp_b  "), c = file.find("\nhp_c  "), bare = file.find("\nhp  ");
  ASSERT_NE(std::string::npos, bare);
  EXPECT_TRUE(bare < a && a < b && b < c && c != std::string::npos);
}

TEST_F(SideTextExtract, AnEmptyListWritesNoFileAndLeavesAnOlderOneAlone) {
  dir_.Write("ship_hps.txt", "older file");
  SetSource(dir_.Wide("ship.sod"));
  EXPECT_EQ(0, ExtractHardpoints(&model_, Context()));
  EXPECT_EQ(0, ExtractEmitters(&model_, Context()));
  EXPECT_EQ(0, ExtractSprites(&model_, Context()));
  model_.spriteCount = 3;  // a count without records is no list either
  EXPECT_EQ(0, ExtractSprites(&model_, Context()));
  model_.spriteCount = 0;
  EXPECT_EQ("older file", dir_.Read("ship_hps.txt"));
  EXPECT_EQ(1u, dir_.Count());
}

TEST_F(SideTextExtract, MissingArgumentsOrNoSourceFileWriteNothing) {
  SetHardpoints(kExampleHardpoints);
  EXPECT_EQ(0, ExtractHardpoints(nullptr, Context()));
  SetSource(dir_.Wide("ship.sod"));
  EXPECT_EQ(0, ExtractHardpoints(&model_, nullptr));
  model_.sourcePath[0] = 0;
  EXPECT_EQ(0, ExtractHardpoints(&model_, Context()));
  SetSource(dir_.Wide("no-such-directory/ship.sod"));
  EXPECT_EQ(0, ExtractHardpoints(&model_, Context()));
  EXPECT_EQ(0u, dir_.Count());
}

TEST_F(SideTextExtract, AWriteFailingAtAnyByteKeepsTheEarlierFileAndLeavesNoTemporaryFile) {
  SetSource(dir_.Wide("cruiser.sod"));
  SetHardpoints(kExampleHardpoints);
  const std::string whole = kExampleHardpointFile;
  for (size_t budget = 0; budget < whole.size(); ++budget) {
    dir_.Write("cruiser_hps.txt", "earlier file");
    SetWriteFailureAfter(static_cast<int64_t>(budget));
    ASSERT_EQ(0, ExtractHardpoints(&model_, Context())) << budget;
    ASSERT_EQ("earlier file", dir_.Read("cruiser_hps.txt")) << budget;
    ASSERT_EQ(1u, dir_.Count()) << budget;
  }
  SetWriteFailureAfter(static_cast<int64_t>(whole.size()));
  ASSERT_EQ(1, ExtractHardpoints(&model_, Context()));
  EXPECT_EQ(whole, dir_.Read("cruiser_hps.txt"));
  EXPECT_EQ(1u, dir_.Count());
}

TEST_F(SideTextExtract, ASideFilePathLongerThan259CharactersIsRefusedNotCut) {
  // The source path ends in ".sod" (4 characters), its side file in "_hps.txt" (8).
  // The side file's directory is the source's with a backslash after a final '/'.
  std::u16string directory = dir_.Wide("");
  char16_t sideDirectory[kPathUnits];
  ASSERT_EQ(1, DirectoryOfPathBackslash((directory + u"x.sod").c_str(), sideDirectory));
  ASSERT_LT(WideLength(sideDirectory), 200u);
  SetHardpoints(kExampleHardpoints);
  for (size_t sideLength : {259u, 260u}) {
    std::u16string title(sideLength - WideLength(sideDirectory) - 8, u'n');
    SetSource(directory + title + u".sod");
    std::string sideName = std::string(title.size(), 'n') + "_hps.txt";
    SCOPED_TRACE(sideLength);
    EXPECT_EQ(sideLength == 259 ? 1 : 0, ExtractHardpoints(&model_, Context()));
    EXPECT_EQ(sideLength == 259, dir_.Exists(sideName));
    if (sideLength == 259) std::filesystem::remove(dir_.File(sideName));
    EXPECT_EQ(0u, dir_.Count());
  }
}

constexpr float kMost = std::numeric_limits<float>::max();
const Numbers kLargest = {-kMost, kMost, -kMost, kMost, -kMost, kMost, -kMost, kMost, -kMost, kMost, -kMost, kMost};

TEST_F(SideTextExtract, ReadingBackGivesTheSameNamesAndTheSameValuesToSixDecimals) {
  const std::vector<Marker> markers = {
      {"hp_gun", {1234.5678f, -0.000001f, 3.4e38f, -7.25f, 0.1f, 1e-7f, 99999.99f, -0.5f, 1, 2, 3, 4}, "glow"},
      {"HP_engine", {-1, -2, -3, 0.333333f, 0.666667f, 1.0e6f, 8388607.5f, -123.456f, 0, 0, 0, -0.0f}, "trail"},
      {"#hp03", kIdentityAt, "id"},
      // The longest line the extraction writes: the longest names, the largest magnitudes.
      {std::string(255, 'z'), kLargest, std::string(127, 'e')},
  };
  SetSource(dir_.Wide("roundtrip.sod"));
  SetHardpoints(markers);
  SetEmitters(markers);
  ASSERT_EQ(1, ExtractHardpoints(&model_, Context()));
  ASSERT_EQ(1, ExtractEmitters(&model_, Context()));

  FILE* hardpointFile = OpenFileWide(dir_.Wide("roundtrip_hps.txt").c_str(), "rb");
  FILE* emitterFile = OpenFileWide(dir_.Wide("roundtrip_ems.txt").c_str(), "rb");
  ASSERT_NE(nullptr, hardpointFile);
  ASSERT_NE(nullptr, emitterFile);
  EXPECT_EQ(1, ReadHardpointFile(hardpointFile));
  EXPECT_EQ(1, ReadEmitterFile(emitterFile));
  fclose(hardpointFile);
  fclose(emitterFile);

  ASSERT_EQ(4, textHardpointCount);
  ASSERT_EQ(4, textEmitterCount);
  auto sixDecimals = [](float value) {
    char text[64];
    std::snprintf(text, sizeof text, "%f", static_cast<double>(value));
    return std::string(text);
  };
  for (int i = 0; i < 4; ++i) {
    EXPECT_STREQ(model_.hardpoints[i].name, textHardpoints[i].name);
    EXPECT_STREQ(model_.emitters[i].name, textEmitters[i].name);
    EXPECT_STREQ(model_.emitters[i].emitterName, textEmitters[i].emitterName);
    for (int row = 0; row < 4; ++row) {
      for (int column = 0; column < 3; ++column) {
        EXPECT_EQ(sixDecimals(model_.hardpoints[i].transform.m[row][column]),
                  sixDecimals(textHardpoints[i].transform.m[row][column]));
        EXPECT_EQ(sixDecimals(model_.emitters[i].transform.m[row][column]),
                  sixDecimals(textEmitters[i].transform.m[row][column]));
      }
      EXPECT_EQ(0.0f, textHardpoints[i].transform.m[row][3]);
    }
  }
  ReleaseHardpointList();
  ReleaseEmitterList();
}
