#include "export/export_options.h"

// "ST Armada 1", materials written, no side text files, empty paths.
ExportOptions exportOptions = {kGameArmada1, 1, 0, 0, 0, {0}, {0}, {0}};
