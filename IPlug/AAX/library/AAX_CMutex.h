#pragma once

#include <atomic>
#include <cstdint>

// An operating-system mutex that records its owning thread. A thread that already owns it does
// not take it again (Lock answers false and nothing changes), so code that may run inside its own
// critical section cannot deadlock on itself. When the system cannot create the mutex, Lock and
// Unlock do nothing and the owner stays unrecorded: callers then run without it.
//
// Creation and destruction are not real-time. Lock and Unlock neither allocate nor make a
// kernel object once the calling thread has locked any such mutex once; an uncontended Lock
// returns at once. Any thread.
class AAX_CMutex
{
public:
  AAX_CMutex();
  ~AAX_CMutex();
  AAX_CMutex(const AAX_CMutex&) = delete;
  AAX_CMutex& operator=(const AAX_CMutex&) = delete;

  // True when this call took the mutex; false when the caller already owned it or there is
  // no mutex.
  bool Lock();
  // Gives up a mutex taken by Lock; ignored from any thread but the owner.
  void Unlock();
  // Lock without waiting; false when another thread owns it.
  bool TryLock();
  bool IsOwnedByCurrentThread() const;
  bool IsValid() const { return mMutex != nullptr; }

private:
  void* mMutex = nullptr;                // the system's handle
  std::atomic<uint32_t> mOwner{0};       // thread identifier of the owner, 0 when free
};

// Holds an AAX_CMutex for one scope; releases it only when this guard took it.
class AAX_StLock_Guard
{
public:
  explicit AAX_StLock_Guard(AAX_CMutex& mutex) : mMutex(mutex), mTook(mutex.Lock()) {}
  ~AAX_StLock_Guard()
  {
    if (mTook)
      mMutex.Unlock();
  }
  AAX_StLock_Guard(const AAX_StLock_Guard&) = delete;
  AAX_StLock_Guard& operator=(const AAX_StLock_Guard&) = delete;

private:
  AAX_CMutex& mMutex;
  bool mTook;
};
