// ParseSod: the header checks, then the two passes over the rest of the file.
#include <cstring>

#include "common/host_text.h"
#include "common/memory.h"
#include "common/name_compare.h"
#include "common/wide_text.h"
#include "sod/sod_cursor_read.h"
#include "sod/sod_reader.h"

namespace {

enum class SodIdentifier { kStorm, kTrek, kMad, kOther };

SodIdentifier ClassifyIdentifier(const char* text) {
  if (CompareTextNoCase(text, kSodIdentifier) == 0) return SodIdentifier::kStorm;
  if (CompareTextNoCase(text, kSodIdentifierTrek) == 0) return SodIdentifier::kTrek;
  if (CompareTextNoCase(text, kSodIdentifierMad) == 0) return SodIdentifier::kMad;
  return SodIdentifier::kOther;
}

void SetVersionMessage(HostContext* context, const char* format, float version) {
  char16_t message[kModelTextUnits];
  FormatWide(message, kModelTextUnits, format, static_cast<double>(version));
  SetErrorText(context, message);
}

template <typename Record>
int AllocateMarkers(int32_t count, Record** records) {
  if (count <= 0) return 1;
  *records = static_cast<Record*>(AllocZeroed(static_cast<size_t>(count), sizeof(Record)));
  return *records != nullptr ? 1 : 0;
}

int32_t ParseStages(ByteCursor* cursor, HostContext* context, ImportedModel* model) {
  if (!ReadSodHeader(cursor, context, model)) return 0;
  const uint32_t afterHeader = cursor->position;
  model->nodesFilled = model->hardpointsFilled = model->emittersFilled = model->spritesFilled = 0;
  if (!CountPass(cursor, model)) return 0;
  if (model->nodeCount == 0) {
    SetErrorText(context, u"No SOD nodes found.");
    return 0;
  }
  if (!AllocateModelArrays(model)) return 0;
  model->nodesFilled = model->hardpointsFilled = model->emittersFilled = model->spritesFilled = 0;
  cursor->position = afterHeader;
  if (!FillPass(cursor, model)) return 0;
  DeriveModelData(model);
  return BindMaterials(model);
}

}  // namespace

int32_t ReadSodHeader(ByteCursor* cursor, HostContext* context, ImportedModel* model) {
  char identifier[kSodIdentifierBytes + 1] = {};
  if (!CursorRead(cursor, identifier, kSodIdentifierBytes)) return 0;
  const SodIdentifier kind = ClassifyIdentifier(identifier);
  if (kind == SodIdentifier::kOther) {
    SetErrorText(context, u"SOD file header ID, Storm3D_SW, not found.\n");
    return 0;
  }
  float version = 0.0f;
  if (!CursorReadF32(cursor, &version)) {
    model->version = 0.0f;
    return 0;
  }
  model->version = version;
  if (kind == SodIdentifier::kTrek) {
    SetVersionMessage(context, "SOD file header ID, StarTrekDB, version %.2f, not supported.\n", version);
    return 0;
  }
  if (!IsAcceptedSodVersion(version)) {
    SetVersionMessage(context, "SOD file version not supported: %.2f\n", version);
    return 0;
  }
  return 1;
}

int32_t AllocateModelArrays(ImportedModel* model) {
  if (model == nullptr || model->nodeCount <= 0) return 0;
  model->nodes = static_cast<NodeRecord*>(AllocZeroed(static_cast<size_t>(model->nodeCount), sizeof(NodeRecord)));
  if (model->nodes == nullptr) return 0;
  return AllocateMarkers(model->hardpointCount, &model->hardpoints) &&
                 AllocateMarkers(model->spriteCount, &model->sprites) &&
                 AllocateMarkers(model->emitterCount, &model->emitters)
             ? 1
             : 0;
}

int32_t ParseSod(ByteCursor* cursor, HostContext* context, ImportedModel* model) {
  if (cursor == nullptr || cursor->data == nullptr || context == nullptr || model == nullptr) return 0;
  if (ParseStages(cursor, context, model)) return 1;
  FreeImportedModel(model);
  return 0;
}
