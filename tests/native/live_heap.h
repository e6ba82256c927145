// What the process holds on its heap, for tests that show that memory does not grow.
// Under AddressSanitizer the sanitizer's allocator counts the bytes of every block
// that is allocated and not yet freed; otherwise the C library's allocator reports
// its blocks in use. Native tests only.
#pragma once

#include <sys/resource.h>

#include <cstddef>

#if defined(__SANITIZE_ADDRESS__)
#define KVELTAR_TESTS_UNDER_ASAN 1
#elif defined(__has_feature)
#if __has_feature(address_sanitizer)
#define KVELTAR_TESTS_UNDER_ASAN 1
#endif
#endif

#if defined(KVELTAR_TESTS_UNDER_ASAN)
#include <sanitizer/lsan_interface.h>
#if __has_include(<sanitizer/allocator_interface.h>)
#include <sanitizer/allocator_interface.h>
#else
// The sanitizer runtime of every compiler has it; GCC does not install its header.
extern "C" size_t __sanitizer_get_current_allocated_bytes(void);
#endif
#else
#include <malloc.h>
#endif

// Bytes in blocks that are allocated and not freed.
inline size_t LiveHeapBytes() {
#if defined(KVELTAR_TESTS_UNDER_ASAN)
  return __sanitizer_get_current_allocated_bytes();
#else
  struct mallinfo2 info = mallinfo2();
  return info.uordblks + info.hblkhd;
#endif
}

// The largest resident size the process has had so far, in KiB.
inline long PeakResidentKiB() {
  struct rusage usage = {};
  getrusage(RUSAGE_SELF, &usage);
  return usage.ru_maxrss;
}

// Runs LeakSanitizer now: 0 when no block is lost (or leak detection is off), else 1
// after printing the report. Without the sanitizer it finds nothing.
inline int LostBlocksNow() {
#if defined(KVELTAR_TESTS_UNDER_ASAN)
  return __lsan_do_recoverable_leak_check();
#else
  return 0;
#endif
}

inline bool UnderAddressSanitizer() {
#if defined(KVELTAR_TESTS_UNDER_ASAN)
  return true;
#else
  return false;
#endif
}
