// Loading hardpoint, emitter and sprite text files into the three text lists. Each
// reader counts the record lines in a first pass, allocates the list once with that
// exact size, and fills it from the start of the file in a second pass.
#include <cstring>

#include "common/memory.h"
#include "common/text_lists.h"
#include "sidetext/record_line_scanner.h"
#include "sidetext/side_text.h"

namespace {

int32_t listOutOfMemory = 0;

template <typename Record>
int32_t CountRecordLines(FILE* file, int (*scan)(const char*, Record*)) {
  char line[kTextLineBytes];
  Record scratch;
  int32_t count = 0;
  while (count < INT32_MAX && ReadTextLine(file, line)) {
    std::memset(&scratch, 0, sizeof scratch);
    if (scan(line, &scratch)) ++count;
  }
  return count;
}

// Fills at most `capacity` records, each parsed into a zeroed record and copied whole.
template <typename Record>
int32_t FillRecords(FILE* file, int (*scan)(const char*, Record*), Record* list, int32_t capacity) {
  char line[kTextLineBytes];
  Record scratch;
  int32_t filled = 0;
  while (filled < capacity && ReadTextLine(file, line)) {
    std::memset(&scratch, 0, sizeof scratch);
    if (scan(line, &scratch)) list[filled++] = scratch;
  }
  return filled;
}

template <typename Record>
int32_t ReadList(FILE* file, int (*scan)(const char*, Record*), Record** list, int32_t* count, void (*release)()) {
  release();
  listOutOfMemory = 0;
  if (file == nullptr) return 0;
  int32_t lines = CountRecordLines(file, scan);
  if (lines < 1) return 0;
  Record* records = static_cast<Record*>(AllocZeroed(static_cast<size_t>(lines), sizeof(Record)));
  if (records == nullptr) {
    listOutOfMemory = 1;
    return 0;
  }
  int32_t filled = 0;
  if (fseek(file, 0, SEEK_SET) == 0) {
    clearerr(file);
    filled = FillRecords(file, scan, records, lines);
  }
  // The second pass sees the bytes the first one counted; should the file have
  // changed in between, only what was filled counts.
  if (filled < 1) {
    FreeMemory(records);
    return 0;
  }
  *list = records;
  *count = filled;
  return 1;
}

}  // namespace

int32_t SideTextListOutOfMemory() { return listOutOfMemory; }

int32_t ReadHardpointFile(FILE* file) {
  return ReadList(file, ScanMarkerLine, &textHardpoints, &textHardpointCount, ReleaseHardpointList);
}

int32_t ReadEmitterFile(FILE* file) {
  return ReadList(file, ScanEmitterLine, &textEmitters, &textEmitterCount, ReleaseEmitterList);
}

int32_t ReadSpriteFile(FILE* file) {
  return ReadList(file, ScanMarkerLine, &textSprites, &textSpriteCount, ReleaseSpriteList);
}
