// libFuzzer target: the SOD reader on arbitrary bytes held in memory. Each input is
// parsed into a fresh model, which is then freed, so a leak or a read outside the
// input shows at once.
#include <cstdint>
#include <cstring>

#include "sod/sod_reader.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  if (size > UINT32_MAX) return 0;
  static HostContext context;  // receives the messages; cleared for each input
  std::memset(&context, 0, sizeof context);
  ByteCursor cursor = {const_cast<uint8_t*>(data), 0, static_cast<uint32_t>(size)};
  ImportedModel model = {};
  if (ParseSod(&cursor, &context, &model) == 1 && model.nodesFilled != model.nodeCount) __builtin_trap();
  FreeImportedModel(&model);
  return 0;
}
