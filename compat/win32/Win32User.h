#pragma once

// The user32 subset of our Win32 stand-in: per-thread message queues and thread timers.
//
// Every thread gets a message queue the first time it calls one of the message or timer
// functions below; until then PostThreadMessage to it fails with ERROR_INVALID_THREAD_ID, as on
// Windows (a thread that wants to be posted to calls PeekMessage with PM_NOREMOVE first). The
// queue, with the thread's timers, goes away when the thread ends.
//
// Retrieval order is that of Windows: posted messages first, in the order they were posted; then
// WM_QUIT once PostQuitMessage was called; then a timer tick. Ticks are not queued: when nothing
// else is waiting, a timer whose interval has run out produces one WM_TIMER, and it produces the
// next only an interval after that one was removed, so a thread that does not pump never finds
// more than one pending tick per timer.
//
// Messages carry a window handle so that windows can share these queues: a message for a window
// goes to the queue of the thread that owns the window and DispatchMessage hands it to the
// window procedure. This slice has no windows yet, so any non-NULL window handle is refused as
// invalid (ERROR_INVALID_WINDOW_HANDLE).

#include "Win32Types.h"

#define WM_NULL 0x0000
#define WM_QUIT 0x0012
#define WM_TIMER 0x0113
#define WM_USER 0x0400
#define WM_APP 0x8000

#define PM_NOREMOVE 0x0000
#define PM_REMOVE 0x0001
#define PM_NOYIELD 0x0002

#define USER_TIMER_MINIMUM 0x0000000A
#define USER_TIMER_MAXIMUM 0x7FFFFFFF

typedef struct tagMSG
{
  HWND hwnd;
  UINT message;
  WPARAM wParam;
  LPARAM lParam;
  DWORD time;
  POINT pt;
} MSG, *PMSG, *LPMSG;

typedef VOID(CALLBACK* TIMERPROC)(HWND hwnd, UINT message, UINT_PTR idEvent, DWORD time);

// Waits for the next message that passes the filter and removes it. The filter: hwnd NULL takes
// every message of the thread, (HWND)-1 only messages without a window; a message range of 0, 0
// takes all messages, and WM_QUIT always passes. Returns 0 for WM_QUIT, -1 for a NULL message
// pointer or an invalid window, else non-zero.
BOOL GetMessage(LPMSG msg, HWND hwnd, UINT filterMin, UINT filterMax);

// As GetMessage without waiting; PM_REMOVE removes the message, PM_NOREMOVE leaves it in place.
BOOL PeekMessage(LPMSG msg, HWND hwnd, UINT filterMin, UINT filterMax, UINT removeFlags);

// Character translation belongs to keyboard input, which arrives with windows; until then no
// message is translated and the result is FALSE.
BOOL TranslateMessage(const MSG* msg);

// A WM_TIMER with a timer procedure in lParam calls that procedure with (hwnd, WM_TIMER, timer
// identifier, tick count), but only while some timer of the process still has that procedure,
// as Windows checks; an exception escaping the procedure is swallowed, as Windows does by
// default. Thread messages are not dispatched anywhere. Returns 0 in both cases.
LRESULT DispatchMessage(const MSG* msg);

// Appends a message without a window to the queue of the given thread. FALSE with
// ERROR_INVALID_THREAD_ID when that thread has no queue, ERROR_NOT_ENOUGH_QUOTA when it holds
// 10000 unretrieved messages.
BOOL PostThreadMessage(DWORD threadId, UINT message, WPARAM wParam, LPARAM lParam);

// Asks the calling thread's loop to end: WM_QUIT with the exit code in wParam follows the
// messages posted before.
void PostQuitMessage(int exitCode);

// With hwnd NULL: a thread timer of the calling thread. An identifier of an existing timer of
// this thread re-arms that timer, any other is ignored and a new identifier is chosen. The
// interval is kept within USER_TIMER_MINIMUM..USER_TIMER_MAXIMUM. Returns the identifier, or 0.
UINT_PTR SetTimer(HWND hwnd, UINT_PTR idEvent, UINT elapse, TIMERPROC timerFunc);

// Stops a thread timer (hwnd NULL), from any thread; no tick of it is retrieved afterwards, but
// one already retrieved may still be dispatched while another timer uses the same procedure.
// FALSE when there is no such timer.
BOOL KillTimer(HWND hwnd, UINT_PTR idEvent);
