#include "ValidateProbe.h"

#include <algorithm>
#include <atomic>
#include <cstddef>
#include <cstdlib>
#include <cstring>
#include <cwchar>
#include <iterator>
#include <new>

#include "PlatformWindows.h"

#include <psapi.h>

// A Windows module carries its C++ runtime inside, so no operator new of ours can stand in for
// its own, as the Linux build's does. What it cannot carry inside are the C runtime's heap and
// the system's lock functions: it calls them through its import address table. The probe points
// those entries (of this program and of every module loaded from outside the system folder) at
// counting functions that hand each call on. The C++ runtime's operator new ends in malloc, so
// it is counted there.

namespace {

// Not thread_local: mingw's thread-local variables are made on a thread's first use with malloc,
// which is counted here, which would use them again. The validator arms one thread at a time;
// the counts are written only by the thread that is armed.
std::atomic<DWORD> gArmedThread{0};
aaxhost::probe::Counts gCounts;

enum class Kind
{
  Allocation,
  Lock,
  MutexWait
};

void Count(Kind kind)
{
  if (gArmedThread.load(std::memory_order_relaxed) != GetCurrentThreadId())
    return;
  switch (kind)
  {
    case Kind::Allocation: ++gCounts.allocations; break;
    case Kind::MutexWait: ++gCounts.mutexWaits; [[fallthrough]];
    case Kind::Lock: ++gCounts.locks; break;
  }
}

enum Hooked : size_t
{
  kMalloc,
  kCalloc,
  kRealloc,
  kAlignedMalloc,
  kAlignedRealloc,
  kStrdup,
  kHeapAlloc,
  kHeapReAlloc,
  kEnterCriticalSection,
  kTryEnterCriticalSection,
  kCreateMutexA,
  kCreateMutexW,
  kAcquireSRWLockExclusive,
  kAcquireSRWLockShared,
  kWaitForSingleObject,
  kWaitForMultipleObjects,
  kHookCount
};

// x64 has one calling convention, so these plain functions stand in for the system's.

// The function each import entry held before it was pointed here.
std::atomic<void*> gOriginal[kHookCount];

template <size_t Index, Kind What, typename Result, typename... Args>
Result Counted(Args... args)
{
  Count(What);
  return reinterpret_cast<Result (*)(Args...)>(gOriginal[Index].load(std::memory_order_acquire))(args...);
}

struct Hook
{
  const char* name;
  void* replacement;
};

template <typename Fn>
void* Address(Fn fn)
{
  return reinterpret_cast<void*>(fn);
}

const Hook kHooks[kHookCount] = {
  {"malloc", Address(&Counted<kMalloc, Kind::Allocation, void*, size_t>)},
  {"calloc", Address(&Counted<kCalloc, Kind::Allocation, void*, size_t, size_t>)},
  {"realloc", Address(&Counted<kRealloc, Kind::Allocation, void*, void*, size_t>)},
  {"_aligned_malloc", Address(&Counted<kAlignedMalloc, Kind::Allocation, void*, size_t, size_t>)},
  {"_aligned_realloc", Address(&Counted<kAlignedRealloc, Kind::Allocation, void*, void*, size_t, size_t>)},
  {"_strdup", Address(&Counted<kStrdup, Kind::Allocation, char*, const char*>)},
  {"HeapAlloc", Address(&Counted<kHeapAlloc, Kind::Allocation, LPVOID, HANDLE, DWORD, SIZE_T>)},
  {"HeapReAlloc", Address(&Counted<kHeapReAlloc, Kind::Allocation, LPVOID, HANDLE, DWORD, LPVOID, SIZE_T>)},
  {"EnterCriticalSection", Address(&Counted<kEnterCriticalSection, Kind::Lock, void, LPCRITICAL_SECTION>)},
  {"TryEnterCriticalSection", Address(&Counted<kTryEnterCriticalSection, Kind::Lock, BOOL, LPCRITICAL_SECTION>)},
  {"CreateMutexA", Address(&Counted<kCreateMutexA, Kind::Lock, HANDLE, LPSECURITY_ATTRIBUTES, BOOL, LPCSTR>)},
  {"CreateMutexW", Address(&Counted<kCreateMutexW, Kind::Lock, HANDLE, LPSECURITY_ATTRIBUTES, BOOL, LPCWSTR>)},
  {"AcquireSRWLockExclusive", Address(&Counted<kAcquireSRWLockExclusive, Kind::Lock, void, PSRWLOCK>)},
  {"AcquireSRWLockShared", Address(&Counted<kAcquireSRWLockShared, Kind::Lock, void, PSRWLOCK>)},
  // The queue writer lock is a mutex waited for with this call; the render call may take it.
  {"WaitForSingleObject", Address(&Counted<kWaitForSingleObject, Kind::MutexWait, DWORD, HANDLE, DWORD>)},
  {"WaitForMultipleObjects", Address(&Counted<kWaitForMultipleObjects, Kind::Lock, DWORD, DWORD, const HANDLE*, BOOL, DWORD>)},
};

// Points the module's import entries for the functions above at the counting ones. Entries
// already pointed here are left alone; an entry that holds another function than the one the
// first patched entry held is left alone as well (its calls could not be handed on).
void PatchImports(HMODULE module)
{
  auto* base = reinterpret_cast<BYTE*>(module);
  const auto* dos = reinterpret_cast<const IMAGE_DOS_HEADER*>(base);
  if (dos->e_magic != IMAGE_DOS_SIGNATURE)
    return;
  const auto* nt = reinterpret_cast<const IMAGE_NT_HEADERS*>(base + dos->e_lfanew);
  if (nt->Signature != IMAGE_NT_SIGNATURE)
    return;
  const IMAGE_DATA_DIRECTORY& imports = nt->OptionalHeader.DataDirectory[IMAGE_DIRECTORY_ENTRY_IMPORT];
  if (imports.VirtualAddress == 0)
    return;
  for (auto* library = reinterpret_cast<const IMAGE_IMPORT_DESCRIPTOR*>(base + imports.VirtualAddress); library->Name != 0;
       ++library)
  {
    // Without the name table the entries cannot be told apart.
    if (library->OriginalFirstThunk == 0)
      continue;
    const auto* names = reinterpret_cast<const IMAGE_THUNK_DATA*>(base + library->OriginalFirstThunk);
    auto* entries = reinterpret_cast<IMAGE_THUNK_DATA*>(base + library->FirstThunk);
    for (; names->u1.AddressOfData != 0; ++names, ++entries)
    {
      if (IMAGE_SNAP_BY_ORDINAL(names->u1.Ordinal))
        continue;
      const char* name = reinterpret_cast<const char*>(reinterpret_cast<const IMAGE_IMPORT_BY_NAME*>(base + names->u1.AddressOfData)->Name);
      for (size_t i = 0; i < kHookCount; ++i)
      {
        if (std::strcmp(name, kHooks[i].name) != 0)
          continue;
        void** entry = reinterpret_cast<void**>(&entries->u1.Function);
        void* current = *entry;
        if (current == kHooks[i].replacement)
          break;
        void* expected = nullptr;
        if (!gOriginal[i].compare_exchange_strong(expected, current) && expected != current)
          break;
        DWORD protection = 0;
        if (VirtualProtect(entry, sizeof(void*), PAGE_READWRITE, &protection))
        {
          *entry = kHooks[i].replacement;
          VirtualProtect(entry, sizeof(void*), protection, &protection);
          FlushInstructionCache(GetCurrentProcess(), entry, sizeof(void*));
        }
        break;
      }
    }
  }
}

// Whether the path lies in the system's folder (Windows' own DLLs, whose inner calls are none
// of the module's doing).
bool IsSystemModule(const wchar_t* path)
{
  static wchar_t windowsFolder[MAX_PATH] = {};
  static const UINT length = GetWindowsDirectoryW(windowsFolder, MAX_PATH);
  return length > 0 && length < MAX_PATH && _wcsnicmp(path, windowsFolder, length) == 0;
}

void PatchLoadedModules()
{
  HMODULE modules[512];
  DWORD bytes = 0;
  if (!EnumProcessModules(GetCurrentProcess(), modules, sizeof(modules), &bytes))
    return;
  const size_t count = std::min<size_t>(bytes / sizeof(HMODULE), std::size(modules));
  for (size_t i = 0; i < count; ++i)
  {
    wchar_t path[MAX_PATH * 2];
    const DWORD length = GetModuleFileNameW(modules[i], path, static_cast<DWORD>(std::size(path)));
    if (length == 0 || length >= std::size(path) || IsSystemModule(path))
      continue;
    PatchImports(modules[i]);
  }
}

} // namespace

