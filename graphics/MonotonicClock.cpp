#include "MonotonicClock.h"

#include <chrono>

namespace iplug::igraphics {

namespace {

uint64_t SteadyNanoseconds()
{
  const auto now = std::chrono::steady_clock::now().time_since_epoch();
  return static_cast<uint64_t>(std::chrono::duration_cast<std::chrono::nanoseconds>(now).count());
}

struct ClockState
{
  ClockSource source;
  bool started = false;
  uint64_t origin = 0;
};

ClockState& State()
{
  static ClockState state;
  return state;
}

uint64_t RawNow()
{
  ClockState& s = State();
  return s.source ? s.source() : SteadyNanoseconds();
}

} // namespace

uint64_t MonotonicNanoseconds()
{
  ClockState& s = State();
  const uint64_t now = RawNow();
  if (!s.started)
  {
    s.started = true;
    s.origin = now;
  }
  // A source that steps backwards past the origin reads as the origin, never as a huge value.
  return now >= s.origin ? now - s.origin : 0;
}

double MonotonicMilliseconds() { return static_cast<double>(MonotonicNanoseconds()) / 1.0e6; }

double MonotonicSeconds() { return static_cast<double>(MonotonicNanoseconds()) / 1.0e9; }

void SetMonotonicClockSource(ClockSource source)
{
  ClockState& s = State();
  s.source = std::move(source);
  // A new source has its own origin; the first reading through it starts the count again.
  s.started = false;
}

} // namespace iplug::igraphics
