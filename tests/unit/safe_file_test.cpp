#include <gtest/gtest.h>

#include "common/safe_file.h"
#include "common/stream_write.h"
#include "support/temp_dir.h"

TEST(SafeFile, CommitReplacesTheTargetWholeAndLeavesNoTemporaryFile) {
  TempDir dir;
  dir.Write("ship.sod", "old contents");
  SafeFile file;
  ASSERT_EQ(1, SafeFileOpen(&file, dir.Wide("ship.sod").c_str()));
  EXPECT_EQ("old contents", dir.Read("ship.sod"));
  ASSERT_EQ(1, WriteBytes(file.stream, "new", 3));
  ASSERT_EQ(1, SafeFileCommit(&file));
  EXPECT_EQ("new", dir.Read("ship.sod"));
  EXPECT_EQ(1u, dir.Count());
}

TEST(SafeFile, AbandonKeepsTheOldFile) {
  TempDir dir;
  dir.Write("ship.sod", "old contents");
  SafeFile file;
  ASSERT_EQ(1, SafeFileOpen(&file, dir.Wide("ship.sod").c_str()));
  WriteBytes(file.stream, "half a fi", 9);
  SafeFileAbandon(&file);
  EXPECT_EQ("old contents", dir.Read("ship.sod"));
  EXPECT_EQ(1u, dir.Count());
  SafeFileAbandon(&file);  // twice is harmless
}

TEST(SafeFile, ANewFileAppearsOnlyOnCommit) {
  TempDir dir;
  SafeFile file;
  ASSERT_EQ(1, SafeFileOpen(&file, dir.Wide("new.txt").c_str()));
  EXPECT_FALSE(dir.Exists("new.txt"));
  ASSERT_EQ(1, SafeFileCommit(&file));
  EXPECT_EQ("", dir.Read("new.txt"));
}

TEST(SafeFile, ATargetThatCannotBeReplacedStaysAndNoTemporaryFileIsLeft) {
  TempDir dir;
  std::filesystem::create_directory(dir.File("taken"));
  SafeFile file;
  ASSERT_EQ(1, SafeFileOpen(&file, dir.Wide("taken").c_str()));
  WriteBytes(file.stream, "data", 4);
  EXPECT_EQ(0, SafeFileCommit(&file));
  EXPECT_TRUE(std::filesystem::is_directory(dir.File("taken")));
  EXPECT_EQ(1u, dir.Count());
}

TEST(SafeFile, MissingDirectoryOrEmptyPathOpensNothing) {
  TempDir dir;
  SafeFile file;
  EXPECT_EQ(0, SafeFileOpen(&file, dir.Wide("no-such-dir/ship.sod").c_str()));
  EXPECT_EQ(nullptr, file.stream);
  EXPECT_EQ(0, SafeFileOpen(&file, u""));
  EXPECT_EQ(0, SafeFileOpen(&file, nullptr));
  EXPECT_EQ(0, SafeFileCommit(&file));
}
