// ByteBuffer: a file assembled in memory, handed to its stream in a few large writes
// once it is complete. It grows as bytes are appended; growing allocates through
// the plug-in's allocator, so a buffer that cannot grow for want of memory keeps what it held.
#pragma once

#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <cstring>

#include "common/byte_order.h"

struct ByteBuffer {
  uint8_t* data;  // owned; null while empty
  size_t size;    // bytes appended
  size_t capacity;
};

// An empty buffer that holds no memory yet.
inline ByteBuffer ByteBufferEmpty() { return ByteBuffer{nullptr, 0, 0}; }

// Appends `count` bytes and answers where they start, for the caller to fill; null
// (the buffer as it was) when the buffer cannot grow or is missing.
uint8_t* ByteBufferExtend(ByteBuffer* buffer, size_t count);

// Makes room for `count` more bytes without appending them, so that a buffer whose
// size can be foreseen grows once. 1, or 0 (the buffer as it was) when it cannot grow.
int ByteBufferReserve(ByteBuffer* buffer, size_t count);

// Hands the held bytes to `stream` through WriteBytes in blocks of kByteBufferBlock. 1
// when every byte was written; 0 at the first write that fell short.
constexpr size_t kByteBufferBlock = size_t{8} << 20;
int ByteBufferWrite(const ByteBuffer* buffer, FILE* stream);

// Frees the memory and leaves the buffer empty; safe on an empty or freed buffer.
void ByteBufferFree(ByteBuffer* buffer);

// Little-endian stores into bytes that ByteBufferExtend handed out.
inline uint8_t* StoreU16(uint8_t* at, uint16_t value) {
  if (kLittleEndianMachine) {
    std::memcpy(at, &value, sizeof value);
  } else {
    at[0] = static_cast<uint8_t>(value & 0xFF);
    at[1] = static_cast<uint8_t>(value >> 8);
  }
  return at + 2;
}

inline uint8_t* StoreF32(uint8_t* at, float value) {
  uint32_t bits;
  std::memcpy(&bits, &value, sizeof bits);
  if (kLittleEndianMachine) {
    std::memcpy(at, &bits, sizeof bits);
  } else {
    at[0] = static_cast<uint8_t>(bits & 0xFF);
    at[1] = static_cast<uint8_t>((bits >> 8) & 0xFF);
    at[2] = static_cast<uint8_t>((bits >> 16) & 0xFF);
    at[3] = static_cast<uint8_t>(bits >> 24);
  }
  return at + 4;
}
