// Bad input and failures of the read: every prefix of valid files, counts that lie,
// damaged bytes, allocation failures, and the read operation on files.
#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <iterator>
#include <random>
#include <string>
#include <vector>

#include "common/host_text.h"
#include "common/memory.h"
#include "support/sod_builder.h"
#include "support/sod_parse.h"

using namespace sodtest;

namespace {

// Valid files that end right after their last node, so that every shorter prefix
// lacks something the reader needs.
std::vector<std::string> FilesWithoutEndSection() {
  std::vector<std::string> files;
  for (uint32_t bits : {kV16, kV191, kV192, kV193}) {
    SodFileSpec s = RichSodSpec(bits);
    s.endSection = false;
    if (bits == kV191) s.identifier = "Mad3D_SW";
    if (bits == kV193) s.nodes.push_back(MeshNode("last_mesh", {"hull"}));
    files.push_back(BuildSod(s));
  }
  return files;
}

// The model after a failed parse, and the reader's own cursor, hold nothing.
void ExpectNothingHeld(const ImportedModel& model) {
  EXPECT_TRUE(ModelIsEmpty(model));
  EXPECT_EQ(nullptr, readerCursor.data);
  EXPECT_EQ(0u, readerCursor.size);
  EXPECT_EQ(0u, readerCursor.position);
}

class SodReaderFailure : public testing::Test {
 protected:
  void TearDown() override {
    SetAllocationFailure(0);
    ResetImport(&importedModel, &readerCursor);
  }
  TempDir dir_;
};

}  // namespace

TEST_F(SodReaderFailure, EveryPrefixOfAValidFileFailsCleanly) {
  for (const std::string& file : FilesWithoutEndSection()) {
    host::HostScene scene;
    for (size_t length = 0; length < file.size(); ++length) {
      ImportedModel model = {};
      ASSERT_EQ(0, ParseBytes(file.substr(0, length), &model, ContextOf(scene))) << length;
      ASSERT_TRUE(ModelIsEmpty(model)) << length;
    }
    EXPECT_EQ(u"", scene.ErrorTextWide());  // a file cut short has no message
    ImportedModel model = {};
    EXPECT_EQ(1, ParseBytes(file, &model, ContextOf(scene)));
    FreeImportedModel(&model);
  }
}

TEST_F(SodReaderFailure, EveryPrefixThroughTheReadOperation) {
  const std::string file = FilesWithoutEndSection()[3];
  for (size_t length = 0; length < file.size(); length += 7) {
    HostRead read = ReadFileThroughHost(file.substr(0, length), dir_);
    ASSERT_EQ(0, read.result) << length;
    ASSERT_EQ(u"", read.wide);
    ExpectNothingHeld(importedModel);
  }
  EXPECT_EQ(1, ReadFileThroughHost(file, dir_).result);
}

TEST_F(SodReaderFailure, CountsThatLieFailBeforeAnythingIsAllocated) {
  struct Case {
    const char* what;
    SodFileSpec file;
  };
  std::vector<Case> cases;
  auto add = [&](const char* what, auto change) {
    SodFileSpec s = RichSodSpec(kV193);
    s.endSection = false;
    change(s);
    cases.push_back({what, s});
  };
  add("prefix count", [](SodFileSpec& s) { s.versionBits = kV16, s.prefixCount = 0xFFFF; });
  add("material count", [](SodFileSpec& s) { s.materialCount = 0xFFFF; });
  add("node count", [](SodFileSpec& s) { s.nodeCount = 0xFFFF; });
  add("vertex count", [](SodFileSpec& s) { s.nodes[1].mesh.vertexCount = 0xFFFF; });
  add("texture coordinate count", [](SodFileSpec& s) { s.nodes[1].mesh.texCoordCount = 0xFFFF; });
  add("group count", [](SodFileSpec& s) { s.nodes[1].mesh.groupCount = 0xFFFF; });
  add("face count", [](SodFileSpec& s) { s.nodes[1].mesh.groups[0].faceCount = 0xFFFF; });
  add("emitter name", [](SodFileSpec& s) { s.nodes[4].rawBody = ByteWriter().StrCount(0xFFFF, "abc").Bytes(); });
  add("no end byte",
      [](SodFileSpec& s) { s.nodes.back() = MeshNode("m", {"x"}), s.nodes.back().mesh.endBytes = false; });
  add("emitter body", [](SodFileSpec& s) {
    s.nodes.back() = NodeOfKind(12, "e");
    s.nodes.back().rawBody = "\x05";
  });
  for (const Case& c : cases) {
    ImportedModel model = {};
    const long before = AllocationsMade();
    EXPECT_EQ(0, ParseBytes(BuildSod(c.file), &model)) << c.what;
    EXPECT_EQ(before, AllocationsMade()) << c.what;
    EXPECT_TRUE(ModelIsEmpty(model)) << c.what;
  }
}

