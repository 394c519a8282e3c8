#pragma once

#include <string>

namespace aaxhost::probe {

// What the calling thread did while the probe was armed on it.
struct Counts
{
  long allocations = 0;   // operator new, every form
  long locks = 0;         // critical sections entered or tried, mutexes created or waited for
  long mutexWaits = 0;    // of `locks`, the waits on a mutex (the queue writer lock's kind)
};

// Counts heap allocations and Win32 lock calls made on one thread, including those the loaded
// module makes. On Linux the aaxhost program replaces operator new and puts itself in front of
// the stand-in's lock functions, and exports both so the module binds to them; on Windows it
// points the module's import entries for the C runtime's heap and the lock functions at itself.
//
// Arm and Disarm bracket the code to watch, on the thread that runs it; other threads are never
// counted (on Windows, one armed thread at a time). Any thread; never allocates.
void Arm();
Counts Disarm();

// Counts one allocation on the calling thread when armed (the replaced operator new calls it).
void CountAllocation();

// Empty when the probe sees allocations and lock calls; otherwise why it cannot (a build without
// the replacements, or a stand-in whose lock functions were not found).
std::string Unavailable();

} // namespace aaxhost::probe
