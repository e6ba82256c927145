#include "common/dual_string.h"

#include "common/text_conversion.h"
#include "common/wide_text.h"
#include "platform/runtime_text.h"

int DualStringClear(DualString* s) {
  if (s == nullptr) return 0;
  s->wide[0] = 0;
  s->narrow[0] = 0;
  return 1;
}

int DualStringSetWide(DualString* s, const char16_t* text) {
  if (s == nullptr || text == nullptr) return 0;
  WideCopy(s->wide, kDualStringUnits, text);
  size_t converted = RuntimeWideToNarrow(s->narrow, s->wide, kDualStringUnits);
  if (converted == static_cast<size_t>(-1)) WideToNarrow(s->wide, s->narrow, kDualStringUnits);
  s->narrow[kDualStringUnits - 1] = 0;
  return 1;
}

int DualStringSetNarrow(DualString* s, const char* text) {
  if (s == nullptr || text == nullptr) return 0;
  NarrowCopy(s->narrow, kDualStringUnits, text);
  size_t converted = RuntimeNarrowToWide(s->wide, s->narrow, kDualStringUnits);
  if (converted == static_cast<size_t>(-1)) NarrowToWide(s->narrow, s->wide, kDualStringUnits);
  s->wide[kDualStringUnits - 1] = 0;
  return 1;
}

int DualStringAssign(DualString* target, const DualString* source) {
  if (target == nullptr || source == nullptr) return 0;
  if (target == source) return 1;
  size_t narrowLength = NarrowLengthBounded(source->narrow, kDualStringUnits - 1);
  for (size_t i = 0; i < narrowLength; ++i) target->narrow[i] = source->narrow[i];
  target->narrow[narrowLength] = 0;
  size_t wideLength = WideLengthBounded(source->wide, kDualStringUnits - 1);
  for (size_t i = 0; i < wideLength; ++i) target->wide[i] = source->wide[i];
  target->wide[wideLength] = 0;
  return 1;
}
