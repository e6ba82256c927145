// Paths at and past the length a path field holds (259 units and the terminator) and
// paths outside the narrow code page, wherever a path enters: the file the host names
// for a read or a write, the temporary file beside it, the side files and textures
// joined to the SOD file's directory, the side text files an export loads. A path
// that fits is used whole; one that does not is refused cleanly, never cut into the
// name of another file.
#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <iterator>
#include <string>

#include "common/host_text.h"
#include "import/scene_builder.h"
#include "interface/host_layout.h"
#include "interface/host_text.h"
#include "sidetext/side_text.h"
#include "support/operation_fixture.h"
#include "support/written_sod.h"

using namespace fixture;

namespace {

constexpr size_t kFieldUnits = 260;

// A path of exactly `units` units in `dir`: its directory, then a name of 'n's with
// the extension.
std::u16string PathOfLength(const std::u16string& directory, size_t units, const std::u16string& extension) {
  return directory + std::u16string(units - directory.size() - extension.size(), u'n') + extension;
}

// Puts as much of `path` into the context's filePath as the field holds, as a host
// that does not keep the terminator would: 260 units or more leave none.
void PutRawFilePath(host::HostScene& scene, const std::u16string& path) {
  DualString& field = ContextOf(scene)->filePath;
  const std::string narrow = host::ToAnsi(path);
  for (size_t i = 0; i < kFieldUnits; ++i) {
    field.wide[i] = i < path.size() ? path[i] : 0;
    field.narrow[i] = i < narrow.size() ? narrow[i] : 0;
  }
}

std::filesystem::path FsPath(const std::u16string& path) { return std::filesystem::path(path); }

struct LengthCase {
  size_t units;  // the path the host has
  bool whole;    // the field holds it with its terminator
};

const LengthCase kLengths[] = {{259, true}, {260, false}, {1000, false}};

}  // namespace

// The host names a file whose path is 259 units long, or a longer one of which the
// field holds only the first 260 units. Another file lies at the first 259 units of
// the longer path: cut, the path would name it.
TEST(HostileInputPaths, ReadOfAFilePathAtAndPastTheFieldLength) {
  for (const LengthCase& c : kLengths) {
    SCOPED_TRACE(c.units);
    StateGuard guard;
    TempDir dir;
    const std::u16string full = PathOfLength(dir.Wide(""), c.units, u".sod");
    const std::u16string first259 = full.substr(0, 259);
    {
      std::ofstream out(FsPath(first259), std::ios::binary);
      out << ModelSod();
    }
    host::HostScene scene;
    PutRawFilePath(scene, full);
    const int32_t result = RunOperation(PLUGIN_OP_READ, scene);
    if (c.whole) {
      EXPECT_EQ(1, result);
      EXPECT_EQ(full, std::u16string(importedModel.sourcePath));
      continue;
    }
    EXPECT_EQ(0, result);
    EXPECT_EQ(u"Could not open file for reading.", scene.ErrorTextWide());
    EXPECT_TRUE(ModelReleased());
  }
}

TEST(HostileInputPaths, WriteToAFilePathAtAndPastTheFieldLength) {
  for (const LengthCase& c : kLengths) {
    SCOPED_TRACE(c.units);
    StateGuard guard;
    TempDir dir;
    host::HostScene scene;
    BuildExportScene(scene);
    scene.Triangulate();
    const std::u16string full = PathOfLength(dir.Wide(""), c.units, u".sod");
    PutRawFilePath(scene, full);
    const int32_t result = RunOperation(PLUGIN_OP_WRITE, scene);
    if (c.whole) {
      EXPECT_EQ(1, result);
      EXPECT_TRUE(ParseWrittenSod(dir.Read(std::filesystem::path(full).filename().string())).complete);
      EXPECT_EQ(1u, dir.Count());
      continue;
    }
    EXPECT_EQ(0, result);
    EXPECT_EQ(u"Could not open file for writing.", scene.ErrorTextWide());
    EXPECT_EQ(0u, dir.Count()) << "no file at the first 259 units, no temporary file";
  }
}

// The file is written beside its target under a temporary name of 11 units, or, in a
// directory too deep for that, of "~" and as many hex digits as fit: a target of 259
// units is written in directories of 240, 250 and 257 units. Only a directory of 258,
// where the target's own name has one unit, leaves no room, and the write is refused
// with nothing created.
TEST(HostileInputPaths, TheTemporaryFileBesideALongTarget) {
  for (size_t directoryUnits : {240u, 250u, 257u, 258u}) {
    SCOPED_TRACE(directoryUnits);
    StateGuard guard;
    TempDir dir;
    const std::u16string base = dir.Wide("");
    const std::u16string deep = base + std::u16string(directoryUnits - base.size() - 1, u'd') + base.back();
    ASSERT_EQ(directoryUnits, deep.size());
    std::filesystem::create_directories(FsPath(deep));
    host::HostScene scene;
    BuildExportScene(scene);
    scene.Triangulate();
    const std::u16string target = deep + std::u16string(259 - directoryUnits, u'n');
    scene.SetFilePath(target);
    const int32_t result = RunOperation(PLUGIN_OP_WRITE, scene);
    const bool fits = directoryUnits < 258;
    EXPECT_EQ(fits ? 1 : 0, result);
    EXPECT_EQ(fits, std::filesystem::exists(FsPath(target)));
    EXPECT_EQ(fits ? u"" : u"Could not open file for writing.", scene.ErrorTextWide());
    EXPECT_EQ(fits ? 1 : 0, std::distance(std::filesystem::directory_iterator(FsPath(deep)), {}));
  }
}

