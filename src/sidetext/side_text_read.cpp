// Loading hardpoint, emitter and sprite text files into the three text lists. Each
// reader counts the record lines in a first pass, allocates the list once with that
// exact size, and fills it from the start of the file in a second pass. Both passes
// read into one line buffer, allocated for the reader's call.
#include <cstring>

#include "common/memory.h"
#include "common/text_lists.h"
#include "sidetext/record_line_scanner.h"
#include "sidetext/side_text.h"

namespace {

int32_t listOutOfMemory = 0;

template <typename Record>
int32_t CountRecordLines(FILE* file, char* line, int (*scan)(const char*, Record*)) {
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
int32_t FillRecords(FILE* file, char* line, int (*scan)(const char*, Record*), Record* list, int32_t capacity) {
  Record scratch;
  int32_t filled = 0;
  while (filled < capacity && ReadTextLine(file, line)) {
    std::memset(&scratch, 0, sizeof scratch);
    if (scan(line, &scratch)) list[filled++] = scratch;
  }
  return filled;
}

// Both passes with the line buffer `line`: the records into a list of exactly their
// number. 1 when at least one was loaded; *outOfMemory is set when the list could not
// be allocated.
template <typename Record>
int32_t LoadRecords(FILE* file, char* line, int (*scan)(const char*, Record*), Record** list, int32_t* count,
                    int32_t* outOfMemory) {
  const int32_t lines = CountRecordLines(file, line, scan);
  if (lines < 1) return 0;
  Record* records = static_cast<Record*>(AllocZeroed(static_cast<size_t>(lines), sizeof(Record)));
  if (records == nullptr) {
    *outOfMemory = 1;
    return 0;
  }
  int32_t filled = 0;
  if (fseek(file, 0, SEEK_SET) == 0) {
    clearerr(file);
    filled = FillRecords(file, line, scan, records, lines);
  }
  // The second pass sees the bytes the first one counted; should the file have
  // changed in between, or not go back to its start, only what was filled counts.
  if (filled < 1) {
    FreeMemory(records);
    return 0;
  }
  *list = records;
  *count = filled;
  return 1;
}

template <typename Record>
int32_t ReadList(FILE* file, int (*scan)(const char*, Record*), Record** list, int32_t* count, void (*release)()) {
  release();
  listOutOfMemory = 0;
  if (file == nullptr) return 0;
  char* line = static_cast<char*>(AllocZeroed(kTextLineBytes, 1));
  if (line == nullptr) {
    listOutOfMemory = 1;
    return 0;
  }
  const int32_t loaded = LoadRecords(file, line, scan, list, count, &listOutOfMemory);
  FreeMemory(line);
  return loaded;
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
