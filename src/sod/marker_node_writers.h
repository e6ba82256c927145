// The group and marker nodes of a written SOD file: after the mesh nodes, for each
// ticked kind, a group node below the root and one node per record loaded from the
// side text file below the group. Each appends to the file in memory and returns 1
// when the whole node was appended, 0 for a missing buffer or when it cannot grow.
#pragma once

#include <cstdint>

#include "common/byte_buffer.h"
#include "common/marker_records.h"

// Null nodes "hardpoints", "emitters" and "sprites" with the root as parent and the
// identity transform.
int WriteHardpointGroup(ByteBuffer* out);
int WriteEmitterGroup(ByteBuffer* out);
int WriteSpriteGroup(ByteBuffer* out);

// Record i of textHardpoints (a null node), textEmitters (an emitter node carrying
// the emitter name) or textSprites (a sprite node), with its group as parent and
// rows 0 to 3 of its transform as R0, R1, R2, T. The name is cut to 127 characters.
// A list without an array writes nothing and answers 1.
int WriteHardpointNode(ByteBuffer* out, int32_t index);
int WriteEmitterNode(ByteBuffer* out, int32_t index);
int WriteSpriteNode(ByteBuffer* out, int32_t index);

// One node of `kind` for a loaded record below `parent`: the record's name (cut to 127
// characters) and rows 0 to 3 of its transform as R0, R1, R2, T; the emitter node also
// carries the emitter name. The record writers above write their nodes with these.
int WriteMarkerNode(ByteBuffer* out, uint16_t kind, const MarkerRecord& record, const char* parent);
int WriteEmitterMarkerNode(ByteBuffer* out, const EmitterRecord& record, const char* parent);
