// Hardpoint, emitter and sprite text files: the extractors write the imported model's
// markers beside the SOD file that was read; the readers load such files into the
// three text lists (common/text_lists.h) while a SOD file is written.
#pragma once

#include <cstddef>
#include <cstdint>
#include <cstdio>

#include "plugin/host_records.h"
#include "sod/imported_model.h"

constexpr size_t kTextLineBytes = 512;  // a line piece of 511 characters and the terminator

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

// 1 when the last of the three readers found record lines but could not allocate
// their list: it loaded nothing although the file holds records.
int32_t SideTextListOutOfMemory();

// Reads one line piece of at most 511 characters into `line` (kTextLineBytes), the
// line break included when it fits. 0 at the end of the file, on an error, or when an
// argument is missing.
int32_t ReadTextLine(FILE* file, char* line);
