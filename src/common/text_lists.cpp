#include "common/text_lists.h"

#include "common/memory.h"

HardpointRecord* textHardpoints = nullptr;
int32_t textHardpointCount = 0;
EmitterRecord* textEmitters = nullptr;
int32_t textEmitterCount = 0;
SpriteRecord* textSprites = nullptr;
int32_t textSpriteCount = 0;

namespace {

template <typename Record>
void ReleaseList(Record** list, int32_t* count) {
  if (*list != nullptr) FreeMemory(*list);
  *list = nullptr;
  *count = 0;
}

}  // namespace

void ReleaseHardpointList() { ReleaseList(&textHardpoints, &textHardpointCount); }
void ReleaseEmitterList() { ReleaseList(&textEmitters, &textEmitterCount); }
void ReleaseSpriteList() { ReleaseList(&textSprites, &textSpriteCount); }
