#pragma once

#include <cstdint>
#include <functional>
#include <memory>

namespace iplug {

// A periodic callback on the UI thread: the callback runs every interval, delivered through the
// message loop of the thread that made the timer, until the timer is cancelled or destroyed.
// A stopped timer cannot be restarted; make a new one.
//
// The owner cancels the timer before tearing down anything the callback uses and destroys it
// afterwards. A callback may make or cancel timers (its own included) but must not destroy its
// own timer.
class Timer
{
public:
  using ITimerFunction = std::function<void(Timer&)>;

  // UI thread. The timer starts at once; when the system refuses it (or the callback is empty)
  // the returned timer never ticks. Defined by the platform timer library (IPlug/platform/):
  // only code that links it makes timers.
  static std::unique_ptr<Timer> Make(ITimerFunction callback, uint32_t intervalMs);

  Timer(const Timer&) = delete;
  Timer& operator=(const Timer&) = delete;

  // Stops the timer (it takes effect before the next tick); further calls do nothing.
  virtual ~Timer() = default;

  // Any thread; waits while another thread is inside a timer callback.
  virtual void Cancel() = 0;

protected:
  Timer() = default;
};

} // namespace iplug
