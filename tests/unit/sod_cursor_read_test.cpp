// Bounded reads from the file bytes: the bounds rule and strings.
#include <gtest/gtest.h>

#include <algorithm>
#include <cstring>
#include <memory>
#include <string>

#include "sod/sod_cursor_read.h"
#include "support/sod_builder.h"

namespace {

// The bytes in an exact-size heap buffer, so that the sanitizer sees any read past the
// end. (Made out of line so that the compiler does not warn about the reads that the
// tests expect to be refused.)
[[gnu::noinline]] uint8_t* CopyOf(const std::string& text) {
  uint8_t* data = new uint8_t[text.size() + (text.empty() ? 1 : 0)];
  std::memcpy(data, text.data(), text.size());
  return data;
}

struct Bytes {
  std::unique_ptr<uint8_t[]> data;
  ByteCursor cursor;
  explicit Bytes(const std::string& text) : data(CopyOf(text)) {
    cursor = {data.get(), 0, static_cast<uint32_t>(text.size())};
  }
};

}  // namespace

TEST(SodCursorRead, ReadsAndSkipsUpToTheLastByteAndNoFurther) {
  Bytes b("\x01\x02\x03\x04\x05");
  uint8_t out[8] = {};
  EXPECT_EQ(1, CursorSkip(&b.cursor, 1));
  EXPECT_EQ(0, CursorRead(&b.cursor, out, 5));
  EXPECT_EQ(1u, b.cursor.position);
  EXPECT_EQ(0, out[0]);  // nothing taken from a failed read
  EXPECT_EQ(1, CursorRead(&b.cursor, out, 4));
  EXPECT_EQ(0, std::memcmp(out, "\x02\x03\x04\x05", 4));
  EXPECT_EQ(5u, b.cursor.position);
  EXPECT_EQ(1, CursorRead(&b.cursor, out, 0));
  EXPECT_EQ(0, CursorSkip(&b.cursor, 1));
  uint16_t word = 0;
  EXPECT_EQ(0, CursorReadU16(&b.cursor, &word));
  EXPECT_EQ(5u, b.cursor.position);
}

TEST(SodCursorRead, SizesNearTheTopOfTheRangeDoNotWrapAround) {
  Bytes b("abcd");
  b.cursor.position = 4;
  for (uint32_t n : {0xFFFFFFFFu, 0xFFFFFFFDu, 0xFFFFFFFCu, 0x80000000u}) {
    EXPECT_EQ(0, CursorSkip(&b.cursor, n)) << n;
    EXPECT_EQ(4u, b.cursor.position);
  }
  b.cursor.position = 2;
  EXPECT_EQ(0, CursorSkip(&b.cursor, 0xFFFFFFFFu));
  b.cursor.position = 5;  // a position past the end fails every read, even of nothing
  EXPECT_EQ(0, CursorSkip(&b.cursor, 0));
}

TEST(SodCursorRead, NoDataOrNoCursorFails) {
  ByteCursor empty = {nullptr, 0, 0};
  uint8_t out[2];
  EXPECT_EQ(0, CursorRead(&empty, out, 0));
  EXPECT_EQ(0, CursorSkip(nullptr, 0));
  char name[128];
  EXPECT_EQ(0, ReadString(nullptr, name));
  EXPECT_EQ(0, SkipString(&empty));
}

TEST(SodCursorRead, NumbersAreLittleEndian) {
  Bytes b(sodtest::ByteWriter().U16(0xBEEF).F32(-2.5f).Vec3(1, 2, 3).Bytes());
  uint16_t word = 0;
  float f = 0;
  float v[3] = {};
  ASSERT_EQ(1, CursorReadU16(&b.cursor, &word));
  ASSERT_EQ(1, CursorReadF32(&b.cursor, &f));
  ASSERT_EQ(1, CursorReadFloats(&b.cursor, v, 3));
  EXPECT_EQ(0xBEEF, word);
  EXPECT_EQ(-2.5f, f);
  EXPECT_EQ(1.0f, v[0]);
  EXPECT_EQ(3.0f, v[2]);
  EXPECT_EQ(0, CursorReadFloats(&b.cursor, v, 0));
}

TEST(SodCursorRead, AVectorIsNeverReadInPart) {
  Bytes b(sodtest::ByteWriter().F32(7).F32(8).Bytes());
  float v[3] = {-1, -1, -1};
  EXPECT_EQ(0, CursorReadFloats(&b.cursor, v, 3));
  EXPECT_EQ(-1.0f, v[0]);
  EXPECT_EQ(0u, b.cursor.position);
}

TEST(SodCursorRead, Strings) {
  struct Case {
    const char* what;
    std::string bytes;  // the field, then a marker word 0x5A5A
    std::string kept;   // what the reader keeps
    uint32_t consumed;  // bytes of the field
  };
  const std::string long200(200, 'x');
  const Case cases[] = {
      {"empty", sodtest::ByteWriter().Str("").U16(0x5A5A).Bytes(), "", 2},
      {"short", sodtest::ByteWriter().Str("hull").U16(0x5A5A).Bytes(), "hull", 6},
      {"127 bytes", sodtest::ByteWriter().Str(std::string(127, 'k')).U16(0x5A5A).Bytes(), std::string(127, 'k'), 129},
      {"128 bytes", sodtest::ByteWriter().Str(std::string(128, 'k')).U16(0x5A5A).Bytes(), std::string(127, 'k'), 130},
      {"200 bytes", sodtest::ByteWriter().Str(long200).U16(0x5A5A).Bytes(), std::string(127, 'x'), 202},
      {"embedded zero", sodtest::ByteWriter().Str(std::string("ab\0cd", 5)).U16(0x5A5A).Bytes(), "ab", 7},
      {"leading zero", sodtest::ByteWriter().Str(std::string("\0cd", 3)).U16(0x5A5A).Bytes(), "", 5},
  };
  for (const Case& c : cases) {
    Bytes b(c.bytes);
    char out[128];
    std::memset(out, 'Q', sizeof out);
    ASSERT_EQ(1, ReadString(&b.cursor, out)) << c.what;
    EXPECT_EQ(c.kept, std::string(out)) << c.what;
    EXPECT_EQ(c.consumed, b.cursor.position) << c.what;
    const size_t stored = std::min<size_t>(c.consumed - 2, 127);  // what follows is zero
    for (size_t i = stored; i < sizeof out; ++i) ASSERT_EQ(0, out[i]) << c.what << " byte " << i;
    uint16_t marker = 0;
    EXPECT_EQ(1, CursorReadU16(&b.cursor, &marker));
    EXPECT_EQ(0x5A5A, marker) << c.what;
    Bytes again(c.bytes);
    EXPECT_EQ(1, SkipString(&again.cursor));
    EXPECT_EQ(c.consumed, again.cursor.position) << c.what;
  }
}

TEST(SodCursorRead, AStringCutShortFailsAndLeavesThePosition) {
  for (const std::string& bytes : {std::string("\x05"), sodtest::ByteWriter().StrCount(5, "abcd").Bytes(),
                                   sodtest::ByteWriter().StrCount(0xFFFF, "abcd").Bytes()}) {
    Bytes b(bytes);
    char out[128];
    EXPECT_EQ(0, ReadString(&b.cursor, out));
    EXPECT_EQ(0u, b.cursor.position);
    EXPECT_EQ(0, SkipString(&b.cursor));
    EXPECT_EQ(0u, b.cursor.position);
  }
}
