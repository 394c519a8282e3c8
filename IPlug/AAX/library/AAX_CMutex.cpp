#include "AAX_CMutex.h"

#include "PlatformWindows.h"

AAX_CMutex::AAX_CMutex() : mMutex(CreateMutexA(nullptr, FALSE, nullptr)) {}

AAX_CMutex::~AAX_CMutex()
{
  if (mMutex)
    CloseHandle(static_cast<HANDLE>(mMutex));
}

bool AAX_CMutex::Lock()
{
  if (!mMutex)
    return false;
  const uint32_t self = GetCurrentThreadId();
  if (mOwner.load(std::memory_order_acquire) == self)
    return false;
  const DWORD result = WaitForSingleObject(static_cast<HANDLE>(mMutex), INFINITE);
  // An abandoned mutex is still ours now; its previous owner's work is left as it was.
  if (result != WAIT_OBJECT_0 && result != WAIT_ABANDONED)
    return false;
  mOwner.store(self, std::memory_order_release);
  return true;
}

void AAX_CMutex::Unlock()
{
  if (!mMutex || mOwner.load(std::memory_order_acquire) != GetCurrentThreadId())
    return;
  mOwner.store(0, std::memory_order_release);
  ReleaseMutex(static_cast<HANDLE>(mMutex));
}

bool AAX_CMutex::TryLock()
{
  if (!mMutex)
    return false;
  const uint32_t self = GetCurrentThreadId();
  if (mOwner.load(std::memory_order_acquire) == self)
    return false;
  const DWORD result = WaitForSingleObject(static_cast<HANDLE>(mMutex), 0);
  if (result != WAIT_OBJECT_0 && result != WAIT_ABANDONED)
    return false;
  mOwner.store(self, std::memory_order_release);
  return true;
}

bool AAX_CMutex::IsOwnedByCurrentThread() const
{
  return mMutex && mOwner.load(std::memory_order_acquire) == GetCurrentThreadId();
}
