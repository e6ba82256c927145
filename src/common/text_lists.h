// The three lists loaded from hardpoint, emitter and sprite text files while a SOD
// file is written. An empty list has no array and count 0.
#pragma once

#include <cstdint>

#include "common/marker_records.h"

extern HardpointRecord* textHardpoints;
extern int32_t textHardpointCount;
extern EmitterRecord* textEmitters;
extern int32_t textEmitterCount;
extern SpriteRecord* textSprites;
extern int32_t textSpriteCount;

// Each frees its list's array, if any, and leaves the list empty.
void ReleaseHardpointList();
void ReleaseEmitterList();
void ReleaseSpriteList();
