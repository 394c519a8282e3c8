#include "Win32Kernel.h"

#include "Win32KernelObjects.h"
#include "Win32LiveObjects.h"
#include "Win32ThreadExit.h"

#include <algorithm>
#include <atomic>
#include <chrono>
#include <condition_variable>
#include <memory>
#include <mutex>
#include <system_error>
#include <thread>
#include <unistd.h>
#include <unordered_map>
#include <vector>

namespace {

using Clock = std::chrono::steady_clock;

thread_local DWORD tLastError = ERROR_SUCCESS;

// Thread identifiers are handed out on first use, or by CreateThread before the thread runs so
// that the creator learns the identifier at once. Multiples of four, like the real ones.
std::atomic<DWORD> gNextThreadId{0x100};
thread_local DWORD tThreadId = 0;

DWORD NewThreadId()
{
  return gNextThreadId.fetch_add(4, std::memory_order_relaxed);
}

// Waits on the condition for at most the given milliseconds (INFINITE waits for ever).
template <typename Predicate>
bool WaitMs(std::unique_lock<std::mutex>& lock, std::condition_variable& cv, DWORD milliseconds,
            Predicate ready)
{
  if (milliseconds == INFINITE)
  {
    cv.wait(lock, ready);
    return true;
  }
  return cv.wait_for(lock, std::chrono::milliseconds(milliseconds), ready);
}

// --- Kernel objects behind handles -------------------------------------------------------------

using win32compat::KernelObject;

class MutexObject;

// The mutexes that the current thread owns, so that they can be abandoned when it ends.
struct OwnedMutexes
{
  std::vector<std::weak_ptr<MutexObject>> held;
  ~OwnedMutexes();
  void AbandonAll();
};
thread_local OwnedMutexes tOwnedMutexes;

class MutexObject final : public KernelObject, public std::enable_shared_from_this<MutexObject>
{
public:
  DWORD Wait(DWORD milliseconds) override
  {
    const DWORD self = GetCurrentThreadId();
    std::unique_lock<std::mutex> lock(mMutex);
    if (!WaitMs(lock, mReleased, milliseconds, [&] { return mOwner == 0 || mOwner == self; }))
      return WAIT_TIMEOUT;
    const bool wasAbandoned = mAbandoned;
    mAbandoned = false;
    if (mCount++ == 0)
    {
      mOwner = self;
      tOwnedMutexes.held.push_back(weak_from_this());
    }
    return wasAbandoned ? WAIT_ABANDONED : WAIT_OBJECT_0;
  }

  bool Release()
  {
    const DWORD self = GetCurrentThreadId();
    std::lock_guard<std::mutex> lock(mMutex);
    if (mOwner != self)
      return false;
    if (--mCount == 0)
    {
      mOwner = 0;
      auto& held = tOwnedMutexes.held;
      held.erase(std::remove_if(held.begin(), held.end(),
                                [this](const std::weak_ptr<MutexObject>& m) {
                                  auto locked = m.lock();
                                  return !locked || locked.get() == this;
                                }),
                 held.end());
      mReleased.notify_all();
    }
    return true;
  }

  void Abandon(DWORD owner)
  {
    std::lock_guard<std::mutex> lock(mMutex);
    if (mOwner != owner)
      return;
    mOwner = 0;
    mCount = 0;
    mAbandoned = true;
    mReleased.notify_all();
  }

private:
  std::mutex mMutex;
  std::condition_variable mReleased;
  DWORD mOwner = 0;
  unsigned mCount = 0;
  bool mAbandoned = false;
};

void OwnedMutexes::AbandonAll()
{
  const DWORD self = GetCurrentThreadId();
  std::vector<std::weak_ptr<MutexObject>> abandoned;
  abandoned.swap(held);
  for (auto& weak : abandoned)
    if (auto mutex = weak.lock())
      mutex->Abandon(self);
}

OwnedMutexes::~OwnedMutexes()
{
  AbandonAll();
}

class ThreadObject final : public KernelObject
{
public:
  DWORD Wait(DWORD milliseconds) override
  {
    std::unique_lock<std::mutex> lock(mMutex);
    return WaitMs(lock, mEnded, milliseconds, [&] { return mDone; }) ? WAIT_OBJECT_0 : WAIT_TIMEOUT;
  }

