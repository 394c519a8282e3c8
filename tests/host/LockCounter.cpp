#include "LockCounter.h"

#include <dlfcn.h>
#include <pthread.h>

namespace {

thread_local long tLocks = 0;

using LockFn = int (*)(pthread_mutex_t*);

LockFn Next(const char* name)
{
  return reinterpret_cast<LockFn>(dlsym(RTLD_NEXT, name));
}

} // namespace

namespace test {

LockCounter::LockCounter() : mStart(tLocks) {}

long LockCounter::Count() const
{
  return tLocks - mStart;
}

} // namespace test

extern "C" int pthread_mutex_lock(pthread_mutex_t* mutex) noexcept
{
  static const LockFn next = Next("pthread_mutex_lock");
  ++tLocks;
  return next(mutex);
}

extern "C" int pthread_mutex_trylock(pthread_mutex_t* mutex) noexcept
{
  static const LockFn next = Next("pthread_mutex_trylock");
  ++tLocks;
  return next(mutex);
}
