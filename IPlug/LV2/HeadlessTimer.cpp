// Timers for a build without a UI thread of its own (the LV2 plug-in: an LV2 host drives it
// from its own threads and runs no message loop for it). The system answers every request as
// if it refused the timer: the timer exists and never ticks.

#include "Timer.h"

namespace iplug {

namespace {

class IdleTimer final : public Timer
{
public:
  void Cancel() override {}
};

} // namespace

std::unique_ptr<Timer> Timer::Make(ITimerFunction callback, uint32_t intervalMs)
{
  (void) callback;
  (void) intervalMs;
  return std::make_unique<IdleTimer>();
}

} // namespace iplug