namespace aaxhost::probe {

void CountAllocation()
{
  Count(Kind::Allocation);
}

// Modules come and go between renders (each case loads its own), so each arming looks again;
// patching happens before the thread is armed and is not counted.
void Arm()
{
  PatchLoadedModules();
  gCounts = Counts{};
  gArmedThread.store(GetCurrentThreadId());
}

Counts Disarm()
{
  gArmedThread.store(0);
  return gCounts;
}

std::string Unavailable()
{
  PatchImports(GetModuleHandleW(nullptr));
  for (const size_t needed : {kMalloc, kEnterCriticalSection, kWaitForSingleObject})
    if (!gOriginal[needed].load())
      return std::string("this program does not import ") + kHooks[needed].name + " to watch it";

  // This program's own calls go through its import table just as the module's do.
  static void* volatile kept = nullptr;
  CRITICAL_SECTION section;
  InitializeCriticalSection(&section);
  Arm();
  kept = ::operator new(16);
  EnterCriticalSection(&section);
  const Counts seen = Disarm();
  LeaveCriticalSection(&section);
  DeleteCriticalSection(&section);
  ::operator delete(kept);
  if (seen.allocations < 1)
    return "operator new does not reach the C runtime's malloc through the import table";
  if (seen.locks < 1)
    return "EnterCriticalSection is not called through the import table";
  return {};
}

} // namespace aaxhost::probe