TEST_F(SodReaderFailure, EveryAllocationFailureGivesAnEmptyModel) {
  for (const std::string& file : FilesWithoutEndSection()) {
    ImportedModel model = {};
    const long before = AllocationsMade();
    ASSERT_EQ(1, ParseBytes(file, &model));
    const long allocations = AllocationsMade() - before;
    FreeImportedModel(&model);
    ASSERT_GT(allocations, 5);
    for (long nth = 1; nth <= allocations; ++nth) {
      SetAllocationFailure(nth);
      EXPECT_EQ(0, ParseBytes(file, &model)) << nth;
      EXPECT_TRUE(ModelIsEmpty(model)) << nth;
      SetAllocationFailure(0);
    }
  }
}

TEST_F(SodReaderFailure, EveryAllocationFailureOfTheReadOperation) {
  const std::string file = FilesWithoutEndSection()[2];
  const long before = AllocationsMade();
  ASSERT_EQ(1, ReadFileThroughHost(file, dir_).result);
  const long allocations = AllocationsMade() - before;
  for (long nth = 1; nth <= allocations; ++nth) {
    SetAllocationFailure(nth);
    HostRead read = ReadFileThroughHost(file, dir_);
    SetAllocationFailure(0);
    EXPECT_EQ(0, read.result) << nth;
    EXPECT_EQ(u"", read.wide) << nth;
    ExpectNothingHeld(importedModel);
  }
}

TEST_F(SodReaderFailure, DamagedBytesNeverCrashAndLeaveAWholeOrAnEmptyModel) {
  std::mt19937 random(7);
  const std::vector<std::string> files = FilesWithoutEndSection();
  for (int round = 0; round < 3000; ++round) {
    std::string bytes = files[static_cast<size_t>(round) % files.size()];
    const int changes = 1 + static_cast<int>(random() % 4);
    for (int i = 0; i < changes; ++i) {
      const size_t at = 14 + random() % (bytes.size() - 14);  // keep the header, so the passes run
      bytes[at] = static_cast<char>(random() % 3 == 0 ? 0xFF : random());
    }
    if (random() % 4 == 0) bytes.resize(14 + random() % (bytes.size() - 14));
    ImportedModel model = {};
    if (ParseBytes(bytes, &model) == 1) {
      ASSERT_EQ(model.nodeCount, model.nodesFilled);
      ASSERT_EQ(model.hardpointCount, model.hardpointsFilled);
      ASSERT_EQ(model.emitterCount, model.emittersFilled);
      ASSERT_EQ(model.spriteCount, model.spritesFilled);
      FreeImportedModel(&model);
    } else {
      ASSERT_TRUE(ModelIsEmpty(model)) << round;
    }
  }
}

