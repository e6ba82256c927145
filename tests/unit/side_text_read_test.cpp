// Reading hardpoint, emitter and sprite text files: which lines are records, how
// numbers and line pieces are read, and what the three lists hold afterwards.
#include <gtest/gtest.h>

#include <cmath>
#include <cstdio>
#include <cstring>
#include <string>
#include <vector>

#ifdef _WIN32
#include <fcntl.h>
#include <io.h>
#else
#include <unistd.h>
#endif

#include "common/memory.h"
#include "common/text_lists.h"
#include "platform/file_system.h"
#include "sidetext/record_line_scanner.h"
#include "sidetext/side_text.h"
#include "support/temp_dir.h"

namespace {

// A file holding `bytes`, opened for reading in binary mode as the export driver does.
class TextFile {
 public:
  explicit TextFile(const std::string& bytes) {
    dir_.Write("side.txt", bytes);
    file_ = OpenFileWide(dir_.Wide("side.txt").c_str(), "rb");
  }
  ~TextFile() {
    if (file_ != nullptr) fclose(file_);
  }
  FILE* get() const { return file_; }

 private:
  TempDir dir_;
  FILE* file_ = nullptr;
};

const std::string kTwelve = " 1 2 3  4 5 6  7 8 9  10 11 12";

// A stream over a pipe that already holds `bytes` and nothing more: it cannot go back.
FILE* PipeHolding(const std::string& bytes) {
  int ends[2];
#ifdef _WIN32
  if (_pipe(ends, 4096, _O_BINARY) != 0) return nullptr;
  (void)_write(ends[1], bytes.data(), static_cast<unsigned>(bytes.size()));
  _close(ends[1]);
  return _fdopen(ends[0], "rb");
#else
  if (pipe(ends) != 0) return nullptr;
  (void)!write(ends[1], bytes.data(), bytes.size());
  close(ends[1]);
  return fdopen(ends[0], "rb");
#endif
}

std::vector<std::string> Lines(const std::string& bytes) {
  TextFile file(bytes);
  std::vector<std::string> lines;
  std::vector<char> line(kTextLineBytes);
  while (ReadTextLine(file.get(), line.data())) lines.emplace_back(line.data());
  return lines;
}

class SideTextRead : public ::testing::Test {
 protected:
  ~SideTextRead() override {
    SetAllocationFailure(0);
    ReleaseHardpointList();
    ReleaseEmitterList();
    ReleaseSpriteList();
  }
};

}  // namespace

TEST(SideTextNumbers, TheLongestPossibleNumberIsTakenAndMustBeWhole) {
  struct Case {
    const char* text;
    int taken;
    float value;
    size_t consumed;
  };
  const Case cases[] = {
      {"1.5", 1, 1.5f, 3},
      {" \t-0.25 ", 1, -0.25f, 7},
      {"+3", 1, 3, 2},
      {"007", 1, 7, 3},
      {"5.", 1, 5, 2},
      {".5", 1, 0.5f, 2},
      {"1e-3", 1, 0.001f, 4},
      {"2E+2", 1, 200, 4},
      {"-1.25e1x", 1, -12.5f, 7},
      {"1.5-2.0", 1, 1.5f, 3},  // numbers need no white space between them
      {"3abc", 1, 3, 1},
      {"0x1A", 1, 0, 1},  // not hexadecimal: the number is "0"
      {"123456789012", 1, 123456789012.0f, 12},
      {"1e", 0, 0, 0},
      {"1e+", 0, 0, 0},
      {"1ex", 0, 0, 0},
      {"-", 0, 0, 0},
      {".", 0, 0, 0},
      {"-.e1", 0, 0, 0},
      {"+-1", 0, 0, 0},
      {"inf", 0, 0, 0},
      {"nan", 0, 0, 0},
      {"e5", 0, 0, 0},
      {"", 0, 0, 0},
      {" \r\n", 0, 0, 0},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.text);
    const char* cursor = c.text;
    float value = -99;
    ASSERT_EQ(c.taken, ScanNumber(&cursor, &value));
    if (c.taken) {
      EXPECT_EQ(c.value, value);
      EXPECT_EQ(c.consumed, static_cast<size_t>(cursor - c.text));
    } else {
      EXPECT_EQ(c.text, cursor);
      EXPECT_EQ(-99, value);
    }
  }
  const char* huge = "1e999";
  float value = 0;
  ASSERT_EQ(1, ScanNumber(&huge, &value));
  EXPECT_TRUE(std::isinf(value));
}

