// Hardpoint, emitter and sprite text files: the extractors write the imported model's
// markers beside the SOD file that was read; the readers load such files into the
// three text lists (common/text_lists.h) while a SOD file is written.
#pragma once

#include <cstddef>
#include <cstdint>
#include <cstdio>

#include "plugin/host_records.h"
#include "sod/imported_model.h"

// A line is read whole when it holds at most this many characters, its line break not
// counted; a line buffer holds them, the line break and the terminator.
constexpr size_t kTextLineCharacters = 65535;
constexpr size_t kTextLineBytes = kTextLineCharacters + 2;

// Each writes "<sod file title>_hps.txt" (or _ems, _sps) beside the model's sourcePath,
// sorting the model's list by name first. 1 when the whole file was written.
int32_t ExtractHardpoints(ImportedModel* model, HostContext* context);
int32_t ExtractEmitters(ImportedModel* model, HostContext* context);
int32_t ExtractSprites(ImportedModel* model, HostContext* context);

// Each loads the record lines of an open file into its text list (released first).
// 1 when at least one record was loaded. The caller opens the file in binary mode and
// closes it; a CR LF line end reads like LF, as in text mode.
int32_t ReadHardpointFile(FILE* file);
int32_t ReadEmitterFile(FILE* file);
int32_t ReadSpriteFile(FILE* file);

// 1 when the last of the three readers could not allocate its line buffer or its
// list: it loaded nothing although the file may hold records.
int32_t SideTextListOutOfMemory();

// Reads one line into `line` (kTextLineBytes), its line break included. A line of
// more than kTextLineCharacters characters is passed over to its line break and reads
// as an empty line. 0 at the end of the file, on an error, or when an argument is
// missing.
int32_t ReadTextLine(FILE* file, char* line);
