// The choices of the export dialog, kept for the life of the process.
#pragma once

#include <cstdint>

#include "common/paths.h"

constexpr int32_t kGameArmada1 = 1000;  // radio button "ST Armada 1": SOD 1.8
constexpr int32_t kGameArmada2 = 1001;  // radio button "ST Armada 2": SOD 1.93

struct ExportOptions {
  int32_t gameVersion;
  int32_t exportMaterials;
  int32_t useHardpointFile;
  int32_t useSpriteFile;
  int32_t useEmitterFile;
  char16_t hardpointFilePath[kPathUnits];
  char16_t spriteFilePath[kPathUnits];
  char16_t emitterFilePath[kPathUnits];
};

// "ST Armada 1", materials on, no text files, when the library loads.
extern ExportOptions exportOptions;