TEST(SideTextLines, WhichHardpointAndSpriteLinesAreRecords) {
  struct Case {
    std::string line;
    const char* name;  // null: no record
    float last;        // row 3, column 2
  };
  const std::string name255(255, 'n');
  const Case cases[] = {
      {"hp01  1.000000 0.000000 0.000000  0.000000 1.000000 0.000000  0.000000 0.000000 1.000000  0.000000 2.500000 "
       "-10.000000\n",
       "hp01", -10},
      {"hp01 1 2 3 4 5 6 7 8 9 10 11 12", "hp01", 12},
      {"\thp01\t1\t2\t3\t4\t5\t6\t7\t8\t9\t10\t11\t12\n", "hp01", 12},
      {"hp" + kTwelve + " 13", "hp", 12},      // text after the twelfth number is ignored
      {"hp" + kTwelve + "abc def", "hp", 12},  // also straight after it
      {"hp 1e-3 1E2 -3 +4 .5 6. 7 8 9 10 11 -1.5e+1", "hp", -15},
      {"hp 1-2-3-4-5-6-7-8-9-10-11-12", "hp", -12},
      {"#hp03" + kTwelve, "#hp03", 12},  // no comment syntax of its own
      {name255 + kTwelve, name255.c_str(), 12},
      {"hp 1 2 3  4 5 6  7 8 9  10 11", nullptr, 0},     // eleven numbers
      {"hp 1 2 3  4 5 6  7 8 9  10 11 1e", nullptr, 0},  // the last is not a whole number
      {"hp 1 2 3  4 5 6  7 8 9  10 11 inf", nullptr, 0},
      {"hp 0x1 2 3  4 5 6  7 8 9  10 11 12", nullptr, 0},
      {"1 2 3  4 5 6  7 8 9  10 11 12", nullptr, 0},  // the name is "1": one number short
      {std::string(256, 'n') + kTwelve, nullptr, 0},  // longer than the name field: skipped, not cut
      {"# ST Armada SOD hardpoints extracted by host-name host-version.", nullptr, 0},
      {"# num_hardpoints: 2", nullptr, 0},
      {"# Format: <node name> <3x4 transformation matrix>", nullptr, 0},
      {"\n", nullptr, 0},
      {"", nullptr, 0},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.line);
    MarkerRecord record = {};
    int isRecord = ScanMarkerLine(c.line.c_str(), &record);
    ASSERT_EQ(c.name != nullptr ? 1 : 0, isRecord);
    if (!isRecord) continue;
    EXPECT_STREQ(c.name, record.name);
    EXPECT_EQ(c.last, record.transform.m[3][2]);
  }
}

TEST(SideTextLines, WhichEmitterLinesAreRecords) {
  struct Case {
    std::string line;
    bool isRecord;
  };
  const Case cases[] = {
      {"em_a  glow  1.0 0 0  0 1 0  0 0 1  0 0 0\r\n", true},
      {"em_a" + kTwelve, false},  // one name word: "1" becomes the identifier, a number is missing
      {"em_a " + std::string(127, 'i') + kTwelve, true},
      {"em_a " + std::string(128, 'i') + kTwelve, false},
      {std::string(256, 'n') + " glow" + kTwelve, false},
      {"em_a glow" + kTwelve.substr(0, kTwelve.size() - 3), false},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.line);
    EmitterRecord record = {};
    EXPECT_EQ(c.isRecord ? 1 : 0, ScanEmitterLine(c.line.c_str(), &record));
  }
  EmitterRecord record = {};
  ASSERT_EQ(1, ScanEmitterLine("em_a\tglow 1 2 3 4 5 6 7 8 9 10 11 12", &record));
  EXPECT_STREQ("em_a", record.name);
  EXPECT_STREQ("glow", record.emitterName);
  EXPECT_EQ(1, record.transform.m[0][0]);
  EXPECT_EQ(6, record.transform.m[1][2]);
  EXPECT_EQ(10, record.transform.m[3][0]);
}

