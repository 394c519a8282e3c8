#include "ValidateProbe.h"

#include <dlfcn.h>

#include <cstddef>
#include <new>

#include "PlatformWindows.h"

// The lock replacements below, and operator new's in ValidateProbeAllocations.cpp, are exported
// from the aaxhost program (see its dynamic symbol list), so the module's own calls come here
// first and are then handed on to the definitions they replace.

namespace {

thread_local bool tArmed = false;
thread_local aaxhost::probe::Counts tCounts;

template <typename Fn>
Fn Next(const char* symbol)
{
  return reinterpret_cast<Fn>(dlsym(RTLD_NEXT, symbol));
}

using NewFn = void* (*)(std::size_t);
using WaitFn = DWORD (*)(HANDLE, DWORD);
using SectionFn = void (*)(LPCRITICAL_SECTION);
using TrySectionFn = BOOL (*)(LPCRITICAL_SECTION);
using CreateMutexAFn = HANDLE (*)(LPSECURITY_ATTRIBUTES, BOOL, LPCSTR);
using CreateMutexWFn = HANDLE (*)(LPSECURITY_ATTRIBUTES, BOOL, LPCWSTR);

// The stand-in's C++ names; the dynamic symbol list names the same ones.
constexpr const char* kWait = "_Z19WaitForSingleObjectPvj";
constexpr const char* kEnter = "_Z20EnterCriticalSectionP21_RTL_CRITICAL_SECTION";
constexpr const char* kTryEnter = "_Z23TryEnterCriticalSectionP21_RTL_CRITICAL_SECTION";
constexpr const char* kCreateA = "_Z12CreateMutexAP20_SECURITY_ATTRIBUTESiPKc";
constexpr const char* kCreateW = "_Z12CreateMutexWP20_SECURITY_ATTRIBUTESiPKw";

void CountLock(bool mutexWait)
{
  if (!tArmed)
    return;
  ++tCounts.locks;
  if (mutexWait)
    ++tCounts.mutexWaits;
}

} // namespace

DWORD WaitForSingleObject(HANDLE handle, DWORD milliseconds);
void EnterCriticalSection(LPCRITICAL_SECTION section);

namespace aaxhost::probe {

void CountAllocation()
{
  if (tArmed)
    ++tCounts.allocations;
}

void Arm()
{
  tCounts = Counts{};
  tArmed = true;
}

Counts Disarm()
{
  tArmed = false;
  return tCounts;
}

std::string Unavailable()
{
  for (const char* symbol : {kWait, kEnter, kTryEnter, kCreateA, kCreateW})
    if (!dlsym(RTLD_NEXT, symbol))
      return std::string("the Win32 stand-in's lock function ") + symbol + " was not found";
  // The module finds symbols the way dlsym(RTLD_DEFAULT) does: these must be ours.
  if (dlsym(RTLD_DEFAULT, kWait) != reinterpret_cast<void*>(static_cast<WaitFn>(&WaitForSingleObject)) ||
      dlsym(RTLD_DEFAULT, kEnter) != reinterpret_cast<void*>(static_cast<SectionFn>(&EnterCriticalSection)))
    return "the lock replacements are not exported to loaded modules";
  if (dlsym(RTLD_DEFAULT, "_Znwm") != reinterpret_cast<void*>(static_cast<NewFn>(&::operator new)))
    return "operator new's replacement is not exported to loaded modules";
  Arm();
  ::operator delete(::operator new(16));
  const Counts seen = Disarm();
  if (seen.allocations != 1)
    return "operator new is not replaced in this program";
  return {};
}

} // namespace aaxhost::probe

DWORD WaitForSingleObject(HANDLE handle, DWORD milliseconds)
{
  static const WaitFn next = Next<WaitFn>(kWait);
  CountLock(true);
  return next(handle, milliseconds);
}

void EnterCriticalSection(LPCRITICAL_SECTION section)
{
  static const SectionFn next = Next<SectionFn>(kEnter);
  CountLock(false);
  next(section);
}

BOOL TryEnterCriticalSection(LPCRITICAL_SECTION section)
{
  static const TrySectionFn next = Next<TrySectionFn>(kTryEnter);
  CountLock(false);
  return next(section);
}

HANDLE CreateMutexA(LPSECURITY_ATTRIBUTES attributes, BOOL initialOwner, LPCSTR name)
{
  static const CreateMutexAFn next = Next<CreateMutexAFn>(kCreateA);
  CountLock(false);
  return next(attributes, initialOwner, name);
}

HANDLE CreateMutexW(LPSECURITY_ATTRIBUTES attributes, BOOL initialOwner, LPCWSTR name)
{
  static const CreateMutexWFn next = Next<CreateMutexWFn>(kCreateW);
  CountLock(false);
  return next(attributes, initialOwner, name);
}
