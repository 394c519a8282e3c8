#pragma once

namespace test {

// Counts the mutex locks and tries made on the calling thread while it lives (pthread_mutex_lock
// and pthread_mutex_trylock, which std::mutex and its locks come down to), so a test can show
// that a real-time path never waits for another thread. This test binary's definitions of the
// two functions count and forward to the ones they stand in front of.
class LockCounter
{
public:
  LockCounter();
  long Count() const;

private:
  long mStart;
};

} // namespace test
