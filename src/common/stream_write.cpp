#include "common/stream_write.h"

namespace {

int64_t writeBudget = -1;

}  // namespace

int WriteBytes(FILE* stream, const void* data, size_t size) {
  if (stream == nullptr || (data == nullptr && size != 0)) return 0;
  size_t allowed = size;
  if (writeBudget >= 0 && static_cast<uint64_t>(writeBudget) < size) allowed = static_cast<size_t>(writeBudget);
  size_t written = allowed == 0 ? 0 : fwrite(data, 1, allowed, stream);
  if (writeBudget >= 0) writeBudget -= static_cast<int64_t>(written);
  return written == size ? 1 : 0;
}

void SetWriteFailureAfter(int64_t byteBudget) { writeBudget = byteBudget; }
