#pragma once

// The bytes the process's allocator has handed out and not had back: what a leak or a hoard
// adds to, and what freed memory the allocator keeps resident does not. Under AddressSanitizer
// its own allocator serves every block and the C library's figures stay at zero, so the
// sanitizer's count is read instead. 0 where neither can be read.

#include <cstddef>

#if defined(__SANITIZE_ADDRESS__)
  #define COMPAT_SANITIZER_ALLOCATOR 1
#elif defined(__has_feature)
  #if __has_feature(address_sanitizer)
    #define COMPAT_SANITIZER_ALLOCATOR 1
  #endif
#endif

#if defined(COMPAT_SANITIZER_ALLOCATOR)
// The sanitizer runtime's own count; GCC installs no header that declares it.
extern "C" std::size_t __sanitizer_get_current_allocated_bytes();
#elif defined(__GLIBC__)
  #include <malloc.h>
#endif

namespace compat {

inline double HeapBytesInUse()
{
#if defined(COMPAT_SANITIZER_ALLOCATOR)
  return static_cast<double>(__sanitizer_get_current_allocated_bytes());
#elif defined(__GLIBC__)
  const struct mallinfo2 info = ::mallinfo2();
  return static_cast<double>(info.uordblks) + static_cast<double>(info.hblkhd);
#else
  return 0.0;
#endif
}

} // namespace compat