TEST(SideTextLines, LinesOfUpTo65535CharactersAreReadWholeAndCrLfReadsAsLf) {
  struct Case {
    std::string bytes;
    std::vector<std::string> lines;
  };
  const std::string x511(511, 'x');
  const std::string longest(65535, 'x');
  const Case cases[] = {
      {"", {}},
      {"a\r\nb\n", {"a\n", "b\n"}},
      {"a\rb\r\n", {"a\rb\n"}},  // a lone CR stays a character
      {"\r\r\n", {"\r\n"}},
      {"\r", {"\r"}},
      {"abc", {"abc"}},  // the last line needs no line break
      {"\n\n", {"\n", "\n"}},
      {x511 + "\n", {x511 + "\n"}},
      {x511 + x511 + "tail\r\n", {x511 + x511 + "tail\n"}},
      {longest + "\r\nb", {longest + "\n", "b"}},
      {longest + "y\r\nb\n", {"", "b\n"}},  // too long: passed over to its line break
      {longest + "y", {""}},
      {std::string("a\0b\n", 4), {"a"}},  // the text of a line ends at a zero byte
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.bytes.substr(0, 16));
    EXPECT_EQ(c.lines, Lines(c.bytes));
  }
  std::vector<char> line(kTextLineBytes);
  TextFile file("a\n");
  EXPECT_EQ(0, ReadTextLine(nullptr, line.data()));
  EXPECT_EQ(0, ReadTextLine(file.get(), nullptr));
}

TEST_F(SideTextRead, TheExtractorsFileLoadsInFileOrderWithTheUnwrittenFieldsZero) {
  TextFile file(
      "# ST Armada SOD hardpoints extracted by host-name host-version.\r\n# num_hardpoints: 7\r\n\r\n"
      "# Format: <node name> <3x4 transformation matrix>\r\n\r\n"
      "hp_b  1.000000 0.000000 0.000000  0.000000 1.000000 0.000000  0.000000 0.000000 1.000000  0.000000 2.500000 "
      "-10.000000\r\n"
      "HP_A  0.5 0 0  0 1 0  0 0 1  3.000000 0.000000 4.000000\r\n");
  ASSERT_EQ(1, ReadHardpointFile(file.get()));
  ASSERT_EQ(2, textHardpointCount);
  EXPECT_STREQ("hp_b", textHardpoints[0].name);  // the reader does not sort
  EXPECT_STREQ("HP_A", textHardpoints[1].name);
  EXPECT_EQ(2.5f, textHardpoints[0].transform.m[3][1]);
  EXPECT_EQ(0.5f, textHardpoints[1].transform.m[0][0]);
  EXPECT_EQ(4.0f, textHardpoints[1].transform.m[3][2]);
  for (int i = 0; i < 2; ++i) {
    for (int row = 0; row < 4; ++row) EXPECT_EQ(0.0f, textHardpoints[i].transform.m[row][3]);
    for (float p : textHardpoints[i].position) EXPECT_EQ(0.0f, p);
    const char* name = textHardpoints[i].name;
    for (size_t b = std::strlen(name); b < kMarkerNameBytes; ++b) ASSERT_EQ(0, name[b]);
  }
}

TEST_F(SideTextRead, TabsBlanksAndLfOnlyLinesReadLikeTheWrittenForm) {
  TextFile written(
      "sp  1.000000 0.000000 0.000000  0.000000 1.000000 0.000000  0.000000 0.000000 1.000000  "
      "0.001000 -3.000000 4.000000\r\n");
  TextFile loose("sp\t1 0 0\t0 1 0 0 0 1 1e-3\t-3 4\n");
  ASSERT_EQ(1, ReadSpriteFile(written.get()));
  SpriteRecord first = textSprites[0];
  ASSERT_EQ(1, ReadSpriteFile(loose.get()));
  ASSERT_EQ(1, textSpriteCount);
  EXPECT_EQ(0, std::memcmp(&first, &textSprites[0], sizeof first));
}

