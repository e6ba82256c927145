// Host materials from the model's material list, with colours and texture maps.
#include <cstring>

#include "common/dual_string.h"
#include "common/wide_text.h"
#include "import/scene_steps.h"

namespace {

constexpr int32_t kMainTextureMap = 0;
constexpr int32_t kSecondTextureMap = 2;
constexpr uint32_t kMapHoldsFile = 1;

// Gives the material map `mapIndex` with the file's directory joined to `texture`. A
// joined path that does not fit a text field gets no map rather than a cut path that
// would name another file.
void AttachMap(HostMaterial* material, int32_t mapIndex, const char16_t* directory, const char16_t* texture) {
  if (texture[0] == 0) return;
  char16_t path[kDualStringUnits];
  WideCopy(path, kDualStringUnits, directory);
  if (!WideAppend(path, kDualStringUnits, texture)) return;
  HostMap* map = material->methods->AcquireMap(material, mapIndex, 1);
  if (map == nullptr || path[0] == 0) return;
  DualString text;
  DualStringSetWide(&text, path);
  DualStringAssign(&map->path, &text);
  map->mapFlags |= kMapHoldsFile;
}

}  // namespace

int32_t BuildMaterials(const ImportedModel& model, HostContext* context, const char16_t* directory) {
  for (const MaterialRecord* record = model.materials; record != nullptr; record = record->next) {
    DualString name;
    DualStringSetNarrow(&name, record->name);
    HostMaterial* material = context->services->CreateMaterial(context, &name);
    if (material == nullptr) return 0;
    std::memcpy(material->diffuse, record->diffuse, sizeof material->diffuse);
    std::memcpy(material->ambient, record->ambient, sizeof material->ambient);
    std::memcpy(material->specular, record->specular, sizeof material->specular);
    material->specularPower = record->specularPower;
    AttachMap(material, kMainTextureMap, directory, record->texture);
    AttachMap(material, kSecondTextureMap, directory, record->secondTexture);
  }
  return 1;
}
