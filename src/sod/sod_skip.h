// Parts of the file that both passes step over without keeping anything.
#pragma once

#include "common/byte_cursor.h"

// The prefix table of version 1.6: a u16 entry count, then per entry two strings and
// seven bytes. 1 or 0.
int SkipPrefixTable(ByteCursor* cursor);
