#pragma once

#include <atomic>
#include <cstddef>
#include <memory>

namespace iplug {

// A fixed-capacity single-producer single-consumer ring. Storage for N + 1 elements is
// allocated once; one slot always stays empty, so N elements fit. A full queue drops the new
// element. Only the producer moves the write index and only the consumer the read index; each
// index is published after the element copy it covers.
//
// Push, Pop and Available never allocate, lock or call the system: safe on the audio thread.
template <class T, size_t N>
class SpscQueue
{
public:
  SpscQueue() : mSlots(std::make_unique<T[]>(N + 1)) {}
  SpscQueue(const SpscQueue&) = delete;
  SpscQueue& operator=(const SpscQueue&) = delete;

  // Producer thread. False (and the item dropped) when the queue is full.
  bool Push(const T& item)
  {
    const size_t w = mWrite.load(std::memory_order_relaxed);
    const size_t next = Next(w);
    if (next == mRead.load(std::memory_order_acquire))
      return false;
    mSlots[w] = item;
    mWrite.store(next, std::memory_order_release);
    return true;
  }

  // Consumer thread. False when the queue is empty.
  bool Pop(T& item)
  {
    const size_t r = mRead.load(std::memory_order_relaxed);
    if (r == mWrite.load(std::memory_order_acquire))
      return false;
    item = mSlots[r];
    mRead.store(Next(r), std::memory_order_release);
    return true;
  }

  // Either thread: the number of queued elements at the moment of the call.
  size_t Available() const
  {
    const size_t w = mWrite.load(std::memory_order_acquire);
    const size_t r = mRead.load(std::memory_order_acquire);
    return w >= r ? w - r : (N + 1) - r + w;
  }

  static constexpr size_t Capacity() { return N; }

private:
  static size_t Next(size_t i) { return i + 1 == N + 1 ? 0 : i + 1; }

  std::unique_ptr<T[]> mSlots;
  std::atomic<size_t> mWrite{0};
  std::atomic<size_t> mRead{0};
};

} // namespace iplug