  void Finish()
  {
    std::lock_guard<std::mutex> lock(mMutex);
    mDone = true;
    mEnded.notify_all();
  }

private:
  std::mutex mMutex;
  std::condition_variable mEnded;
  bool mDone = false;
};

// Handle values are small multiples of four that never collide with NULL or
// INVALID_HANDLE_VALUE; unknown values are refused instead of being dereferenced.
struct HandleTable
{
  std::mutex mutex;
  std::unordered_map<uintptr_t, std::shared_ptr<KernelObject>> objects;
  uintptr_t next = 0x100;
};

HandleTable& Handles()
{
  // Never destroyed: threads may still close handles while the process shuts down.
  static HandleTable* table = new HandleTable;
  return *table;
}

} // namespace

namespace win32compat {

HANDLE AddKernelHandle(std::shared_ptr<KernelObject> object)
{
  auto& table = Handles();
  std::lock_guard<std::mutex> lock(table.mutex);
  const uintptr_t value = table.next;
  table.next += 4;
  table.objects.emplace(value, std::move(object));
  return reinterpret_cast<HANDLE>(value);
}

size_t LiveKernelHandles()
{
  auto& table = Handles();
  std::lock_guard<std::mutex> lock(table.mutex);
  return table.objects.size();
}

std::shared_ptr<KernelObject> FindKernelHandle(HANDLE handle)
{
  auto& table = Handles();
  std::lock_guard<std::mutex> lock(table.mutex);
  auto it = table.objects.find(reinterpret_cast<uintptr_t>(handle));
  return it == table.objects.end() ? nullptr : it->second;
}

} // namespace win32compat

namespace {

using win32compat::AddKernelHandle;
using win32compat::FindKernelHandle;

HANDLE NewMutex(BOOL initialOwner, bool named)
{
  if (named)
  {
    SetLastError(ERROR_NOT_SUPPORTED);
    return nullptr;
  }
  auto mutex = std::make_shared<MutexObject>();
  if (initialOwner)
    mutex->Wait(0);
  return AddKernelHandle(std::move(mutex));
}

} // namespace

// --- Critical sections -------------------------------------------------------------------------

struct CriticalSectionState
{
  std::mutex mutex;
  std::condition_variable released;
  DWORD owner = 0;
  unsigned count = 0;
};

namespace win32compat {

void AbandonThreadMutexes()
{
  tOwnedMutexes.AbandonAll();
}

} // namespace win32compat

DWORD GetLastError()
{
  return tLastError;
}

void SetLastError(DWORD errorCode)
{
  tLastError = errorCode;
}

DWORD WaitForSingleObject(HANDLE handle, DWORD milliseconds)
{
  auto object = FindKernelHandle(handle);
  if (!object)
  {
    SetLastError(ERROR_INVALID_HANDLE);
    return WAIT_FAILED;
  }
  return object->Wait(milliseconds);
}

BOOL CloseHandle(HANDLE handle)
{
  std::shared_ptr<KernelObject> object; // released outside the table lock
  {
    auto& table = Handles();
    std::lock_guard<std::mutex> lock(table.mutex);
    auto it = table.objects.find(reinterpret_cast<uintptr_t>(handle));
    if (it == table.objects.end())
    {
      SetLastError(ERROR_INVALID_HANDLE);
      return FALSE;
    }
    object = std::move(it->second);
    table.objects.erase(it);
  }
  return TRUE;
}

void InitializeCriticalSection(LPCRITICAL_SECTION section)
{
  section->State = new CriticalSectionState;
}

void EnterCriticalSection(LPCRITICAL_SECTION section)
{
  auto& state = *section->State;
  const DWORD self = GetCurrentThreadId();
  std::unique_lock<std::mutex> lock(state.mutex);
  state.released.wait(lock, [&] { return state.owner == 0 || state.owner == self; });
  state.owner = self;
  ++state.count;
}

BOOL TryEnterCriticalSection(LPCRITICAL_SECTION section)
{
  auto& state = *section->State;
  const DWORD self = GetCurrentThreadId();
  std::lock_guard<std::mutex> lock(state.mutex);
  if (state.owner != 0 && state.owner != self)
    return FALSE;
  state.owner = self;
  ++state.count;
  return TRUE;
}

