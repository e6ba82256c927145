// The import from file to scene: the sample model read by the reader, the import
// dialog answered through the host's dialog driver, the side files written beside the
// SOD file before the build, and the scene the plug-in built.
#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <string>
#include <vector>

#include "import/import_options.h"
#include "interface/host_scene.h"
#include "interface/ui_driver.h"
#include "platform/win32_api.h"
#include "plugin/operations.h"
#include "resource_ids.h"
#include "sample/frigate_sample.h"
#include "support/temp_dir.h"
#include "support/ui_script.h"

namespace {

std::string ReadFile(const std::string& path) {
  std::ifstream in(path, std::ios::binary);
  return std::string(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
}

const std::string kSamplePath = std::string(KVELTAR_SOURCE_DIR) + "/docs/sample/frigate.sod";
const std::string kGoldenDir = std::string(KVELTAR_TEST_DATA) + "/sample/";
const char* const kSideFiles[] = {"frigate_hps.txt", "frigate_ems.txt", "frigate_sps.txt"};

host::UiAnswer ImportAnswer(std::vector<host::UiAction> actions, int button = IDOK) {
  return ui_script::DialogAnswer(u"Import ST Armada Model", std::move(actions), button);
}

host::UiAction Check(int id) { return ui_script::SetCheck(id); }

class SampleImport : public testing::Test {
 protected:
  void SetUp() override {
    saved_ = importOptions;
    importOptions = ImportOptions{0, 0, 0, 0, 0, 0};
    directory_ = std::filesystem::current_path();
    dir.Write("frigate.sod", ReadFile(kSamplePath));
    scene.SetFilePath(dir.Wide("frigate.sod"));
  }
  // The build makes the SOD file's folder current; it is left before it is removed.
  void TearDown() override {
    importOptions = saved_;
    std::filesystem::current_path(directory_);
  }

  int32_t ReadAndImport(std::vector<host::UiAnswer> answers) {
    HostContext* context = static_cast<HostContext*>(scene.Context());
    if (ReadSodFile(context) != 1) return -1;
    host::UiDriver driver(std::move(answers), false);
    scene.SetOwnerWindow(driver.OwnerWindow());
    return driver.Run([&] { return RunImport(context, &module_); });
  }

  TempDir dir;
  host::HostScene scene;

 private:
  ImportOptions saved_;
  std::filesystem::path directory_;
  int module_ = 0;
};

}  // namespace

// The committed sample is what its generator makes (KVELTAR_UPDATE_SAMPLE=1 rewrites it).
TEST(SampleModel, CommittedFileMatchesItsGenerator) {
  std::string made = sample::FrigateSampleSod();
  if (std::getenv("KVELTAR_UPDATE_SAMPLE") != nullptr) {
    std::ofstream(kSamplePath, std::ios::binary) << made;
  }
  EXPECT_EQ(made, ReadFile(kSamplePath));
}

TEST_F(SampleImport, BuildsTheSelectedMeshesWithTheirMaterials) {
  ASSERT_EQ(1, ReadAndImport({ImportAnswer({})}));
  // borg_plating starts unselected: hull and the two engines come in.
  ASSERT_EQ(3, scene.PartCount());
  EXPECT_EQ(u"hull", scene.PartName(0));
  EXPECT_EQ(u"engine", scene.PartName(2));
  EXPECT_EQ(24, scene.VertexCount());
  EXPECT_EQ(3, scene.MaterialCount());
  EXPECT_TRUE(scene.Finished());
}

TEST_F(SampleImport, SideFilesAreWrittenBesideTheFileAsExpected) {
  ASSERT_EQ(1,
            ReadAndImport({ImportAnswer({Check(IDC_IMPORT_EXTRACT_HARDPOINTS), Check(IDC_IMPORT_EXTRACT_EMITTERS),
                                         Check(IDC_IMPORT_EXTRACT_SPRITES), Check(IDC_IMPORT_CONVERT_HARDPOINTS)})}));
  for (const char* name : kSideFiles) {
    SCOPED_TRACE(name);
    ASSERT_TRUE(dir.Exists(name));
    // The same bytes as the Windows build writes (its test compares with these too).
    EXPECT_EQ(ReadFile(kGoldenDir + name), dir.Read(name));
  }
  // The extraction sorted the hardpoints before the build met them.
  ASSERT_EQ(6, scene.PartCount());
  EXPECT_EQ(u"hp_phaser_aft", scene.PartName(3));
  EXPECT_EQ(u"hp_phaser_fore", scene.PartName(4));
  EXPECT_EQ(u"HP_torpedo", scene.PartName(5));
}

TEST_F(SampleImport, SideFilesAreWrittenBeforeTheBuild) {
  scene.FailService("CreateMaterial", 1);
  EXPECT_EQ(0, ReadAndImport({ImportAnswer({Check(IDC_IMPORT_EXTRACT_SPRITES)})}));
  EXPECT_TRUE(dir.Exists("frigate_sps.txt"));
  EXPECT_FALSE(dir.Exists("frigate_hps.txt"));
  EXPECT_EQ(0, scene.MaterialCount());
}

TEST_F(SampleImport, CancelWritesNothingAndBuildsNothing) {
  EXPECT_EQ(2, ReadAndImport({ImportAnswer({Check(IDC_IMPORT_EXTRACT_HARDPOINTS)}, IDCANCEL)}));
  EXPECT_EQ(1u, dir.Count());
  EXPECT_EQ(0, scene.MaterialCount());
  EXPECT_EQ(0, importOptions.extractHardpoints);
}
