#pragma once

#include "Timer.h"

#include "PlatformWindows.h"

#include <cstddef>

namespace iplug {

// Timer on the system's thread timers (SetTimer and KillTimer without a window). One timer
// procedure serves every timer: a process-wide registry of the running timers, guarded by a
// re-entrant critical section, maps the identifier the system delivers back to its timer.
class Timer_impl final : public Timer
{
public:
  Timer_impl(ITimerFunction callback, uint32_t intervalMs);
  ~Timer_impl() override;

  void Cancel() override;

  // The number of timers in the registry, for diagnostics.
  static size_t NumRunning();

private:
  friend class Timer;

  // The shared timer procedure; a tick whose timer has left the registry is ignored.
  static void CALLBACK TimerProc(HWND hwnd, UINT message, UINT_PTR idEvent, DWORD time);

  UINT_PTR mID = 0; // 0 while not running
  ITimerFunction mCallback;
  [[maybe_unused]] uint32_t mIntervalMs; // the period the system timer was started with
};

} // namespace iplug
