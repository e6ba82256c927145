// Parts of the file that both passes step over without keeping anything.
#pragma once

#include <cstdint>

#include "common/byte_cursor.h"

// The prefix table of version 1.6: a u16 entry count, then per entry two strings and
// seven bytes. 1 or 0.
int SkipPrefixTable(ByteCursor* cursor);

// The material section of a file of `version`: its entry count (set in *count) and the
// entries. 1 or 0.
int SkipMaterialSection(ByteCursor* cursor, float version, uint16_t* count);

// A mesh node's body in a file of `version`, from its style name to its end word. 1 or 0.
int SkipMeshBody(ByteCursor* cursor, float version);
