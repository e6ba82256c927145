// Reading the side text files. Not built yet: nothing is loaded.
#include "sidetext/side_text.h"

int32_t ReadHardpointFile(FILE*) { return 0; }
int32_t ReadEmitterFile(FILE*) { return 0; }
int32_t ReadSpriteFile(FILE*) { return 0; }
int32_t ReadTextLine(FILE*, char*) { return 0; }
