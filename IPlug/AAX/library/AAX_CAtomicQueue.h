#pragma once

#include <atomic>
#include <cstdint>

#include "AAX_CMutex.h"

// Results of a container operation.
struct AAX_IContainer
{
  enum EStatus : int32_t
  {
    eStatus_Success = 0,
    eStatus_Overflow = 1,      // the next slot is still taken
    eStatus_Full = 2,
    eStatus_Unavailable = 3,
    eStatus_Unsupported = 4    // a null item
  };
};

// A ring of N pointer slots between threads. Writers serialise on the queue's writer lock (an
// owner-tracking system mutex created with the queue; without one, pushes run unguarded); the
// single reader takes no lock. An occupied slot refuses a push rather than overwriting, so a
// slow reader makes writers drop, never corrupt. The queue does not own what it carries.
//
// Construction and destruction are not real-time; Push, Pop, Peek and Clear neither allocate
// nor make a kernel object (the writer lock is taken only by Push).
template <typename T, uint32_t N>
class AAX_CAtomicQueue
{
  static_assert(N > 0 && (N & (N - 1)) == 0, "the capacity is a power of two");

public:
  using value_type = T*;

  AAX_CAtomicQueue() { Clear(); }
  AAX_CAtomicQueue(const AAX_CAtomicQueue&) = delete;
  AAX_CAtomicQueue& operator=(const AAX_CAtomicQueue&) = delete;

  static constexpr uint32_t Capacity() { return N; }

  // Writer thread. Success, eStatus_Overflow when the next slot is still taken (the item is not
  // queued), eStatus_Unsupported for a null item.
  AAX_IContainer::EStatus Push(T* item)
  {
    if (!item)
      return AAX_IContainer::eStatus_Unsupported;
    AAX_StLock_Guard guard(mWriterLock);

    const uint32_t i = mWriteIdx.fetch_add(1, std::memory_order_acq_rel) + 1;
    const uint32_t slot = i % N;
    T* expected = nullptr;
    if (!mSlots[slot].compare_exchange_strong(expected, item, std::memory_order_acq_rel))
    {
      uint32_t current = i;
      mWriteIdx.compare_exchange_strong(current, i == 0 ? N : i - 1, std::memory_order_acq_rel);
      return AAX_IContainer::eStatus_Overflow;
    }
    // Keep the index within one lap so it never wraps the 32-bit counter.
    if (slot < i)
    {
      uint32_t current = i;
      mWriteIdx.compare_exchange_strong(current, slot, std::memory_order_acq_rel);
    }
    return AAX_IContainer::eStatus_Success;
  }

  // Reader thread. The oldest item, or null when there is none.
  T* Pop()
  {
    const uint32_t idx = (mReadIdx.load(std::memory_order_relaxed) + 1) % N;
    T* item = mSlots[idx].exchange(nullptr, std::memory_order_acq_rel);
    if (item)
      mReadIdx.store(idx, std::memory_order_relaxed);
    return item;
  }

  // Reader thread. The oldest item without taking it, or null.
  T* Peek() const
  {
    return mSlots[(mReadIdx.load(std::memory_order_relaxed) + 1) % N].load(std::memory_order_acquire);
  }

  // Empties every slot; the items are not deleted.
  void Clear()
  {
    for (auto& slot : mSlots)
      slot.store(nullptr, std::memory_order_relaxed);
  }

private:
  std::atomic<T*> mSlots[N];
  std::atomic<uint32_t> mWriteIdx{0};
  std::atomic<uint32_t> mReadIdx{0};
  AAX_CMutex mWriterLock;
};