// A SOD file read from a path of 259 units: its side files ("_hps.txt" where the file
// has ".sod") would need 263 and are refused; its textures joined to a directory of
// 250 units do not fit either. The build goes on without them.
TEST(HostileInputPaths, SideFilesAndTexturesJoinedToALongDirectory) {
  struct Case {
    size_t directoryUnits;  // 0: a short one
    bool sideFiles, textures;
  };
  for (const Case& c : {Case{0, false, true}, Case{250, false, false}, Case{200, true, true}}) {
    SCOPED_TRACE(c.directoryUnits);
    StateGuard guard;
    TempDir dir;
    const std::u16string base = dir.Wide("");
    const size_t units = c.directoryUnits == 0 ? base.size() + 10 : c.directoryUnits;
    const std::u16string deep = base + std::u16string(units - base.size() - 1, u'd') + base.back();
    std::filesystem::create_directories(FsPath(deep));
    const std::u16string sod = c.sideFiles ? deep + u"ship.sod" : PathOfLength(deep, 259, u".sod");
    {
      std::ofstream out(FsPath(sod), std::ios::binary);
      out << ModelSod();
    }
    host::HostScene scene;
    scene.SetFilePath(sod);
    ASSERT_EQ(1, RunOperation(PLUGIN_OP_READ, scene));
    EXPECT_EQ(c.sideFiles ? 1 : 0, ExtractHardpoints(&importedModel, ContextOf(scene)));
    EXPECT_EQ(c.sideFiles ? 1 : 0, ExtractSprites(&importedModel, ContextOf(scene)));
    for (int32_t i = 0; i < importedModel.nodeCount; ++i) importedModel.nodes[i].selected = 1;
    importOptions.convertHardpoints = 1;
    EXPECT_EQ(1, BuildScene(&importedModel, ContextOf(scene)));
    EXPECT_EQ(c.sideFiles ? 3 : 1, std::distance(std::filesystem::directory_iterator(FsPath(deep)), {}));
    // Material 2 is "hull", with the texture of the mesh that uses it.
    const uint8_t* map = scene.MaterialMap(2, 0);
    ASSERT_EQ(c.textures, map != nullptr);
    EXPECT_EQ(c.textures ? deep + u"hulltex.tga" : u"",
              map != nullptr ? layout::WideField(map, layout::kMapPath) : u"");
  }
}

// Folders and files named in characters the narrow code page does not have are
// opened by their wide names: the model read, its side files written beside it, its
// textures named, and an export that loads side text files and writes there.
TEST(HostileInputPaths, PathsOutsideTheNarrowCodePage) {
  StateGuard guard;
  TempDir dir;
  const std::u16string folder = dir.Wide("") + u"\u6a21\u578b_\u00e9\u0436" + dir.Wide("").back();
  std::filesystem::create_directories(FsPath(folder));
  {
    std::ofstream out(FsPath(folder + u"\u8239.sod"), std::ios::binary);
    out << ModelSod();
  }
  host::HostScene scene;
  scene.SetFilePath(folder + u"\u8239.sod");
  ASSERT_EQ(1, RunOperation(PLUGIN_OP_READ, scene));
  EXPECT_EQ(1, ExtractHardpoints(&importedModel, ContextOf(scene)));
  EXPECT_EQ(1, ExtractEmitters(&importedModel, ContextOf(scene)));
  EXPECT_TRUE(std::filesystem::exists(FsPath(folder + u"\u8239_hps.txt")));
  EXPECT_TRUE(std::filesystem::exists(FsPath(folder + u"\u8239_ems.txt")));
  for (int32_t i = 0; i < importedModel.nodeCount; ++i) importedModel.nodes[i].selected = 1;
  ASSERT_EQ(1, BuildScene(&importedModel, ContextOf(scene)));
  const uint8_t* map = scene.MaterialMap(2, 0);
  ASSERT_NE(nullptr, map);
  EXPECT_EQ(folder + u"hulltex.tga", layout::WideField(map, layout::kMapPath));
  EXPECT_EQ(host::ToAnsi(folder + u"hulltex.tga"), layout::NarrowField(map, layout::kMapPath));

  // The extracted hardpoint file, loaded by an export from its wide name.
  host::HostScene ship;
  BuildExportScene(ship);
  ship.Triangulate();
  exportOptions.useHardpointFile = 1;
  const std::u16string hardpoints = folder + u"\u8239_hps.txt";
  std::copy(hardpoints.c_str(), hardpoints.c_str() + hardpoints.size() + 1, exportOptions.hardpointFilePath);
  ship.SetFilePath(folder + u"\u51fa.sod");
  ASSERT_EQ(1, RunOperation(PLUGIN_OP_WRITE, ship));
  std::ifstream in(FsPath(folder + u"\u51fa.sod"), std::ios::binary);
  const WrittenSod sod = ParseWrittenSod(std::string(std::istreambuf_iterator<char>(in), {}));
  ASSERT_TRUE(sod.complete);
  ASSERT_EQ(1u + 3u + 1u + 2u, sod.nodes.size());
  EXPECT_EQ("HP_aft", sod.nodes[5].name);
  EXPECT_EQ("hp_fore", sod.nodes[6].name);
}
