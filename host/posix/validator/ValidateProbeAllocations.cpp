#include <dlfcn.h>

#include <cstddef>
#include <new>

#include "ValidateProbe.h"

// operator new, counted for the probe and handed on to the definition it replaces (the C++
// library's or a sanitizer's). A ThreadSanitizer build leaves this file out: that runtime's own
// operator new cannot be replaced, and the probe then reports that it does not count.

namespace {

template <typename Fn>
Fn Next(const char* symbol)
{
  return reinterpret_cast<Fn>(dlsym(RTLD_NEXT, symbol));
}

using NewFn = void* (*)(std::size_t);
using NewNothrowFn = void* (*)(std::size_t, const std::nothrow_t&);
using NewAlignedFn = void* (*)(std::size_t, std::align_val_t);

} // namespace

void* operator new(std::size_t size)
{
  static const NewFn next = Next<NewFn>("_Znwm");
  aaxhost::probe::CountAllocation();
  return next(size);
}

void* operator new[](std::size_t size)
{
  static const NewFn next = Next<NewFn>("_Znam");
  aaxhost::probe::CountAllocation();
  return next(size);
}

void* operator new(std::size_t size, const std::nothrow_t& tag) noexcept
{
  static const NewNothrowFn next = Next<NewNothrowFn>("_ZnwmRKSt9nothrow_t");
  aaxhost::probe::CountAllocation();
  return next(size, tag);
}

void* operator new[](std::size_t size, const std::nothrow_t& tag) noexcept
{
  static const NewNothrowFn next = Next<NewNothrowFn>("_ZnamRKSt9nothrow_t");
  aaxhost::probe::CountAllocation();
  return next(size, tag);
}

void* operator new(std::size_t size, std::align_val_t alignment)
{
  static const NewAlignedFn next = Next<NewAlignedFn>("_ZnwmSt11align_val_t");
  aaxhost::probe::CountAllocation();
  return next(size, alignment);
}

void* operator new[](std::size_t size, std::align_val_t alignment)
{
  static const NewAlignedFn next = Next<NewAlignedFn>("_ZnamSt11align_val_t");
  aaxhost::probe::CountAllocation();
  return next(size, alignment);
}
