// libFuzzer target: arbitrary SOD bytes read and, when the reader takes them, built
// into a real host scene with meshes selected and markers converted as the first byte
// says (see tests/support/import_fuzz_input.h).
#include <cstddef>
#include <cstdint>

#include "support/import_fuzz_input.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  BuildFromFuzzInput(data, size);
  return 0;
}
