#include "common/byte_buffer.h"

#include "common/memory.h"
#include "common/stream_write.h"

namespace {

constexpr size_t kFirstCapacity = size_t{64} << 10;

// Room for at least `count` more bytes: the capacity doubles until they fit, so that
// appending a file costs time in proportion to its size.
int Grow(ByteBuffer* buffer, size_t count) {
  if (count > SIZE_MAX / 2 - buffer->size) return 0;
  size_t capacity = buffer->capacity < kFirstCapacity ? kFirstCapacity : buffer->capacity;
  while (capacity - buffer->size < count) capacity *= 2;
  // Bytes past the size are handed out only to be filled.
  uint8_t* grown = static_cast<uint8_t*>(AllocBytes(capacity, 1));
  if (grown == nullptr) return 0;
  if (buffer->size > 0) std::memcpy(grown, buffer->data, buffer->size);
  FreeMemory(buffer->data);
  buffer->data = grown;
  buffer->capacity = capacity;
  return 1;
}

}  // namespace

uint8_t* ByteBufferExtend(ByteBuffer* buffer, size_t count) {
  if (buffer == nullptr) return nullptr;
  // The first call allocates even for no bytes, so that the answer is never null on success.
  if ((buffer->data == nullptr || count > buffer->capacity - buffer->size) && !Grow(buffer, count)) return nullptr;
  uint8_t* at = buffer->data + buffer->size;
  buffer->size += count;
  return at;
}

int ByteBufferReserve(ByteBuffer* buffer, size_t count) {
  if (buffer == nullptr) return 0;
  return count <= buffer->capacity - buffer->size || Grow(buffer, count) ? 1 : 0;
}

int ByteBufferWrite(const ByteBuffer* buffer, FILE* stream) {
  if (buffer == nullptr || stream == nullptr) return 0;
  for (size_t at = 0; at < buffer->size; at += kByteBufferBlock) {
    const size_t block = buffer->size - at < kByteBufferBlock ? buffer->size - at : kByteBufferBlock;
    if (!WriteBytes(stream, buffer->data + at, block)) return 0;
  }
  return 1;
}

void ByteBufferFree(ByteBuffer* buffer) {
  if (buffer == nullptr) return;
  FreeMemory(buffer->data);
  *buffer = ByteBufferEmpty();
}
