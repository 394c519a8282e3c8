#include "Timer_impl.h"

#include "IPlugLogger.h"

#include <algorithm>
#include <exception>
#include <utility>
#include <vector>

namespace iplug {

namespace {

// The running timers in the order they were started, and the lock that guards them. The lock is
// re-entrant because callbacks run under it and may make or cancel timers themselves.
struct TimerRegistry
{
  TimerRegistry() { InitializeCriticalSection(&lock); }
  ~TimerRegistry() { DeleteCriticalSection(&lock); }
  TimerRegistry(const TimerRegistry&) = delete;
  TimerRegistry& operator=(const TimerRegistry&) = delete;

  CRITICAL_SECTION lock;
  std::vector<Timer_impl*> timers;
};

TimerRegistry& Registry()
{
  static TimerRegistry registry;
  return registry;
}

class RegistryLock
{
public:
  RegistryLock() { EnterCriticalSection(&Registry().lock); }
  ~RegistryLock() { LeaveCriticalSection(&Registry().lock); }
  RegistryLock(const RegistryLock&) = delete;
  RegistryLock& operator=(const RegistryLock&) = delete;
};

} // namespace

std::unique_ptr<Timer> Timer::Make(ITimerFunction callback, uint32_t intervalMs)
{
  std::unique_ptr<Timer_impl> timer(new Timer_impl(std::move(callback), intervalMs));
  // Ticks arrive through this thread's message loop, so none can come before the timer is
  // registered below.
  if (timer->mCallback)
    timer->mID = SetTimer(nullptr, 0, intervalMs, &Timer_impl::TimerProc);
  if (timer->mID != 0)
  {
    RegistryLock lock;
    Registry().timers.push_back(timer.get());
  }
  return timer;
}

Timer_impl::Timer_impl(ITimerFunction callback, uint32_t intervalMs)
  : mCallback(std::move(callback))
  , mIntervalMs(intervalMs)
{
}

Timer_impl::~Timer_impl()
{
  Cancel();
}

void Timer_impl::Cancel()
{
  // Under the lock as a whole, so that a thread cancelling while a callback runs elsewhere waits
  // for it, and the callback never sees a half-cancelled timer.
  RegistryLock lock;
  if (mID == 0)
    return;
  KillTimer(nullptr, mID);
  auto& timers = Registry().timers;
  if (auto it = std::find(timers.begin(), timers.end(), this); it != timers.end())
    timers.erase(it);
  mID = 0;
}

size_t Timer_impl::NumRunning()
{
  RegistryLock lock;
  return Registry().timers.size();
}

void CALLBACK Timer_impl::TimerProc(HWND, UINT, UINT_PTR idEvent, DWORD)
{
  RegistryLock lock;
  auto& timers = Registry().timers;
  for (size_t i = 0; i < timers.size(); ++i)
  {
    if (timers[i]->mID == idEvent)
    {
      // The callback may change the registry; the walk ends here either way.
      Timer_impl* timer = timers[i];
      // An exception must not unwind into the system's message dispatcher: the C ABI frames
      // between here and the message loop are not meant to be unwound, and Windows, by default,
      // swallows it there anyway (Wine hangs instead). It ends here, the same everywhere.
      try
      {
        timer->mCallback(*timer);
      }
      catch (const std::exception& e)
      {
        TRACE_F("timer %u: the callback threw: %s", static_cast<unsigned>(idEvent), e.what());
      }
      catch (...)
      {
        TRACE_F("timer %u: the callback threw", static_cast<unsigned>(idEvent));
      }
      return;
    }
  }
}

} // namespace iplug
