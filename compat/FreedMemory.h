#pragma once

// Gives memory that the C library's allocator holds freed, but still resident, back to the
// system. glibc serves large blocks from its heaps once a large block has been freed (its mmap
// threshold rises to the size freed), and a heap gives pages back only from its top: buffers
// that are replaced by buffers of other sizes (an editor being resized) leave freed holes that
// stay resident. Elsewhere the allocator returns what it can by itself, and this does nothing.
// Not for the audio thread: it walks every heap under the allocator's locks.

#include <cstdlib>

#if defined(__GLIBC__)
  #include <malloc.h>
#endif

namespace compat {

inline void ReturnFreedMemory()
{
#if defined(__GLIBC__)
  ::malloc_trim(0);
#endif
}

} // namespace compat
