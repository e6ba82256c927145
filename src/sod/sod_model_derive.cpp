// Data the model derives from what the file holds: the positions of the markers. (The
// world-space vertices of each mesh are made by the filling pass, as it reads them.)
#include "sod/sod_reader.h"

namespace {

template <typename Record>
void SetPositions(Record* records, int32_t count) {
  if (records == nullptr) return;
  for (int32_t i = 0; i < count; ++i) {
    for (int k = 0; k < 3; ++k) records[i].position[k] = records[i].transform.m[3][k];
  }
}

}  // namespace

int32_t DeriveModelData(ImportedModel* model) {
  if (model == nullptr) return 0;
  SetPositions(model->hardpoints, model->hardpointCount);
  SetPositions(model->emitters, model->emitterCount);
  SetPositions(model->sprites, model->spriteCount);
  return 1;
}
