#include <gtest/gtest.h>

#include <cstdio>
#include <string>

#include "common/byte_cursor.h"
#include "common/memory.h"
#include "common/stream_write.h"
#include "common/text_lists.h"

TEST(ListRelease, EmptyListsStayEmptyAndFilledOnesAreFreed) {
  ReleaseHardpointList();
  EXPECT_EQ(nullptr, textHardpoints);
  EXPECT_EQ(0, textHardpointCount);
  textEmitters = static_cast<EmitterRecord*>(AllocZeroed(3, sizeof(EmitterRecord)));
  textEmitterCount = 3;
  ReleaseEmitterList();
  EXPECT_EQ(nullptr, textEmitters);
  EXPECT_EQ(0, textEmitterCount);
  textSpriteCount = 7;  // a count without an array is only zeroed
  ReleaseSpriteList();
  EXPECT_EQ(0, textSpriteCount);
  ReleaseSpriteList();
  EXPECT_EQ(nullptr, textSprites);
}

TEST(ByteCursorRelease, FreesAndZeroes) {
  ByteCursor cursor;
  ByteCursorReset(&cursor);
  EXPECT_EQ(nullptr, cursor.data);
  cursor.data = static_cast<uint8_t*>(AllocZeroed(16, 1));
  cursor.size = 16;
  cursor.position = 4;
  EXPECT_EQ(1, ByteCursorRelease(&cursor));
  EXPECT_EQ(nullptr, cursor.data);
  EXPECT_EQ(0u, cursor.size);
  EXPECT_EQ(0u, cursor.position);
  EXPECT_EQ(1, ByteCursorRelease(&cursor));
  EXPECT_EQ(0, ByteCursorRelease(nullptr));
}

TEST(Memory, OverflowingRequestsAndInjectedFailuresGiveNull) {
  EXPECT_EQ(nullptr, AllocZeroed(SIZE_MAX / 2, 4));
  SetAllocationFailure(2);
  void* first = AllocZeroed(1, 8);
  void* second = AllocZeroed(1, 8);
  void* third = AllocZeroed(1, 8);
  SetAllocationFailure(0);
  EXPECT_NE(nullptr, first);
  EXPECT_EQ(nullptr, second);
  EXPECT_NE(nullptr, third);
  FreeMemory(first);
  FreeMemory(third);
}

TEST(StreamWrite, AWriteBeyondTheBudgetFallsShortAfterWritingWhatFits) {
  FILE* stream = tmpfile();
  ASSERT_NE(nullptr, stream);
  SetWriteFailureAfter(5);
  EXPECT_EQ(1, WriteBytes(stream, "abc", 3));
  EXPECT_EQ(0, WriteBytes(stream, "defg", 4));
  EXPECT_EQ(0, WriteBytes(stream, "h", 1));
  SetWriteFailureAfter(-1);
  EXPECT_EQ(1, WriteBytes(stream, "i", 1));
  rewind(stream);
  char content[16] = {};
  size_t n = fread(content, 1, sizeof content, stream);
  EXPECT_EQ("abcdei", std::string(content, n));
  fclose(stream);
  EXPECT_EQ(0, WriteBytes(nullptr, "x", 1));
}
