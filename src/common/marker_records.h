// Records of the placement nodes of a model: hardpoints, sprites and emitters. The
// SOD reader fills them from a file's nodes; the side text files carry them too.
#pragma once

#include <cstddef>

#include "common/transform.h"

constexpr size_t kMarkerNameBytes = 256;   // 255 characters and the terminator
constexpr size_t kEmitterNameBytes = 128;  // 127 characters and the terminator

// A hardpoint or a sprite: same fields.
struct MarkerRecord {
  char name[kMarkerNameBytes];
  Matrix4 transform;
  float position[3];  // the translation row of transform
};

typedef MarkerRecord HardpointRecord;
typedef MarkerRecord SpriteRecord;

struct EmitterRecord {
  char name[kMarkerNameBytes];
  char emitterName[kEmitterNameBytes];
  Matrix4 transform;
  float position[3];
};

// The comparator of the side text writers reads the name at the start of a record.
static_assert(offsetof(MarkerRecord, name) == 0, "name leads the record");
static_assert(offsetof(EmitterRecord, name) == 0, "name leads the record");