TEST_F(SideTextRead, OnlyRecordLinesCountAndTheListIsExactlyThatLong) {
  TextFile file("# header\n\nem_a glow" + kTwelve + "\nem_one_word" + kTwelve + "\n" + std::string(300, 'n') + " glow" +
                kTwelve + "\nem_b trail" + kTwelve + " 13\n# end\n");
  ASSERT_EQ(1, ReadEmitterFile(file.get()));
  ASSERT_EQ(2, textEmitterCount);
  EXPECT_STREQ("em_a", textEmitters[0].name);
  EXPECT_STREQ("trail", textEmitters[1].emitterName);
  EXPECT_EQ(12, textEmitters[1].transform.m[3][2]);
}

TEST_F(SideTextRead, ALongLineIsOneLineAndATooLongOneNoRecord) {
  const std::string record = "hp_a" + kTwelve;
  const std::string tail = "hp_tail" + kTwelve;
  // Whatever follows a record on its line is ignored, however far along it starts;
  // a line of 65535 characters is read whole, a longer one is skipped to its end.
  TextFile file(record + std::string(511 - record.size(), ' ') + tail + "\n" + std::string(65535 - tail.size(), ' ') +
                tail + "\r\n" + "hp_lost" + kTwelve + std::string(65536, ' ') + "\r\nhp_b" + kTwelve + "\n");
  ASSERT_EQ(1, ReadHardpointFile(file.get()));
  ASSERT_EQ(3, textHardpointCount);
  EXPECT_STREQ("hp_a", textHardpoints[0].name);
  EXPECT_STREQ("hp_tail", textHardpoints[1].name);
  EXPECT_STREQ("hp_b", textHardpoints[2].name);
}

TEST_F(SideTextRead, NoRecordMeansZeroAndAnEmptyList) {
  textHardpoints = static_cast<HardpointRecord*>(AllocZeroed(1, sizeof(HardpointRecord)));
  textHardpointCount = 1;
  TextFile headerOnly(
      "# ST Armada SOD hardpoints extracted by host-name host-version.\r\n# num_hardpoints: 0\r\n\r\n"
      "# Format: <node name> <3x4 transformation matrix>\r\n\r\n");
  EXPECT_EQ(0, ReadHardpointFile(headerOnly.get()));  // an earlier list is released first
  EXPECT_EQ(nullptr, textHardpoints);
  EXPECT_EQ(0, textHardpointCount);
  TextFile empty("");
  EXPECT_EQ(0, ReadSpriteFile(empty.get()));
  EXPECT_EQ(0, textSpriteCount);
  textEmitterCount = 4;
  EXPECT_EQ(0, ReadEmitterFile(nullptr));
  EXPECT_EQ(0, textEmitterCount);
  EXPECT_EQ(nullptr, textEmitters);
  // A pipe counts its record in the first pass and cannot give it again: the list
  // allocated for it is freed.
  FILE* pipe = PipeHolding("hp" + kTwelve + "\n");
  ASSERT_NE(nullptr, pipe);
  EXPECT_EQ(0, ReadHardpointFile(pipe));
  fclose(pipe);
  EXPECT_EQ(nullptr, textHardpoints);
  EXPECT_EQ(0, SideTextListOutOfMemory());
}

TEST_F(SideTextRead, NoMemoryForTheListMeansZeroAndAnEmptyList) {
  TextFile file("hp" + kTwelve + "\n");
  SetAllocationFailure(1);
  EXPECT_EQ(0, ReadHardpointFile(file.get()));
  SetAllocationFailure(0);
  EXPECT_EQ(nullptr, textHardpoints);
  EXPECT_EQ(0, textHardpointCount);
  rewind(file.get());
  EXPECT_EQ(1, ReadHardpointFile(file.get()));
  EXPECT_EQ(1, textHardpointCount);
}