TEST_F(SodReaderFailure, FuzzFindingsAndSeedsReplay) {
  const std::filesystem::path corpus = std::filesystem::path(KVELTAR_FUZZ_CORPUS) / "sod_reader_fuzz";
  if (!std::filesystem::is_directory(corpus)) GTEST_SKIP() << "no corpus at " << corpus.string();
  int files = 0;
  for (const auto& entry : std::filesystem::directory_iterator(corpus)) {
    std::ifstream in(entry.path(), std::ios::binary);
    const std::string bytes((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
    ImportedModel model = {};
    if (ParseBytes(bytes, &model) == 0) {
      EXPECT_TRUE(ModelIsEmpty(model)) << entry.path().string();
    }
    FreeImportedModel(&model);
    ++files;
  }
  EXPECT_GT(files, 0);
}

TEST_F(SodReaderFailure, AMissingFileCannotBeOpened) {
  host::HostScene scene;
  scene.SetFilePath(dir_.Wide("absent.sod"));
  EXPECT_EQ(0, ReadSodFile(ContextOf(scene)));
  EXPECT_EQ(u"Could not open file for reading.", scene.ErrorTextWide());
  EXPECT_EQ("Could not open file for reading.", scene.ErrorTextNarrow());
  ExpectNothingHeld(importedModel);
}

TEST_F(SodReaderFailure, ReadOperationKeepsAGoodFileAndReleasesItsBytes) {
  host::HostScene scene;
  dir_.Write("good.sod", BuildSod(RichSodSpec(kV193)));
  scene.SetFilePath(dir_.Wide("good.sod"));
  ASSERT_EQ(1, ReadSodFile(ContextOf(scene)));
  EXPECT_EQ(u"", scene.ErrorTextWide());
  EXPECT_EQ(dir_.Wide("good.sod"), std::u16string(importedModel.sourcePath));
  EXPECT_EQ(7, importedModel.nodeCount);
  EXPECT_EQ(nullptr, readerCursor.data);
  EXPECT_EQ(0u, readerCursor.size);

  EXPECT_EQ(0, ReadSodFile(nullptr));  // no context: the model is left alone
  EXPECT_EQ(7, importedModel.nodeCount);

  // A later read that fails leaves no trace of the earlier file, and a failure without
  // a message leaves the host's text as it was.
  SetErrorText(ContextOf(scene), u"earlier text");
  dir_.Write("short.sod", BuildSod(RichSodSpec(kV18)).substr(0, 40));
  scene.SetFilePath(dir_.Wide("short.sod"));
  EXPECT_EQ(0, ReadSodFile(ContextOf(scene)));
  EXPECT_EQ(u"earlier text", scene.ErrorTextWide());
  EXPECT_EQ("earlier text", scene.ErrorTextNarrow());
  ExpectNothingHeld(importedModel);
}

TEST_F(SodReaderFailure, RefusedFilesPutTheirMessageIntoBothHalves) {
  const struct {
    std::string bytes;
    std::u16string message;
  } cases[] = {
      {ByteWriter().Identifier("Storm3D_SW").U32(kV20).U16(0).U16(1).Bytes(),
       u"SOD file version not supported: 2.00\n"},
      {ByteWriter().Identifier("StarTrekDB").U32(kV193).Bytes(),
       u"SOD file header ID, StarTrekDB, version 1.93, not supported.\n"},
      {ByteWriter().Identifier("Storm3D_XX").Bytes(), u"SOD file header ID, Storm3D_SW, not found.\n"},
      {ByteWriter().Identifier("Storm3D_SW").U32(kV18).U16(0).U16(0).Bytes(), u"No SOD nodes found."},
      {"", u""},
  };
  for (const auto& c : cases) {
    HostRead read = ReadFileThroughHost(c.bytes, dir_);
    EXPECT_EQ(0, read.result);
    EXPECT_EQ(c.message, read.wide);
    EXPECT_EQ(std::string(c.message.begin(), c.message.end()), read.narrow);
    ExpectNothingHeld(importedModel);
  }
}

TEST_F(SodReaderFailure, ADirectoryIsNotAFile) {
  host::HostScene scene;
  scene.SetFilePath(dir_.Wide(""));
  EXPECT_EQ(0, ReadSodFile(ContextOf(scene)));
  ExpectNothingHeld(importedModel);
}
