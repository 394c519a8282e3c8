#include "AllocationCounter.h"

#include <dlfcn.h>

#include <cstddef>
#include <new>

namespace {

thread_local long tAllocations = 0;

// The operator new this file replaces: the next definition after this executable's, found once.
template <typename Fn>
Fn Next(const char* mangledName)
{
  return reinterpret_cast<Fn>(dlsym(RTLD_NEXT, mangledName));
}

using NewFn = void* (*)(std::size_t);
using NewNothrowFn = void* (*)(std::size_t, const std::nothrow_t&);

} // namespace

namespace test {

AllocationCounter::AllocationCounter() : mStart(tAllocations) {}

long AllocationCounter::Count() const
{
  return tAllocations - mStart;
}

} // namespace test

void* operator new(std::size_t size)
{
  static const NewFn next = Next<NewFn>("_Znwm");
  ++tAllocations;
  return next(size);
}

void* operator new[](std::size_t size)
{
  static const NewFn next = Next<NewFn>("_Znam");
  ++tAllocations;
  return next(size);
}

void* operator new(std::size_t size, const std::nothrow_t& tag) noexcept
{
  static const NewNothrowFn next = Next<NewNothrowFn>("_ZnwmRKSt9nothrow_t");
  ++tAllocations;
  return next(size, tag);
}

void* operator new[](std::size_t size, const std::nothrow_t& tag) noexcept
{
  static const NewNothrowFn next = Next<NewNothrowFn>("_ZnamRKSt9nothrow_t");
  ++tAllocations;
  return next(size, tag);
}
