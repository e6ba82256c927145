#include "interface/process_memory.h"

#include <cstdlib>  // defines __GLIBC__ with the GNU C library

#if defined(__GLIBC__)
#include <malloc.h>
#endif

namespace host {

void KeepFreedMemoryForNextFiles() {
#if defined(__GLIBC__)
  // Blocks up to 32 MB come from the heap and stay there when freed; the heap gives
  // memory back only beyond 256 MB free at its top.
  mallopt(M_MMAP_THRESHOLD, 32 << 20);
  mallopt(M_TRIM_THRESHOLD, 256 << 20);
#endif
}

}  // namespace host
