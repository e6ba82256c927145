// The read operation of the real DLL, reached through the callback its describe call
// hands to the host, on files written by the test builder.
#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <string>
#include <vector>

#include "interface/host_layout.h"
#include "interface/host_scene.h"
#include "support/sod_builder.h"
#include "support/temp_dir.h"
#include "wine/plugin_module.h"

using namespace sodtest;

namespace {

typedef int32_t (*OperationFn)(uint32_t, void*, void*, intptr_t);
constexpr uint32_t kOperationRead = 0x10018;

int32_t AcceptExtension(void*, void*) { return 1; }

// Describes the plug-in as the host does and returns its operation callback.
OperationFn DescribedOperation() {
  std::vector<void*> hostTable(layout::kHostTableEntries, nullptr);
  hostTable[layout::kHostTableRegisterExtension] = reinterpret_cast<void*>(&AcceptExtension);
  std::vector<uint8_t> record(layout::kInfoBytes, 0);
  layout::Put<void*>(record.data(), layout::kInfoHostTable, hostTable.data());
  if (ThePlugin().proc(0x10016, record.data()) != 1) return nullptr;
  return layout::Get<OperationFn>(record.data(), layout::kInfoOperationProc);
}

struct ReadOutcome {
  int32_t result;
  std::u16string wide;
  std::string narrow;
};

ReadOutcome ReadThroughDll(const std::u16string& path) {
  OperationFn operation = DescribedOperation();
  if (operation == nullptr) return {-1, u"", ""};
  host::HostScene scene;
  scene.SetFilePath(path);
  const int32_t result = operation(kOperationRead, scene.Context(), ThePlugin().module, 0);
  EXPECT_TRUE(scene.Traps().empty());
  return {result, scene.ErrorTextWide(), scene.ErrorTextNarrow()};
}

}  // namespace

TEST(RealDllRead, GoodFilesOfEveryVersionAreRead) {
  TempDir dir;
  for (uint32_t bits : kAllVersions) {
    dir.Write("good.sod", BuildSod(RichSodSpec(bits)));
    ReadOutcome read = ReadThroughDll(dir.Wide("good.sod"));
    EXPECT_EQ(1, read.result) << std::hex << bits;
    EXPECT_EQ(u"", read.wide);
  }
}

TEST(RealDllRead, APathOutsideTheNarrowCodePageIsOpenedByItsWideName) {
  TempDir dir;
  const std::u16string name = u"\u6a21\u578b_\u00e9\u0436.sod";
  {
    std::ofstream out(dir.Path() / std::filesystem::path(name), std::ios::binary);
    out << BuildSod(RichSodSpec(kV18));
  }
  EXPECT_EQ(1, ReadThroughDll((dir.Path() / std::filesystem::path(name)).u16string()).result);
}

TEST(RealDllRead, MissingAndRefusedFilesReportInBothHalves) {
  TempDir dir;
  ReadOutcome missing = ReadThroughDll(dir.Wide("absent.sod"));
  EXPECT_EQ(0, missing.result);
  EXPECT_EQ(u"Could not open file for reading.", missing.wide);
  EXPECT_EQ("Could not open file for reading.", missing.narrow);

  const struct {
    std::string bytes;
    std::string message;
  } cases[] = {
      {ByteWriter().Identifier("Storm3D_SW").U32(kV20).U16(0).U16(1).Bytes(), "SOD file version not supported: 2.00\n"},
      {ByteWriter().Identifier("StarTrekDB").U32(kV193).Bytes(),
       "SOD file header ID, StarTrekDB, version 1.93, not supported.\n"},
      {ByteWriter().Identifier("NotASodXX").U32(kV18).Bytes(), "SOD file header ID, Storm3D_SW, not found.\n"},
      {ByteWriter().Identifier("Mad3D_SW").U32(kV19).U16(0).U16(0).Bytes(), "No SOD nodes found."},
      {BuildSod(RichSodSpec(kV193)).substr(0, 300), ""},
      {"", ""},
  };
  for (const auto& c : cases) {
    dir.Write("refused.sod", c.bytes);
    ReadOutcome read = ReadThroughDll(dir.Wide("refused.sod"));
    EXPECT_EQ(0, read.result) << c.message;
    EXPECT_EQ(std::u16string(c.message.begin(), c.message.end()), read.wide);
    EXPECT_EQ(c.message, read.narrow);
  }
}
