// The export operation: the checks that a scene can be written as a SOD file, then
// the export dialog.
#pragma once

#include <cstddef>
#include <cstdint>

#include "plugin/host_records.h"

constexpr size_t kReservedNameBytes = 260;  // a full name field

// 1 when no material name of currentContext's scene is reserved for SOD nodes (also
// without materials); 0 with the first reserved name, as stored, copied into `out`
// (kReservedNameBytes). A name is reserved when its lower-case form contains one of
// "damage", "crew", "engines", "life", "sensors", "shields", "target", "borg", or when
// its first two characters are "s_", "c_", "e_" or "hp" in any case.
int32_t FindReservedMaterialName(char* out);

// Declared with the other operations in plugin/operations.h:
//   int32_t PrepareExport(HostContext* context, void* moduleInstance);
// Triangulates the scene through the host, checks geometry, limits and material names
// (message boxes), then shows dialog 102 from `moduleInstance`. 1 after OK; 2 when a
// check stopped it, the user declined or cancelled, or the dialog could not be shown;
// 0 for a missing argument or a failed triangulation.
