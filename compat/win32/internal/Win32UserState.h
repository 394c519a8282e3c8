#pragma once

#ifndef WIN32COMPAT_INTERNAL
#error "internal to the Win32 stand-in: include PlatformWindows.h (or a header of win32/testing/)"
#endif

// Internal to the stand-in: the state that user32's parts share — thread queues, timers, window
// classes, windows and the input state — and the helpers that work on it.
//
// One lock guards all of it. That is plenty for the handful of threads a plug-in has, and it keeps
// messages that cross threads free of lock ordering. Nothing user-supplied runs under it: window
// procedures, timer procedures and hooks are called with the lock released, so they may call
// back into any function of the stand-in. Functions named ...Locked expect the caller to hold it.

#include "Win32Types.h"
#include "Win32User.h"
#include "Win32Window.h"
#include "Win32Region.h"

#include <chrono>
#include <condition_variable>
#include <deque>
#include <functional>
#include <map>
#include <memory>
#include <mutex>
#include <optional>
#include <string>
#include <unordered_map>
#include <vector>

namespace win32compat {

using Clock = std::chrono::steady_clock;

struct ThreadQueue;

// A message sent to a window of another thread, waiting to be handled there.
struct SentMessage
{
  HWND hwnd = nullptr;
  UINT message = 0;
  WPARAM wParam = 0;
  LPARAM lParam = 0;
  bool unicode = true;
  // When set, run on the receiving thread instead of calling the window procedure; the stand-in
  // uses it to have a window's own thread change or destroy it.
  std::function<LRESULT()> task;
  std::shared_ptr<ThreadQueue> sender;
  LRESULT result = 0;
  bool done = false;
};

// A mouse or keyboard message in a thread's input queue, with what it does to the thread's view
// of the keyboard when it is retrieved.
struct InputMessage
{
  MSG msg{};
  LPARAM extraInfo = 0;
  int keyVk = -1;    // key whose state changes, or -1
  bool keyDown = false;
  int buttonVk = -1; // mouse button whose state changes, or -1
  bool buttonDown = false;
};

// TrackMouseEvent's request for one window.
struct MouseTracking
{
  HWND hwnd = nullptr;
  DWORD flags = 0;        // TME_HOVER | TME_LEAVE
  DWORD hoverTime = 0;    // milliseconds
  Clock::time_point hoverDue{};
  POINT hoverOrigin{};    // screen point where the hover wait began
};

struct ThreadQueue
{
  explicit ThreadQueue(DWORD owner) : threadId(owner) {}

  const DWORD threadId;
  std::condition_variable wake;
  std::deque<MSG> posted;
  std::deque<InputMessage> input;
  std::deque<std::shared_ptr<SentMessage>> sent;
  bool alive = true;
  int handlingSent = 0; // depth of sent messages being handled right now

  // This thread's view of the input, as Windows keeps it per input queue.
  HWND focus = nullptr;
  HWND capture = nullptr;
  BYTE keyState[256]{};     // as of the last input message retrieved
  LPARAM lastExtraInfo = 0;
  MouseTracking tracking;
};

struct TimerRecord
{
  DWORD threadId;  // the thread whose loop receives the ticks
  HWND hwnd;       // NULL for thread timers
  UINT_PTR id;
  UINT elapse;
  TIMERPROC proc;
  Clock::time_point due; // the next tick may be retrieved from then on
};

struct WindowClass
{
  std::wstring name;
  ATOM atom = 0;
  HINSTANCE instance = nullptr;
  UINT style = 0;
  WNDPROC proc = nullptr;
  bool unicode = true;
  int clsExtra = 0;
  int wndExtra = 0;
  HICON icon = nullptr;
  HCURSOR cursor = nullptr;
  HBRUSH background = nullptr;
  std::wstring menuName;
  bool system = false; // found from every module, never unregistered
  int windows = 0;     // windows of this class that exist
};

struct Window
{
  HWND handle = nullptr;
  DWORD threadId = 0;
  std::shared_ptr<WindowClass> cls;
  std::wstring title;
  DWORD style = 0;
  DWORD exStyle = 0;
  HWND parent = nullptr;         // for child windows
  HWND owner = nullptr;          // for other windows
  std::vector<HWND> children;    // z-order, top first
  RECT rect{};                   // parent client coordinates (screen coordinates when top-level)
  WNDPROC proc = nullptr;
  bool unicode = true;           // form in which proc receives messages
  LONG_PTR userData = 0;
  LONG_PTR id = 0;
  HINSTANCE instance = nullptr;
  std::vector<BYTE> extra;
  Region update;                 // client coordinates
  bool erase = false;            // WM_ERASEBKGND due at the next BeginPaint
  bool destroying = false;
  UINT dpi = 96;
  HDC dc = nullptr;
  int pixelFormat = 0;
  bool touch = false;            // RegisterTouchWindow
  std::shared_ptr<void> control; // state of a control class of the stand-in (EDIT, tooltips, ...)
};

struct UserState
{
  std::mutex mutex;
  std::unordered_map<DWORD, std::shared_ptr<ThreadQueue>> queues;
  std::vector<TimerRecord> timers;
  UINT_PTR lastTimerId = 0;

  std::vector<std::shared_ptr<WindowClass>> classes;
  ATOM nextAtom = 0xC000;
  std::map<uintptr_t, std::shared_ptr<Window>> windows; // by handle value, so in creation order
  std::vector<HWND> topLevel;                           // z-order, top first
  uintptr_t nextHandle = 0x10010;
  std::unordered_map<void*, bool> procForms;            // procedure -> receives W messages
  std::vector<std::wstring> registeredMessages;

