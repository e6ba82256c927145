// The fault matrix of the file operations, in both builds: every allocation the
// plug-in makes failing in turn during a read, a write, each side text read and each
// extraction, and the stream falling short at every byte of a SOD write and of each
// side file extraction. A clean run counts the allocations or bytes first; each case
// then ends with the result the operation documents, and nothing half done is left:
// no file cut short, no temporary file, no text list or model kept.
#include <gtest/gtest.h>

#include <cstdio>
#include <string>
#include <vector>

#include "common/host_text.h"
#include "platform/file_system.h"
#include "sidetext/side_text.h"
#include "support/operation_fixture.h"
#include "support/written_sod.h"

using namespace fixture;

namespace {

const char kOldContents[] = "the file that was there before";
const char16_t kEarlierText[] = u"earlier text";

// The files of one case: the model to read, the side text files to load, and an
// older file at every target.
struct Files {
  Files() {
    dir.Write("ship.sod", ModelSod());
    WriteSideTextFiles(dir);
    for (const char* target : {"out.sod", "ship_hps.txt", "ship_ems.txt", "ship_sps.txt"})
      dir.Write(target, kOldContents);
    SetErrorText(ContextOf(scene), kEarlierText);
  }
  HostContext* Context() { return ContextOf(scene); }

  TempDir dir;
  host::HostScene scene;
};

// Runs `operation` with the `failing`-th allocation failing (0: none) and counts the
// allocations it asked for.
template <typename Operation>
int32_t WithAllocationFailure(long failing, long* allocations, Operation operation) {
  const long before = AllocationsMade();
  SetAllocationFailure(failing);
  const int32_t result = operation();
  SetAllocationFailure(0);
  *allocations = AllocationsMade() - before;
  return result;
}

// --- Allocation rows ------------------------------------------------------------

void ReadCase(long failing, long* allocations) {
  StateGuard guard;
  Files f;
  f.scene.SetFilePath(f.dir.Wide("ship.sod"));
  const int32_t result =
      WithAllocationFailure(failing, allocations, [&] { return RunOperation(PLUGIN_OP_READ, f.scene); });
  EXPECT_EQ(nullptr, readerCursor.data);  // the file bytes never outlive the read
  if (failing == 0) {
    EXPECT_EQ(1, result);
    EXPECT_EQ(8, importedModel.nodeCount);
    return;
  }
  EXPECT_EQ(0, result);
  EXPECT_TRUE(ModelReleased());
  EXPECT_EQ(kEarlierText, f.scene.ErrorTextWide());  // no message for memory
}

// The written file's nodes: root, three meshes, and each group with its records.
constexpr size_t kWrittenNodes = 1 + 3 + (1 + 3) + (1 + 1) + (1 + 2);

void WriteCase(long failing, long* allocations) {
  StateGuard guard;
  Files f;
  TickEverything(f.dir);
  BuildExportScene(f.scene);
  f.scene.Triangulate();  // as the export operation had the host do
  f.scene.SetFilePath(f.dir.Wide("out.sod"));
  const std::vector<std::string> names = Names(f.dir);
  const int32_t result =
      WithAllocationFailure(failing, allocations, [&] { return RunOperation(PLUGIN_OP_WRITE, f.scene); });
  EXPECT_TRUE(TextListsReleased());
  EXPECT_EQ(names, Names(f.dir));
  // The three side files are loaded first, each with a line buffer and its list; a
  // side file that cannot be loaded fails the write before it starts and names the
  // file, a later failure fails it without a message.
  const char* const sideFiles[3] = {"in_hps.txt", "in_ems.txt", "in_sps.txt"};
  if (failing >= 1 && failing <= 6) {
    EXPECT_EQ(u"Not enough memory to read the text file:\n" + f.dir.Wide(sideFiles[(failing - 1) / 2]) + u"\n",
              f.scene.ErrorTextWide());
  } else {
    EXPECT_EQ(kEarlierText, f.scene.ErrorTextWide());
  }
  if (failing == 0) {
    EXPECT_EQ(1, result);
    WrittenSod sod = ParseWrittenSod(f.dir.Read("out.sod"));
    EXPECT_TRUE(sod.complete);
    EXPECT_EQ(kWrittenNodes, sod.nodes.size());
    return;
  }
  EXPECT_EQ(0, result);
  EXPECT_EQ(kOldContents, f.dir.Read("out.sod"));
}

template <int32_t (*Reader)(FILE*)>
void SideTextReadCase(const char* file, const int32_t& count, bool (*held)(), long failing, long* allocations) {
  StateGuard guard;
  Files f;
  FILE* stream = OpenFileWide(f.dir.Wide(file).c_str(), "rb");
  ASSERT_NE(nullptr, stream);
  const int32_t result = WithAllocationFailure(failing, allocations, [&] { return Reader(stream); });
  fclose(stream);
  EXPECT_EQ(failing == 0 ? 1 : 0, result);
  EXPECT_EQ(failing == 0 ? 0 : 1, SideTextListOutOfMemory());  // told apart from a file without records
  EXPECT_EQ(failing == 0, held());
  EXPECT_EQ(failing == 0 ? count : 0, count);
}

void HardpointReadCase(long failing, long* allocations) {
  SideTextReadCase<ReadHardpointFile>(
      "in_hps.txt", textHardpointCount, [] { return textHardpoints != nullptr; }, failing, allocations);
}
void EmitterReadCase(long failing, long* allocations) {
  SideTextReadCase<ReadEmitterFile>(
      "in_ems.txt", textEmitterCount, [] { return textEmitters != nullptr; }, failing, allocations);
}
void SpriteReadCase(long failing, long* allocations) {
  SideTextReadCase<ReadSpriteFile>(
      "in_sps.txt", textSpriteCount, [] { return textSprites != nullptr; }, failing, allocations);
}

template <int32_t (*Extractor)(ImportedModel*, HostContext*)>
void ExtractionCase(const char* file, long failing, long* allocations) {
  StateGuard guard;
  Files f;
  f.scene.SetFilePath(f.dir.Wide("ship.sod"));
  ASSERT_EQ(1, RunOperation(PLUGIN_OP_READ, f.scene));
  const int32_t result =
      WithAllocationFailure(failing, allocations, [&] { return Extractor(&importedModel, f.Context()); });
  EXPECT_EQ(1, result);
  EXPECT_NE(kOldContents, f.dir.Read(file));
}

void HardpointExtractionCase(long failing, long* allocations) {
  ExtractionCase<ExtractHardpoints>("ship_hps.txt", failing, allocations);
}
void EmitterExtractionCase(long failing, long* allocations) {
  ExtractionCase<ExtractEmitters>("ship_ems.txt", failing, allocations);
}
void SpriteExtractionCase(long failing, long* allocations) {
  ExtractionCase<ExtractSprites>("ship_sps.txt", failing, allocations);
}

struct AllocationRow {
  const char* operation;
  const char* documented;  // what a failed allocation ends with
  long allocations;        // in a clean run; -1: some, as the file needs
  void (*run)(long failing, long* allocations);
};

const AllocationRow kAllocationRows[] = {
    {"read", "0, the model empty, the file bytes freed, errorText untouched", -1, ReadCase},
    {"write", "0, the older file kept, no temporary file; a side file not loaded named in errorText", -1, WriteCase},
    {"hardpoint text read", "0 and an empty list", 2, HardpointReadCase},
    {"emitter text read", "0 and an empty list", 2, EmitterReadCase},
    {"sprite text read", "0 and an empty list", 2, SpriteReadCase},
    {"hardpoint extraction", "takes no memory of its own", 0, HardpointExtractionCase},
    {"emitter extraction", "takes no memory of its own", 0, EmitterExtractionCase},
    {"sprite extraction", "takes no memory of its own", 0, SpriteExtractionCase},
};

// --- Stream rows ----------------------------------------------------------------

// Runs `operation` with the stream falling short after `budget` bytes (-1: never).
int32_t WithWriteBudget(int64_t budget, int32_t (*operation)(Files&), Files& f) {
  SetWriteFailureAfter(budget);
  const int32_t result = operation(f);
  SetWriteFailureAfter(-1);
  return result;
}

int32_t WriteSod(Files& f) { return RunOperation(PLUGIN_OP_WRITE, f.scene); }
int32_t ExtractHardpointFile(Files& f) { return ExtractHardpoints(&importedModel, f.Context()); }
int32_t ExtractEmitterFile(Files& f) { return ExtractEmitters(&importedModel, f.Context()); }
int32_t ExtractSpriteFile(Files& f) { return ExtractSprites(&importedModel, f.Context()); }

void PrepareWrite(Files& f) {
  TickEverything(f.dir);
  BuildExportScene(f.scene);
  f.scene.Triangulate();
  f.scene.SetFilePath(f.dir.Wide("out.sod"));
}

void PrepareExtraction(Files& f) {
  f.scene.SetFilePath(f.dir.Wide("ship.sod"));
  ASSERT_EQ(1, RunOperation(PLUGIN_OP_READ, f.scene));
}

struct StreamRow {
  const char* operation;
  const char* target;
  void (*prepare)(Files& f);
  int32_t (*run)(Files& f);
  bool releasesTextLists;
};

const StreamRow kStreamRows[] = {
    {"SOD write", "out.sod", PrepareWrite, WriteSod, true},
    {"hardpoint extraction", "ship_hps.txt", PrepareExtraction, ExtractHardpointFile, false},
    {"emitter extraction", "ship_ems.txt", PrepareExtraction, ExtractEmitterFile, false},
    {"sprite extraction", "ship_sps.txt", PrepareExtraction, ExtractSpriteFile, false},
};

}  // namespace

