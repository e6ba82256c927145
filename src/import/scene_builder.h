// Builds the imported model into the host's scene.
#pragma once

#include <cstdint>

#include "plugin/host_records.h"
#include "sod/imported_model.h"

// Materials, one vertex array, a named part and a polygon set per face group of each
// selected mesh node, and marker quads as the import options ask. 1 when the whole
// scene was built, 0 at the first failure.
int32_t BuildScene(ImportedModel* model, HostContext* context);
