// Side text files ticked in the export dialog reach the written file as group and
// marker nodes; the lists they were loaded into are gone after every write.
#include <gtest/gtest.h>

#include "support/export_fixture.h"
#include "support/written_sod.h"

namespace {

const char kHardpoints[] =
    "# ST Armada SOD hardpoints extracted by host 1.\n# num_hardpoints: 2\n\n"
    "# Format: <node name> <3x4 transformation matrix>\n\n"
    "hp01  1.000000 0.000000 0.000000  0.000000 1.000000 0.000000  0.000000 0.000000 1.000000  0.000000 2.500000 "
    "-10.000000\n"
    "HP02_weapon  1 0 0  0 1 0  0 0 1  3 0 4\n";
const char kEmitters[] = "engine_left  warp_trail  1 0 0  0 1 0  0 0 1  -0.75 0 2.1\n";
const char kSprites[] = "# a comment line\nlight_red\t0 1 0 -1 0 0 0 0 1 -1 0 0\n";

// The same text with CR LF line ends, as a text-mode writer on Windows leaves it.
std::string WithCrLf(const std::string& text) {
  std::string out;
  for (char c : text) out += c == '\n' ? std::string("\r\n") : std::string(1, c);
  return out;
}

void SetPath(char16_t* field, const std::u16string& path) {
  std::copy(path.begin(), path.end(), field);
  field[path.size()] = 0;
}

}  // namespace

TEST(SodWriterSideText, MarkerNodesFromTheThreeFiles) {
  for (bool crlf : {false, true}) {
    SCOPED_TRACE(crlf ? "CR LF" : "LF");
    ExportStateGuard guard;
    TempDir dir;
    dir.Write("ship_hps.txt", crlf ? WithCrLf(kHardpoints) : kHardpoints);
    dir.Write("ship_ems.txt", crlf ? WithCrLf(kEmitters) : kEmitters);
    dir.Write("ship_sps.txt", crlf ? WithCrLf(kSprites) : kSprites);
    exportOptions.gameVersion = kGameArmada2;
    exportOptions.useHardpointFile = 1;
    exportOptions.useEmitterFile = 1;
    exportOptions.useSpriteFile = 1;
    SetPath(exportOptions.hardpointFilePath, dir.Wide("ship_hps.txt"));
    SetPath(exportOptions.emitterFilePath, dir.Wide("ship_ems.txt"));
    SetPath(exportOptions.spriteFilePath, dir.Wide("ship_sps.txt"));
    host::HostScene scene;
    ASSERT_EQ(1, WriteSceneTo(scene, dir, "ship.sod"));
    EXPECT_EQ(0, textHardpointCount);
    EXPECT_EQ(0, textEmitterCount);
    EXPECT_EQ(0, textSpriteCount);
    WrittenSod sod = ParseWrittenSod(dir.Read("ship.sod"));
    ASSERT_TRUE(sod.complete);
    ASSERT_EQ(8, sod.nodeCount);
    const char* names[] = {"Scene Root", "hardpoints",  "hp01",    "HP02_weapon",
                           "emitters",   "engine_left", "sprites", "light_red"};
    const uint16_t kinds[] = {0, 0, 0, 0, 0, 12, 0, 3};
    for (size_t i = 0; i < 8; ++i) {
      EXPECT_EQ(names[i], sod.nodes[i].name);
      EXPECT_EQ(kinds[i], sod.nodes[i].kind);
    }
    EXPECT_EQ((std::array<float, 12>{1, 0, 0, 0, 1, 0, 0, 0, 1, 0, 2.5f, -10}), sod.nodes[2].transform);
    EXPECT_EQ((std::array<float, 12>{1, 0, 0, 0, 1, 0, 0, 0, 1, 3, 0, 4}), sod.nodes[3].transform);
    EXPECT_EQ("warp_trail", sod.nodes[5].emitterName);
    EXPECT_EQ(-0.75f, sod.nodes[5].transform[9]);
    EXPECT_EQ(2.1f, sod.nodes[5].transform[11]);
    EXPECT_EQ((std::array<float, 12>{0, 1, 0, -1, 0, 0, 0, 0, 1, -1, 0, 0}), sod.nodes[7].transform);
  }
}

TEST(SodWriterSideText, UntickedFilesAreNotReadAndEmptyOnesLeaveTheGroup) {
  ExportStateGuard guard;
  TempDir dir;
  dir.Write("hps.txt", kHardpoints);
  dir.Write("empty.txt", "# nothing here\n\n");
  SetPath(exportOptions.hardpointFilePath, dir.Wide("hps.txt"));
  exportOptions.useSpriteFile = 1;
  SetPath(exportOptions.spriteFilePath, dir.Wide("empty.txt"));
  host::HostScene scene;
  ASSERT_EQ(1, WriteSceneTo(scene, dir, "ship.sod"));
  WrittenSod sod = ParseWrittenSod(dir.Read("ship.sod"));
  ASSERT_TRUE(sod.complete);
  ASSERT_EQ(2, sod.nodeCount);
  EXPECT_EQ("sprites", sod.nodes[1].name);
}

TEST(SodWriterSideText, ListsReleasedWhenTheTargetCannotBeOpened) {
  ExportStateGuard guard;
  TempDir dir;
  dir.Write("hps.txt", kHardpoints);
  exportOptions.useHardpointFile = 1;
  SetPath(exportOptions.hardpointFilePath, dir.Wide("hps.txt"));
  host::HostScene scene;
  EXPECT_EQ(0, WriteSceneTo(scene, dir, "missing/ship.sod"));
  EXPECT_EQ(nullptr, textHardpoints);
  EXPECT_EQ(0, textHardpointCount);
}