void LeaveCriticalSection(LPCRITICAL_SECTION section)
{
  auto& state = *section->State;
  std::lock_guard<std::mutex> lock(state.mutex);
  if (state.owner != GetCurrentThreadId())
    return;
  if (--state.count == 0)
  {
    state.owner = 0;
    state.released.notify_one();
  }
}

void DeleteCriticalSection(LPCRITICAL_SECTION section)
{
  delete section->State;
  section->State = nullptr;
}

HANDLE CreateMutexA(LPSECURITY_ATTRIBUTES, BOOL initialOwner, LPCSTR name)
{
  return NewMutex(initialOwner, name != nullptr);
}

HANDLE CreateMutexW(LPSECURITY_ATTRIBUTES, BOOL initialOwner, LPCWSTR name)
{
  return NewMutex(initialOwner, name != nullptr);
}

BOOL ReleaseMutex(HANDLE handle)
{
  auto mutex = std::dynamic_pointer_cast<MutexObject>(FindKernelHandle(handle));
  if (!mutex)
  {
    SetLastError(ERROR_INVALID_HANDLE);
    return FALSE;
  }
  if (!mutex->Release())
  {
    SetLastError(ERROR_NOT_OWNER);
    return FALSE;
  }
  return TRUE;
}

HANDLE CreateThread(LPSECURITY_ATTRIBUTES, SIZE_T, LPTHREAD_START_ROUTINE start, LPVOID parameter,
                    DWORD creationFlags, LPDWORD threadId)
{
  if (!start)
  {
    SetLastError(ERROR_INVALID_PARAMETER);
    return nullptr;
  }
  if (creationFlags & CREATE_SUSPENDED)
  {
    SetLastError(ERROR_NOT_SUPPORTED);
    return nullptr;
  }
  auto thread = std::make_shared<ThreadObject>();
  const DWORD id = NewThreadId();
  try
  {
    std::thread([thread, id, start, parameter] {
      tThreadId = id;
      start(parameter);
      win32compat::ReleaseThreadMessageQueue();
      win32compat::AbandonThreadMutexes();
      thread->Finish();
    }).detach();
  }
  catch (const std::system_error&)
  {
    SetLastError(ERROR_NOT_ENOUGH_MEMORY);
    return nullptr;
  }
  if (threadId)
    *threadId = id;
  return AddKernelHandle(std::move(thread));
}

DWORD GetCurrentThreadId()
{
  if (tThreadId == 0)
    tThreadId = NewThreadId();
  return tThreadId;
}

void Sleep(DWORD milliseconds)
{
  if (milliseconds == 0)
  {
    std::this_thread::yield();
    return;
  }
  if (milliseconds == INFINITE)
  {
    for (;;)
      std::this_thread::sleep_for(std::chrono::hours(24));
  }
  std::this_thread::sleep_for(std::chrono::milliseconds(milliseconds));
}

DWORD GetTickCount()
{
  const auto ms = std::chrono::duration_cast<std::chrono::milliseconds>(Clock::now().time_since_epoch());
  return static_cast<DWORD>(ms.count());
}

// --- Process and thread extras -------------------------------------------------------------------

namespace {

// What GetCurrentThread returns on Windows.
const HANDLE kCurrentThread = reinterpret_cast<HANDLE>(static_cast<LONG_PTR>(-2));

} // namespace

DWORD GetCurrentProcessId()
{
  static const DWORD id = static_cast<DWORD>(::getpid());
  return id;
}

HANDLE GetCurrentThread()
{
  return kCurrentThread;
}

BOOL SetThreadPriority(HANDLE thread, int priority)
{
  const bool valid = priority == THREAD_PRIORITY_IDLE || priority == THREAD_PRIORITY_TIME_CRITICAL ||
                     (priority >= THREAD_PRIORITY_LOWEST && priority <= THREAD_PRIORITY_HIGHEST);
  if (!valid)
  {
    SetLastError(ERROR_INVALID_PARAMETER);
    return FALSE;
  }
  if (thread != kCurrentThread && !FindKernelHandle(thread))
  {
    SetLastError(ERROR_INVALID_HANDLE);
    return FALSE;
  }
  return TRUE;
}
