// The side text fuzz corpus (seeds and what long fuzz runs found), replayed through the
// three readers in both builds: every input loads or is refused cleanly.
#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <iterator>
#include <string>

#include "common/text_lists.h"
#include "platform/file_system.h"
#include "sidetext/side_text.h"
#include "support/temp_dir.h"

namespace {

// A list agrees with its reader's answer: records after 1, nothing after 0.
template <typename Record>
void ExpectConsistentList(int32_t loaded, Record* list, int32_t count) {
  if (loaded == 1) {
    EXPECT_NE(nullptr, list);
    EXPECT_GT(count, 0);
  } else {
    EXPECT_EQ(nullptr, list);
    EXPECT_EQ(0, count);
  }
}

}  // namespace

TEST(SideTextCorpus, EveryInputLoadsOrIsRefusedCleanly) {
  const std::filesystem::path corpus = std::filesystem::path(KVELTAR_FUZZ_CORPUS) / "side_text_fuzz";
  if (!std::filesystem::is_directory(corpus)) GTEST_SKIP() << "no corpus at " << corpus.string();
  TempDir dir;
  int files = 0;
  for (const auto& entry : std::filesystem::directory_iterator(corpus)) {
    SCOPED_TRACE(entry.path().filename().string());
    std::ifstream in(entry.path(), std::ios::binary);
    dir.Write("input.txt", std::string(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()));
    FILE* file = OpenFileWide(dir.Wide("input.txt").c_str(), "rb");
    ASSERT_NE(nullptr, file);
    const int32_t hardpoints = ReadHardpointFile(file);
    ExpectConsistentList(hardpoints, textHardpoints, textHardpointCount);
    rewind(file);
    const int32_t emitters = ReadEmitterFile(file);
    ExpectConsistentList(emitters, textEmitters, textEmitterCount);
    rewind(file);
    const int32_t sprites = ReadSpriteFile(file);
    ExpectConsistentList(sprites, textSprites, textSpriteCount);
    fclose(file);
    ReleaseHardpointList();
    ReleaseEmitterList();
    ReleaseSpriteList();
    ++files;
  }
  EXPECT_GT(files, 100);
}
