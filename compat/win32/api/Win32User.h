#pragma once

// The user32 subset of our Win32 stand-in: per-thread message queues, sent and posted messages,
// and timers.
//
// Every thread gets a message queue the first time it calls one of the message, timer or window
// functions; until then PostThreadMessage to it fails with ERROR_INVALID_THREAD_ID, as on Windows
// (a thread that wants to be posted to calls PeekMessage with PM_NOREMOVE first). The queue, with
// the thread's timers and windows, goes away when the thread ends.
//
// Retrieval order is that of Windows. Messages sent from other threads are delivered first, inside
// GetMessage, PeekMessage and a SendMessage that waits for its own reply; they never appear in the
// queue. Then come posted messages (WM_QUIT among them) in the order they were posted; then input
// (mouse and keyboard messages, see Win32Input.h); then WM_PAINT for a window of the thread that has an update region (see Win32Paint.h); then
// WM_MOUSEHOVER, then a timer tick. Paint and ticks are not queued: WM_PAINT stays retrievable
// until the window's update region is validated (PM_REMOVE does not remove it); when nothing else
// is waiting, a timer whose interval has run out produces one WM_TIMER, and it produces the next
// only an interval after that one was removed, so a thread that does not pump never finds more
// than one pending tick per timer.
//
// Text-bearing calls come in ...A (UTF-8, which the stand-in uses as the ANSI code page) and ...W
// forms, with the unsuffixed name chosen by UNICODE as in <windows.h>.

#include "Win32Types.h"
#include "Win32Messages.h"

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
// every message of the thread, (HWND)-1 only messages without a window, a window of the calling
// thread only that window's messages; a message range of 0, 0 takes all messages, and WM_QUIT
// always passes. Returns 0 for WM_QUIT, -1 for a NULL message pointer or a window that is not the
// calling thread's, else non-zero.
BOOL GetMessageA(LPMSG msg, HWND hwnd, UINT filterMin, UINT filterMax);

// As GetMessage without waiting; PM_REMOVE removes the message, PM_NOREMOVE leaves it in place.
BOOL PeekMessageA(LPMSG msg, HWND hwnd, UINT filterMin, UINT filterMax, UINT removeFlags);
BOOL PeekMessageW(LPMSG msg, HWND hwnd, UINT filterMin, UINT filterMax, UINT removeFlags);

// Turns key messages into character messages of the US keyboard layout (Win32Input.h):
// WM_KEYDOWN posts WM_CHAR, WM_SYSKEYDOWN posts WM_SYSCHAR, to the message's window, ahead of
// later input. Non-zero for every key message, as on Windows.
BOOL TranslateMessage(const MSG* msg);

// A WM_TIMER with a timer procedure in lParam calls that procedure with (hwnd, WM_TIMER, timer
// identifier, tick count), but only while some timer of the process still has that procedure,
// as Windows checks; an exception escaping the procedure is swallowed, as Windows does by
// default. A message for a window of the calling thread goes to its window procedure, whose
// result is returned; a window of another thread is refused (ERROR_WINDOW_OF_OTHER_THREAD).
// Thread messages are not dispatched anywhere. Returns 0 when nothing was called.
LRESULT DispatchMessageA(const MSG* msg);
LRESULT DispatchMessageW(const MSG* msg);

// Appends a message to the queue of the window's thread (hwnd NULL: the calling thread, as a
// thread message). FALSE with ERROR_INVALID_WINDOW_HANDLE for an unknown window,
// ERROR_NOT_ENOUGH_QUOTA when the queue holds 10000 unretrieved messages, and
// ERROR_MESSAGE_SYNC_ONLY for system messages that carry pointers (WM_SETTEXT and the like).
BOOL PostMessageA(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam);
BOOL PostMessageW(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam);

// Appends a message without a window to the queue of the given thread. FALSE with
// ERROR_INVALID_THREAD_ID when that thread has no queue, ERROR_NOT_ENOUGH_QUOTA when it holds
// 10000 unretrieved messages.
BOOL PostThreadMessageA(DWORD threadId, UINT message, WPARAM wParam, LPARAM lParam);

// Calls the window procedure and returns its result. For a window of the calling thread the
// procedure runs at once; for a window of another thread the message waits until that thread
// retrieves messages (or itself waits in SendMessage), and meanwhile the caller handles messages
// sent to it, so two threads sending to each other do not deadlock. When the window goes away or
// its thread ends before the message is handled, the result is 0. Text-bearing messages are
// converted between the A and W forms of sender and procedure.
LRESULT SendMessageW(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam);

// The time, cursor position and extra information of the last message retrieved by the calling
// thread. The extra information is that of the input event (0 for ordinary mouse and keyboard
// input, the pen and touch signature 0xFF5157xx for input that came from a pen or a touch).
LPARAM GetMessageExtraInfo();

// A message number shared by every caller that registers the same name (compared without regard
// to case), in 0xC000..0xFFFF; 0 for an empty name.
UINT RegisterWindowMessageW(LPCWSTR name);

// With hwnd NULL: a thread timer of the calling thread. An identifier of an existing timer of
// this thread re-arms that timer, any other is ignored and a new identifier is chosen.
// With a window: a timer of that window with exactly the given identifier (an existing one is
// replaced); the window must belong to the calling thread (else ERROR_WINDOW_OF_OTHER_THREAD).
// Its ticks are WM_TIMER messages for the window: DispatchMessage calls the timer procedure when
// one was given, else the window procedure. The timer ends with the window.
// The interval is kept within USER_TIMER_MINIMUM..USER_TIMER_MAXIMUM. Returns the identifier
// (for a window timer: the given identifier, or 1 when it was 0), or 0.
UINT_PTR SetTimer(HWND hwnd, UINT_PTR idEvent, UINT elapse, TIMERPROC timerFunc);

// Stops a thread timer (hwnd NULL) or a window's timer, from any thread; no tick of it is
// retrieved afterwards, but one already retrieved may still be dispatched while another timer
// uses the same procedure. FALSE when there is no such timer.
BOOL KillTimer(HWND hwnd, UINT_PTR idEvent);

#ifdef UNICODE
#define PeekMessage PeekMessageW
#define DispatchMessage DispatchMessageW
#define PostMessage PostMessageW
#define SendMessage SendMessageW
#define RegisterWindowMessage RegisterWindowMessageW
#else
#define GetMessage GetMessageA
#define PeekMessage PeekMessageA
#define DispatchMessage DispatchMessageA
#define PostMessage PostMessageA
#define PostThreadMessage PostThreadMessageA
#endif
