// The choices of the import dialog, kept for the life of the process.
#pragma once

#include <cstdint>

struct ImportOptions {
  int32_t extractSprites;     // check box 1004
  int32_t extractEmitters;    // check box 1003
  int32_t extractHardpoints;  // check box 1002
  int32_t convertSprites;     // check box 1007
  int32_t convertEmitters;    // check box 1005
  int32_t convertHardpoints;  // check box 1006
};

// All 0 when the library loads.
extern ImportOptions importOptions;