TEST(FaultMatrixFiles, EveryAllocationFailingInTurn) {
  long cases = 0;
  for (const AllocationRow& row : kAllocationRows) {
    SCOPED_TRACE(std::string(row.operation) + ": " + row.documented);
    long allocations = 0;
    row.run(0, &allocations);
    if (row.allocations >= 0) {
      EXPECT_EQ(row.allocations, allocations);
    } else {
      EXPECT_GT(allocations, 3);
    }
    for (long nth = 1; nth <= allocations; ++nth) {
      SCOPED_TRACE("allocation " + std::to_string(nth) + " of " + std::to_string(allocations));
      long ignored = 0;
      row.run(nth, &ignored);
      if (testing::Test::HasFatalFailure()) return;
    }
    cases += allocations;
  }
  std::printf("fault matrix: %ld allocation failures over %zu file operations\n", cases,
              sizeof kAllocationRows / sizeof kAllocationRows[0]);
}

// Each falling short ends with 0, the older file as it was, no temporary file beside
// it, errorText untouched (a short write has no message) and, for the SOD write, the
// text lists released; the full budget writes the same bytes as a clean run.
TEST(FaultMatrixFiles, TheStreamFallingShortAtEveryByte) {
  long cases = 0;
  for (const StreamRow& row : kStreamRows) {
    SCOPED_TRACE(row.operation);
    StateGuard guard;
    Files f;
    row.prepare(f);
    ASSERT_EQ(1, WithWriteBudget(-1, row.run, f));
    const std::string whole = f.dir.Read(row.target);
    ASSERT_GT(whole.size(), 60u);
    f.dir.Write(row.target, kOldContents);
    const std::vector<std::string> names = Names(f.dir);
    for (size_t budget = 0; budget < whole.size(); ++budget) {
      ASSERT_EQ(0, WithWriteBudget(static_cast<int64_t>(budget), row.run, f)) << "budget " << budget;
      ASSERT_EQ(kOldContents, f.dir.Read(row.target)) << "budget " << budget;
      ASSERT_EQ(names, Names(f.dir)) << "budget " << budget;
      ASSERT_EQ(kEarlierText, f.scene.ErrorTextWide()) << "budget " << budget;
      ASSERT_TRUE(!row.releasesTextLists || TextListsReleased()) << "budget " << budget;
    }
    EXPECT_EQ(1, WithWriteBudget(static_cast<int64_t>(whole.size()), row.run, f));
    EXPECT_EQ(whole, f.dir.Read(row.target));
    cases += static_cast<long>(whole.size());
  }
  std::printf("fault matrix: %ld short writes over %zu written files\n", cases,
              sizeof kStreamRows / sizeof kStreamRows[0]);
}
