// The import through the real kveltar_64.dlx, the way the host drives it: describe,
// then the read and import operations, with the import dialog answered by control id.
#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <nlohmann/json.hpp>
#include <string>
#include <vector>

#include "interface/host_layout.h"
#include "interface/host_scene.h"
#include "interface/ui_driver.h"
#include "resource_ids.h"
#include "support/sod_builder.h"
#include "support/temp_dir.h"
#include "support/ui_script.h"
#include "wine/plugin_module.h"
#include "wine/snapshot_json.h"

namespace {

using nlohmann::json;
typedef int32_t (*OperationFn)(uint32_t, void*, void*, intptr_t);

constexpr uint32_t kRead = 0x10018;
constexpr uint32_t kImport = 0x1001F;

int32_t AcceptExtension(void*, void*) { return 1; }

// The plug-in's operation callback, as describe hands it to the host.
OperationFn Operations() {
  std::vector<void*> hostTable(8, nullptr);
  hostTable[3] = reinterpret_cast<void*>(&AcceptExtension);
  std::vector<uint8_t> info(2388, 0);
  layout::Put<void*>(info.data(), 0, hostTable.data());
  if (ThePlugin().proc(0x10016, info.data()) != 1) return nullptr;
  return layout::Get<OperationFn>(info.data(), 40);
}

std::string ReadFile(const std::string& path) {
  std::ifstream in(path, std::ios::binary);
  return std::string(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
}

host::UiAction Check(int id, int value = 1) { return ui_script::SetCheck(id, value); }

host::UiAnswer Answer(std::vector<host::UiAction> actions, int button) {
  return ui_script::DialogAnswer(u"Import ST Armada Model", std::move(actions), button);
}

const json& Control(const json& snapshot, int id) { return ControlInSnapshot(snapshot, id); }

const int kBoxes[] = {1002, 1003, 1004, 1005, 1006, 1007};

class DllImport : public testing::Test {
 protected:
  void SetUp() override {
    directory_ = std::filesystem::current_path();
    operations_ = Operations();
    ASSERT_NE(nullptr, operations_);
  }
  // The build makes the SOD file's folder current; it is left before it is removed.
  void TearDown() override { std::filesystem::current_path(directory_); }

  void UseFile(const std::string& name, const std::string& bytes) {
    dir.Write(name, bytes);
    path_ = dir.Wide(name);
  }

  int32_t Read(host::HostScene* scene) {
    scene->SetFilePath(path_);
    return operations_(kRead, scene->Context(), ThePlugin().module, 0);
  }

  // The import operation with `answer` for its dialog; the dialog's first snapshot
  // (as it opened) and the rest land in `shown`.
  int32_t Import(host::HostScene* scene, const host::UiAnswer& answer) {
    host::UiDriver driver({answer}, false);
    scene->SetOwnerWindow(driver.OwnerWindow());
    int32_t result = driver.Run([&] { return operations_(kImport, scene->Context(), ThePlugin().module, 0); });
    shown = json::array();
    records = driver.Records();
    if (!records.empty()) {
      for (const auto& s : records[0].snapshots) shown.push_back(json(s));
    }
    return result;
  }

  // Leaves the plug-in's remembered boxes all unticked for the next test.
  void UntickAll() {
    host::HostScene scene;
    std::vector<host::UiAction> untick;
    for (int id : kBoxes) untick.push_back(Check(id, 0));
    Import(&scene, Answer(untick, IDOK));
  }

  TempDir dir;
  json shown;
  std::vector<host::UiRecord> records;

 private:
  std::filesystem::path directory_;
  OperationFn operations_ = nullptr;
  std::u16string path_;
};

}  // namespace

TEST_F(DllImport, SampleWithEverySideFile) {
  UseFile("frigate.sod", ReadFile(std::string(KVELTAR_SOURCE_DIR) + "/docs/sample/frigate.sod"));
  host::HostScene scene;
  ASSERT_EQ(1, Read(&scene));
  EXPECT_EQ(1, Import(&scene, Answer({Check(1002), Check(1003), Check(1004), Check(1006)}, IDOK)));
  for (const char* name : {"frigate_hps.txt", "frigate_ems.txt", "frigate_sps.txt"}) {
    SCOPED_TRACE(name);
    ASSERT_TRUE(dir.Exists(name));
    // Byte for byte what the native build writes (its tests compare with these too).
    EXPECT_EQ(ReadFile(std::string(KVELTAR_TEST_DATA) + "/sample/" + name), dir.Read(name));
  }
  ASSERT_EQ(6, scene.PartCount());
  EXPECT_EQ(u"hull", scene.PartName(0));
  EXPECT_EQ(u"hp_phaser_aft", scene.PartName(3));
  EXPECT_EQ(36, scene.VertexCount());
  EXPECT_TRUE(scene.Finished());
  EXPECT_TRUE(scene.Traps().empty());
  ASSERT_EQ(1u, records.size());
  EXPECT_TRUE(records[0].ownerIsHostWindow);
  EXPECT_EQ((records[0].screenWidth - records[0].width) / 2, records[0].left);
  EXPECT_EQ((records[0].screenHeight - records[0].height) / 2, records[0].top);
  UntickAll();
}

TEST_F(DllImport, OptionsCarryOverAndCancelLeavesAnEmptyModel) {
  sodtest::SodFileSpec file;
  file.versionBits = sodtest::kV16;
  file.materials = {sodtest::Material("steel")};
  for (const char* name : {"borg_hull", "hullBorg", "BORG_hull"}) {
    file.nodes.push_back(sodtest::MeshNode(name, {"steel"}, ""));
  }
  UseFile("cube.sod", sodtest::BuildSod(file));

  // First import: tick "Convert To Geometry / Hardpoints" and import.
  host::HostScene first;
  ASSERT_EQ(1, Read(&first));
  ASSERT_EQ(1, Import(&first, Answer({Check(1006)}, IDOK)));
  EXPECT_EQ("1.60\n", Control(shown[0], IDC_IMPORT_VERSION)["text"]);
  const json& items = Control(shown[0], IDC_IMPORT_MESH_LIST)["items"];
  ASSERT_EQ(3u, items.size());
  EXPECT_FALSE(items[0]["selected"].get<bool>());
  EXPECT_FALSE(items[1]["selected"].get<bool>());
  EXPECT_TRUE(items[2]["selected"].get<bool>());
  EXPECT_EQ(1, first.PartCount());

  // Second import of a new read: the box is still ticked; clicking another and
  // cancelling answers 2 and changes nothing.
  host::HostScene second;
  ASSERT_EQ(1, Read(&second));
  EXPECT_EQ(2, Import(&second, Answer({Check(1003)}, IDCANCEL)));
  EXPECT_EQ(1, Control(shown[0], 1006)["checked"]);
  EXPECT_EQ(0, Control(shown[0], 1003)["checked"]);
  EXPECT_EQ(0, second.MaterialCount());
  EXPECT_EQ(0u, dir.Count() - 1);  // no side file

  // Third import without a read: the model was released, the boxes are as before.
  host::HostScene third;
  EXPECT_EQ(1, Import(&third, Answer({}, IDOK)));
  EXPECT_EQ("0\n", Control(shown[0], IDC_IMPORT_MESH_NODES)["text"]);
  EXPECT_TRUE(Control(shown[0], IDC_IMPORT_MESH_LIST)["items"].empty());
  EXPECT_FALSE(Control(shown[0], IDC_IMPORT_SELECT_ALL)["enabled"].get<bool>());
  EXPECT_EQ(1, Control(shown[0], 1006)["checked"]);
  EXPECT_EQ(0, Control(shown[0], 1003)["checked"]);
  EXPECT_EQ(0, third.MaterialCount());
  UntickAll();
}
