#pragma once

// The kernel32 subset of our Win32 stand-in: last-error codes, kernel object handles and waits,
// critical sections, owner-tracking mutexes, threads and the clocks.

#include "Win32Types.h"

// --- Last error -------------------------------------------------------------------------------
// Per thread, as on Windows: a failing call sets it, a succeeding call may leave it alone.
DWORD GetLastError();
void SetLastError(DWORD errorCode);

// --- Kernel objects ---------------------------------------------------------------------------
#define INFINITE 0xFFFFFFFF
#define WAIT_OBJECT_0 0x00000000L
#define WAIT_ABANDONED 0x00000080L
#define WAIT_TIMEOUT 0x00000102L
#define WAIT_FAILED 0xFFFFFFFF

// Waits for a mutex (and takes it) or for a thread to end. An unknown or closed handle gives
// WAIT_FAILED with ERROR_INVALID_HANDLE.
DWORD WaitForSingleObject(HANDLE handle, DWORD milliseconds);

// Closes one handle. The object lives on while a thread runs or a waiter still holds it.
BOOL CloseHandle(HANDLE handle);

// --- Critical sections ------------------------------------------------------------------------
// Re-entrant: the owning thread may enter again and must leave as often as it entered.
struct CriticalSectionState;
typedef struct _RTL_CRITICAL_SECTION
{
  CriticalSectionState* State;
} CRITICAL_SECTION, *PCRITICAL_SECTION, *LPCRITICAL_SECTION;

void InitializeCriticalSection(LPCRITICAL_SECTION section);
void EnterCriticalSection(LPCRITICAL_SECTION section);
BOOL TryEnterCriticalSection(LPCRITICAL_SECTION section);
// Leaving a section that the calling thread does not own is ignored instead of corrupting it.
void LeaveCriticalSection(LPCRITICAL_SECTION section);
void DeleteCriticalSection(LPCRITICAL_SECTION section);

// --- Mutexes ----------------------------------------------------------------------------------
// A mutex records its owning thread and a recursion count: the owner's further waits succeed at
// once, only the owner can release it, and a thread that ends while owning it leaves it
// abandoned, so the next waiter gets WAIT_ABANDONED (and the mutex). Named mutexes are not part
// of the stand-in: a name gives NULL with ERROR_NOT_SUPPORTED.
HANDLE CreateMutexA(LPSECURITY_ATTRIBUTES attributes, BOOL initialOwner, LPCSTR name);
HANDLE CreateMutexW(LPSECURITY_ATTRIBUTES attributes, BOOL initialOwner, LPCWSTR name);
#ifdef UNICODE
#define CreateMutex CreateMutexW
#else
#define CreateMutex CreateMutexA
#endif
// FALSE with ERROR_NOT_OWNER when the calling thread does not own the mutex.
BOOL ReleaseMutex(HANDLE mutex);

// --- Threads ----------------------------------------------------------------------------------
#define CREATE_SUSPENDED 0x00000004

typedef DWORD(WINAPI* PTHREAD_START_ROUTINE)(LPVOID parameter);
typedef PTHREAD_START_ROUTINE LPTHREAD_START_ROUTINE;

// Starts a thread; its handle is signalled when the routine has returned and the thread's
// message queue, timers and mutexes have been released. Suspended creation is not supported.
HANDLE CreateThread(LPSECURITY_ATTRIBUTES attributes, SIZE_T stackSize, LPTHREAD_START_ROUTINE start,
                    LPVOID parameter, DWORD creationFlags, LPDWORD threadId);

// Never 0; unique for the life of the process.
DWORD GetCurrentThreadId();
DWORD GetCurrentProcessId();

// A pseudo handle that stands for the calling thread; closing it does nothing.
HANDLE GetCurrentThread();

#define THREAD_PRIORITY_IDLE (-15)
#define THREAD_PRIORITY_LOWEST (-2)
#define THREAD_PRIORITY_BELOW_NORMAL (-1)
#define THREAD_PRIORITY_NORMAL 0
#define THREAD_PRIORITY_ABOVE_NORMAL 1
#define THREAD_PRIORITY_HIGHEST 2
#define THREAD_PRIORITY_TIME_CRITICAL 15

// The priority is checked, not applied: the machines that run the stand-in give no thread
// real-time scheduling.
BOOL SetThreadPriority(HANDLE thread, int priority);

// Sleep(0) gives up the rest of the time slice.
void Sleep(DWORD milliseconds);

// --- Clocks -----------------------------------------------------------------------------------
// Milliseconds of the monotonic clock, wrapping at 2^32 like the real one.
DWORD GetTickCount();
