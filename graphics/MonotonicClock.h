#pragma once

#include <cstdint>
#include <functional>

namespace iplug::igraphics {

// The monotonic clock of the editor: frame-time sampling and control animation read it.
// Times count from the first reading the process took, so they stay small and exact in a double.

// Nanoseconds since the first reading.
uint64_t MonotonicNanoseconds();
double MonotonicMilliseconds();
double MonotonicSeconds();

// Replaces the clock's source (nanoseconds, any origin). Tests drive animation with it; an empty
// function restores the system's steady clock. UI thread only, like everything that reads it.
using ClockSource = std::function<uint64_t()>;
void SetMonotonicClockSource(ClockSource source);

} // namespace iplug::igraphics
