#pragma once

#include <atomic>
#include <cstddef>
#include <memory>
#include <type_traits>

namespace iplug {

// A fixed-capacity ring between exactly one producer thread and one consumer thread.
//
// The storage (N + 1 slots; one always stays empty so that full and empty differ) is allocated
// once by the constructor. Push, Pop and Available only copy and touch two atomic indices: no
// lock, no allocation, no system call, so the audio thread may use either end. A full queue
// drops the new element rather than block or grow.
template <typename T, size_t N>
class SpscQueue
{
  static_assert(N > 0, "a queue holds at least one element");
  static_assert(std::is_default_constructible_v<T> && std::is_copy_assignable_v<T>,
                "elements are copied into and out of preallocated slots");

public:
  SpscQueue()
    : mSlots(std::make_unique<T[]>(kSlots))
  {
  }

  SpscQueue(const SpscQueue&) = delete;
  SpscQueue& operator=(const SpscQueue&) = delete;

  // Producer thread; never allocates or blocks. False (and the item dropped) when full.
  bool Push(const T& item)
  {
    const size_t write = mWrite.load(std::memory_order_relaxed);
    const size_t next = Next(write);
    if (next == mRead.load(std::memory_order_acquire))
      return false;
    mSlots[write] = item;
    mWrite.store(next, std::memory_order_release);
    return true;
  }

  // Consumer thread; never allocates or blocks. False (and the item untouched) when empty.
  bool Pop(T& item)
  {
    const size_t read = mRead.load(std::memory_order_relaxed);
    if (read == mWrite.load(std::memory_order_acquire))
      return false;
    item = mSlots[read];
    mRead.store(Next(read), std::memory_order_release);
    return true;
  }

  // Either thread: the number of elements waiting. Exact on the consumer's side; the producer
  // may see a count that a concurrent Pop has already lowered.
  size_t Available() const
  {
    const size_t write = mWrite.load(std::memory_order_acquire);
    const size_t read = mRead.load(std::memory_order_acquire);
    return write >= read ? write - read : kSlots - read + write;
  }

  static constexpr size_t Capacity() { return N; }

private:
  static constexpr size_t kSlots = N + 1;
  static constexpr size_t Next(size_t index) { return index + 1 == kSlots ? 0 : index + 1; }

  std::unique_ptr<T[]> mSlots;
  // Each index on its own cache line, so the two threads do not contend for one.
  alignas(64) std::atomic<size_t> mWrite{0};
  alignas(64) std::atomic<size_t> mRead{0};
};

} // namespace iplug
