// A file too large for the reader's 32-bit sizes is refused before anything is
// allocated. (Native only: the file is sparse, which the test relies on.)
#include <gtest/gtest.h>

#include <filesystem>

#include "common/memory.h"
#include "support/sod_builder.h"
#include "support/sod_parse.h"

TEST(SodReaderLargeFile, AFileOf4GiBIsRefusedWithoutAMessage) {
  TempDir dir;
  dir.Write("huge.sod", sodtest::BuildSod(sodtest::RichSodSpec(sodtest::kV18)));
  std::error_code error;
  std::filesystem::resize_file(dir.File("huge.sod"), 0x100000000ull, error);
  if (error) GTEST_SKIP() << "cannot make a sparse file here: " << error.message();
  host::HostScene scene;
  scene.SetFilePath(dir.Wide("huge.sod"));
  const long before = AllocationsMade();
  EXPECT_EQ(0, ReadSodFile(sodtest::ContextOf(scene)));
  EXPECT_EQ(before, AllocationsMade());
  EXPECT_EQ(u"", scene.ErrorTextWide());
  EXPECT_TRUE(sodtest::ModelIsEmpty(importedModel));
  EXPECT_EQ(nullptr, readerCursor.data);
}
