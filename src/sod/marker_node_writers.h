// The group and marker nodes of a written SOD file: after the mesh nodes, for each
// ticked kind, a group node below the root and one node per record loaded from the
// side text file below the group. Each returns 1 when the whole node was written and
// 0 for a missing stream or at the first write that fell short.
#pragma once

#include <cstdint>
#include <cstdio>

// Null nodes "hardpoints", "emitters" and "sprites" with the root as parent and the
// identity transform.
int WriteHardpointGroup(FILE* stream);
int WriteEmitterGroup(FILE* stream);
int WriteSpriteGroup(FILE* stream);

// Record i of textHardpoints (a null node), textEmitters (an emitter node carrying
// the emitter name) or textSprites (a sprite node), with its group as parent and
// rows 0 to 3 of its transform as R0, R1, R2, T. The name is cut to 127 characters.
// A list without an array writes nothing and answers 1.
int WriteHardpointNode(FILE* stream, int32_t index);
int WriteEmitterNode(FILE* stream, int32_t index);
int WriteSpriteNode(FILE* stream, int32_t index);
