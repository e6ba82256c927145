#include "common/host_text.h"

#include "common/wide_text.h"

namespace {

char16_t* CopyField(const DualString* field, DualString* out) {
  if (out == nullptr) return nullptr;
  DualStringAssign(out, field);
  return out->wide;
}

}  // namespace

char16_t* CopyHostFilePath(const HostContext* context, DualString* out) {
  return context != nullptr ? CopyField(&context->filePath, out) : nullptr;
}

int HostFilePathIsWhole(const HostContext* context) {
  return context != nullptr && WideLengthBounded(context->filePath.wide, kDualStringUnits) < kDualStringUnits ? 1 : 0;
}

char16_t* CopyHostTextA(const HostContext* context, DualString* out) {
  return context != nullptr ? CopyField(&context->hostName, out) : nullptr;
}

char16_t* CopyHostTextB(const HostContext* context, DualString* out) {
  return context != nullptr ? CopyField(&context->hostVersion, out) : nullptr;
}

void SetErrorText(HostContext* context, const char16_t* text) {
  if (context == nullptr || text == nullptr) return;
  DualString message;
  DualStringSetWide(&message, text);
  DualStringAssign(&context->errorText, &message);
}
