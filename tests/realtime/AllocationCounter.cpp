#include "AllocationCounter.h"

#include <cstdlib>
#include <new>

namespace {
thread_local bool tArmed = false;
thread_local std::size_t tCount = 0;

void* Allocate(std::size_t size)
{
  if (tArmed)
    ++tCount;
  if (void* p = std::malloc(size ? size : 1))
    return p;
  throw std::bad_alloc();
}

void* AllocateAligned(std::size_t size, std::align_val_t align)
{
  if (tArmed)
    ++tCount;
  const std::size_t a = static_cast<std::size_t>(align);
  const std::size_t rounded = (size + a - 1) / a * a;
  if (void* p = std::aligned_alloc(a, rounded ? rounded : a))
    return p;
  throw std::bad_alloc();
}
} // namespace

AllocationCounter::AllocationCounter()
{
  tCount = 0;
  tArmed = true;
}

AllocationCounter::~AllocationCounter()
{
  tArmed = false;
}

std::size_t AllocationCounter::Count() const
{
  return tCount;
}

void* operator new(std::size_t size) { return Allocate(size); }
void* operator new[](std::size_t size) { return Allocate(size); }
void* operator new(std::size_t size, const std::nothrow_t&) noexcept
{
  try { return Allocate(size); } catch (...) { return nullptr; }
}
void* operator new[](std::size_t size, const std::nothrow_t&) noexcept
{
  try { return Allocate(size); } catch (...) { return nullptr; }
}
void* operator new(std::size_t size, std::align_val_t align) { return AllocateAligned(size, align); }
void* operator new[](std::size_t size, std::align_val_t align) { return AllocateAligned(size, align); }
void operator delete(void* p) noexcept { std::free(p); }
void operator delete[](void* p) noexcept { std::free(p); }
void operator delete(void* p, std::size_t) noexcept { std::free(p); }
void operator delete[](void* p, std::size_t) noexcept { std::free(p); }
void operator delete(void* p, std::align_val_t) noexcept { std::free(p); }
void operator delete[](void* p, std::align_val_t) noexcept { std::free(p); }
void operator delete(void* p, std::size_t, std::align_val_t) noexcept { std::free(p); }
void operator delete[](void* p, std::size_t, std::align_val_t) noexcept { std::free(p); }
