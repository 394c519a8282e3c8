#pragma once

#ifndef WIN32COMPAT_INTERNAL
#error "internal to the Win32 stand-in: include PlatformWindows.h (or a header of win32/testing/)"
#endif

// Internal to the stand-in: what a thread leaves behind when it ends. Each part cleans up after
// a thread on its own when the thread's storage goes away; a thread started with CreateThread
// calls these first, so that its handle is signalled only after its queue and mutexes are gone.

namespace win32compat {

// Drops the calling thread's message queue and its thread timers.
void ReleaseThreadMessageQueue();

// Marks every mutex that the calling thread still owns as abandoned.
void AbandonThreadMutexes();

} // namespace win32compat
