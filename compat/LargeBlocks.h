#pragma once

// Memory for large buffers that live briefly (a picture being decoded), taken from the system on
// its own and handed straight back. glibc's allocator maps large blocks one by one too, but the
// first such block freed raises its mapping threshold to that block's size (up to 32 MiB) for the
// rest of the process: once a 16 MB decoding buffer has been freed, every block below 16 MB (the
// editor's frame buffers, and the host's own) comes from the heap, where a buffer replaced by one
// of another size leaves a hole that stays resident. Blocks taken here never pass through that
// allocator, so they leave its threshold where the host had it. Elsewhere (Windows' heap maps large
// blocks and gives them back by itself) these are malloc, realloc and free.
//
// Blocks are freed with FreeLargeBlock only, never with free(). Any thread.

#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <cstring>

#if defined(__linux__) && defined(__GLIBC__)
  #include <sys/mman.h>
  #include <unistd.h>
#endif

namespace compat {

#if defined(__linux__) && defined(__GLIBC__)

namespace large_blocks {

// Smaller blocks come from the allocator: glibc's own threshold starts here, so they never make
// it move.
constexpr size_t kMappedFrom = 128 * 1024;

// Keeps the payload as aligned as malloc's.
struct alignas(16) Header
{
  size_t bytes;  // the mapping's length, or the payload's size for a block from malloc
  size_t mapped; // 1 for a mapping
};

inline size_t MappingLength(size_t bytes)
{
  const size_t page = static_cast<size_t>(::sysconf(_SC_PAGESIZE));
  if (bytes > SIZE_MAX - sizeof(Header) - page)
    return 0;
  return (bytes + sizeof(Header) + page - 1) / page * page;
}

inline Header* HeaderOf(void* block)
{
  return static_cast<Header*>(block) - 1;
}

} // namespace large_blocks

inline void* AllocateLargeBlock(size_t bytes)
{
  using namespace large_blocks;
  if (bytes < kMappedFrom)
  {
    auto* header = static_cast<Header*>(std::malloc(sizeof(Header) + bytes));
    if (!header)
      return nullptr;
    *header = Header{bytes, 0};
    return header + 1;
  }
  const size_t length = MappingLength(bytes);
  if (length == 0)
    return nullptr;
  void* mapping = ::mmap(nullptr, length, PROT_READ | PROT_WRITE, MAP_PRIVATE | MAP_ANONYMOUS, -1, 0);
  if (mapping == MAP_FAILED)
    return nullptr;
  auto* header = static_cast<Header*>(mapping);
  *header = Header{length, 1};
  return header + 1;
}

inline void FreeLargeBlock(void* block)
{
  using namespace large_blocks;
  if (!block)
    return;
  Header* header = HeaderOf(block);
  if (header->mapped)
    ::munmap(header, header->bytes);
  else
    std::free(header);
}

// As realloc: the contents up to the smaller size are kept; null (the block untouched) on failure.
inline void* ReallocateLargeBlock(void* block, size_t bytes)
{
  using namespace large_blocks;
  if (!block)
    return AllocateLargeBlock(bytes);
  Header* header = HeaderOf(block);
  if (header->mapped && bytes >= kMappedFrom)
  {
    // A growing decoder buffer moves its pages rather than copying them.
    const size_t length = MappingLength(bytes);
    if (length == 0)
      return nullptr;
    if (length == header->bytes)
      return block;
    void* moved = ::mremap(header, header->bytes, length, MREMAP_MAYMOVE);
    if (moved == MAP_FAILED)
      return nullptr;
    header = static_cast<Header*>(moved);
    header->bytes = length;
    return header + 1;
  }
  const size_t held = header->mapped ? header->bytes - sizeof(Header) : header->bytes;
  void* replacement = AllocateLargeBlock(bytes);
  if (!replacement)
    return nullptr;
  std::memcpy(replacement, block, held < bytes ? held : bytes);
  FreeLargeBlock(block);
  return replacement;
}

#else

inline void* AllocateLargeBlock(size_t bytes)
{
  return std::malloc(bytes);
}

inline void* ReallocateLargeBlock(void* block, size_t bytes)
{
  return std::realloc(block, bytes);
}

inline void FreeLargeBlock(void* block)
{
  std::free(block);
}

#endif

} // namespace compat
