// Writing the side text files. Not built yet: nothing is written.
#include "sidetext/side_text.h"

int32_t ExtractHardpoints(ImportedModel*, HostContext*) { return 0; }
int32_t ExtractEmitters(ImportedModel*, HostContext*) { return 0; }
int32_t ExtractSprites(ImportedModel*, HostContext*) { return 0; }
