// A pointer field of the host's records and function tables: always 8 bytes, as the
// 64-bit host lays it out, whatever the width of a pointer in this build. The pointer
// sits in the low half; where pointers are narrower the high half is zero. The slot
// reads and assigns like the pointer it holds, and stays a plain, trivially copyable
// record that is all zero when the host fills it with zeros.
#pragma once

#include <cstdint>

template <typename P>
struct HostPointer {
  uint64_t bits;

  P get() const { return reinterpret_cast<P>(static_cast<uintptr_t>(bits)); }
  operator P() const { return get(); }
  P operator->() const { return get(); }
  HostPointer& operator=(P pointer) {
    bits = static_cast<uint64_t>(reinterpret_cast<uintptr_t>(pointer));
    return *this;
  }
};

static_assert(sizeof(HostPointer<void*>) == 8 && alignof(HostPointer<void*>) == 8, "an 8-byte slot");