  // The input devices, shared by all threads.
  POINT cursorPos{};
  HCURSOR cursor = nullptr;
  int cursorShowCount = 0;
  BYTE asyncKeys[256]{};
  HWND hoverWindow = nullptr; // the window the mouse was last over
  HWND desktop = nullptr;
};

UserState& User();

// --- Queues (Win32User.cpp) -------------------------------------------------------------------
// The calling thread's queue, made on first use.
std::shared_ptr<ThreadQueue> CurrentQueueLocked(UserState& state);
std::shared_ptr<ThreadQueue> QueueOfLocked(UserState& state, DWORD threadId);
// Stamps the time and the cursor position; lock held.
MSG MakeMessage(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam);
// Appends to a thread's posted messages; sets the last error on failure.
BOOL PostToThreadLocked(UserState& state, DWORD threadId, const MSG& msg);
// Sends a message in the given form; see SendMessage.
LRESULT SendInternal(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam, bool unicode);
// Runs the task on the window's thread (at once when that is the calling thread), waiting for it
// as SendMessage does; 0 when the window or its thread went away first.
LRESULT RunOnWindowThread(HWND hwnd, const std::function<LRESULT()>& task);

// --- Windows (Win32Window.cpp) ----------------------------------------------------------------
std::shared_ptr<Window> FindWindowLocked(UserState& state, HWND hwnd);
// FindWindowLocked that sets ERROR_INVALID_WINDOW_HANDLE when there is no such window.
std::shared_ptr<Window> CheckWindowLocked(UserState& state, HWND hwnd);
// The window's top-left corner in screen coordinates, and its client origin (the same here).
POINT ScreenOriginLocked(UserState& state, const Window& window);
// Whether the window and all its ancestors are visible.
bool VisibleLocked(UserState& state, const Window& window);
HWND RootLocked(UserState& state, HWND hwnd);
bool IsDescendantLocked(UserState& state, HWND ancestor, HWND hwnd);
// The deepest visible, enabled window of the subtree under root that contains the screen point
// (root itself when no child does), or NULL when root does not contain it.
HWND HitTestLocked(UserState& state, HWND root, POINT screen);
// The top-level window at the screen point, then its deepest child there.
HWND WindowFromPointLocked(UserState& state, POINT screen);
// Calls a window procedure, converting text-bearing messages between the forms.
LRESULT InvokeProc(WNDPROC proc, bool procUnicode, HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam,
                   bool messageUnicode);
// Calls the window's current procedure on the calling thread (which must own it); 0 when the
// window is gone.
LRESULT CallWindowDirect(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam, bool unicode);
// Registers a class provided by the stand-in itself (the W procedure receives W messages).
void RegisterSystemClass(const wchar_t* name, WNDPROC proc, UINT style, int wndExtra, HCURSOR cursor);
// Destroys a window whose WM_NCCREATE failed: only WM_NCDESTROY is sent.
void DestroyWithoutDestroyMessage(HWND hwnd);
// Destroys the calling thread's windows without messages (the thread is ending).
void DropThreadWindows(DWORD threadId);
// The window's control state, made by the control's procedure on first use.
template <typename T>
std::shared_ptr<T> ControlState(HWND hwnd)
{
  auto& state = User();
  std::lock_guard<std::mutex> lock(state.mutex);
  auto window = FindWindowLocked(state, hwnd);
  if (!window)
    return nullptr;
  if (!window->control)
    window->control = std::make_shared<T>();
  return std::static_pointer_cast<T>(window->control);
}

// --- Paint (Win32Paint.cpp) -------------------------------------------------------------------
// Adds the client rectangle (all of it when rect is NULL) to the update region of the window and,
// unless it clips its children, of its visible children under it.
void InvalidateLocked(UserState& state, Window& window, const RECT* rect, bool erase);
// The thread's first window (in creation order) that needs painting and passes the filter.
HWND NextWindowToPaintLocked(UserState& state, const ThreadQueue& queue, HWND filterWindow);

// --- Input (Win32Input.cpp) -------------------------------------------------------------------
// What retrieving an input message does: the thread's key state, the extra information, and
// WM_SETCURSOR before a mouse message (returned as the window to send it to, or NULL).
HWND ApplyRetrievedInputLocked(UserState& state, ThreadQueue& queue, const InputMessage& input);
// A due WM_MOUSEHOVER for the thread, if any; clears the hover request when remove is set.
bool RetrieveHoverLocked(UserState& state, ThreadQueue& queue, HWND filterWindow, bool remove, MSG& out);
std::optional<Clock::time_point> NextHoverDueLocked(const ThreadQueue& queue);
// Focus and capture leave a window that is going away (messages are sent after unlocking by the
// caller through the returned list of (window, message, wParam, lParam)).
struct PendingMessage
{
  HWND hwnd;
  UINT message;
  WPARAM wParam;
  LPARAM lParam;
};
std::vector<PendingMessage> ReleaseInputOfLocked(UserState& state, HWND hwnd);

// --- Resources kept outside user32 (Win32Gdi.cpp, Win32Gl.cpp, Win32Display.cpp) ---------------
// Called without the lock when a window has gone, to free its DC, GL surface and frames.
void ReleaseWindowResources(HWND hwnd);

} // namespace win32compat
