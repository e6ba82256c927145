// Copies of the text fields of the host context. Each assigns the field to `out` and
// returns out's wide half (the narrow half lies 520 bytes further on), or null when
// an argument is missing.
#pragma once

#include "common/dual_string.h"
#include "plugin/host_records.h"

char16_t* CopyHostFilePath(const HostContext* context, DualString* out);
char16_t* CopyHostTextA(const HostContext* context, DualString* out);  // hostName
char16_t* CopyHostTextB(const HostContext* context, DualString* out);  // hostVersion

// 1 when the wide half of the context's filePath ends inside its field. A path the
// field could not hold with its terminator is refused by the read and the write:
// opened as far as the field goes, it would name another file.
int HostFilePathIsWhole(const HostContext* context);

// Builds a message from wide text and stores it in the context's errorText.
void SetErrorText(HostContext* context, const char16_t* text);
