// Message queues, sent messages and timers of the stand-in.
//
// Index:
//   1. Queues and their lifetime
//   2. Retrieval (the order of Windows)
//   3. Sent messages across threads
//   4. The public message calls
//   5. Timers

#include "Win32User.h"

#include "Win32Kernel.h"
#include "Win32Text.h"
#include "Win32ThreadExit.h"
#include "Win32UserState.h"

#include <algorithm>

namespace win32compat {

// --- 1. Queues and their lifetime --------------------------------------------------------------

namespace {

// The per-queue limit of unretrieved posted messages on Windows.
constexpr size_t kMaxPostedMessages = 10000;

void ReleaseQueueOf(DWORD threadId)
{
  DropThreadWindows(threadId);
  std::shared_ptr<ThreadQueue> queue; // dropped outside the lock
  auto& state = User();
  std::lock_guard<std::mutex> lock(state.mutex);
  auto it = state.queues.find(threadId);
  if (it != state.queues.end())
  {
    queue = std::move(it->second);
    state.queues.erase(it);
    queue->alive = false;
    // Whoever still waits for a reply from this thread gets 0.
    for (auto& sent : queue->sent)
    {
      sent->done = true;
      if (sent->sender)
        sent->sender->wake.notify_all();
    }
    queue->sent.clear();
  }
  std::erase_if(state.timers, [threadId](const TimerRecord& t) { return t.threadId == threadId; });
}

// Releases the queue of a thread that ends without going through CreateThread's trampoline.
struct QueueLifetime
{
  DWORD threadId = 0;
  ~QueueLifetime()
  {
    if (threadId != 0)
      ReleaseQueueOf(threadId);
  }
};
thread_local QueueLifetime tQueueLifetime;

} // namespace

UserState& User()
{
  // Never destroyed: threads may still leave the process after static destruction began.
  static UserState* state = new UserState;
  return *state;
}

std::shared_ptr<ThreadQueue> CurrentQueueLocked(UserState& state)
{
  const DWORD self = GetCurrentThreadId();
  auto& slot = state.queues[self];
  if (!slot)
  {
    slot = std::make_shared<ThreadQueue>(self);
    tQueueLifetime.threadId = self;
  }
  return slot;
}

std::shared_ptr<ThreadQueue> QueueOfLocked(UserState& state, DWORD threadId)
{
  auto it = state.queues.find(threadId);
  return it == state.queues.end() ? nullptr : it->second;
}

MSG MakeMessage(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam)
{
  MSG msg{};
  msg.hwnd = hwnd;
  msg.message = message;
  msg.wParam = wParam;
  msg.lParam = lParam;
  msg.time = GetTickCount();
  msg.pt = User().cursorPos; // callers hold the lock
  return msg;
}

BOOL PostToThreadLocked(UserState& state, DWORD threadId, const MSG& msg)
{
  auto queue = QueueOfLocked(state, threadId);
  if (!queue)
  {
    SetLastError(ERROR_INVALID_THREAD_ID);
    return FALSE;
  }
  if (queue->posted.size() >= kMaxPostedMessages)
  {
    SetLastError(ERROR_NOT_ENOUGH_QUOTA);
    return FALSE;
  }
  queue->posted.push_back(msg);
  queue->wake.notify_all();
  return TRUE;
}

// --- 2. Retrieval ------------------------------------------------------------------------------

namespace {

const HWND kThreadMessagesOnly = reinterpret_cast<HWND>(static_cast<LONG_PTR>(-1));

struct Filter
{
  HWND hwnd;
  UINT min;
  UINT max;

  // Only the calling thread's own windows can be asked for.
  bool Valid(UserState& state, DWORD self) const
  {
    if (hwnd == nullptr || hwnd == kThreadMessagesOnly)
      return true;
    auto window = FindWindowLocked(state, hwnd);
    return window && window->threadId == self;
  }

  bool Passes(HWND target, UINT message) const
  {
    if (message == WM_QUIT)
      return true;
    if (hwnd == kThreadMessagesOnly ? target != nullptr : (hwnd != nullptr && target != hwnd))
      return false;
    return InRange(message);
  }

  bool InRange(UINT message) const { return (min == 0 && max == 0) || (message >= min && message <= max); }
};

struct Retrieved
{
  MSG msg{};
  HWND setCursorTo = nullptr; // WM_SETCURSOR to send before returning a mouse message
};

// The next message for the queue in Windows' order. Lock held.
bool Retrieve(UserState& state, ThreadQueue& queue, const Filter& filter, bool remove, Retrieved& out)
{
  for (auto it = queue.posted.begin(); it != queue.posted.end(); ++it)
  {
    if (filter.Passes(it->hwnd, it->message))
    {
      out.msg = *it;
      if (remove)
        queue.posted.erase(it);
      return true;
    }
  }

  for (auto it = queue.input.begin(); it != queue.input.end(); ++it)
  {
    if (filter.Passes(it->msg.hwnd, it->msg.message))
    {
      out.msg = it->msg;
      if (remove)
      {
        const InputMessage input = *it;
        queue.input.erase(it);
        out.setCursorTo = ApplyRetrievedInputLocked(state, queue, input);
      }
      return true;
    }
  }

  // Paint and hover belong to windows, so a filter for thread messages never takes them.
  if (filter.hwnd != kThreadMessagesOnly && filter.InRange(WM_PAINT))
  {
    if (HWND target = NextWindowToPaintLocked(state, queue, filter.hwnd))
    {
      out.msg = MakeMessage(target, WM_PAINT, 0, 0);
      return true; // stays until the update region is validated
    }
  }

  if (filter.hwnd != kThreadMessagesOnly && filter.InRange(WM_MOUSEHOVER) &&
      RetrieveHoverLocked(state, queue, filter.hwnd, remove, out.msg))
    return true;

  const auto now = Clock::now();
  TimerRecord* earliest = nullptr;
  for (auto& timer : state.timers)
  {
    if (timer.threadId == queue.threadId && timer.due <= now && filter.Passes(timer.hwnd, WM_TIMER) &&
        (!earliest || timer.due < earliest->due))
      earliest = &timer;
  }
  if (!earliest)
    return false;
  out.msg = MakeMessage(earliest->hwnd, WM_TIMER, earliest->id, reinterpret_cast<LPARAM>(earliest->proc));
  if (remove)
    earliest->due = now + std::chrono::milliseconds(earliest->elapse);
  return true;
}

// When the queue next has a generated message (a timer tick or a hover) that passes the filter.
std::optional<Clock::time_point> NextDue(const UserState& state, const ThreadQueue& queue, const Filter& filter)
{
  std::optional<Clock::time_point> next = NextHoverDueLocked(queue);
  for (const auto& timer : state.timers)
  {
    if (timer.threadId == queue.threadId && filter.Passes(timer.hwnd, WM_TIMER) && (!next || timer.due < *next))
      next = timer.due;
  }
  return next;
}

// --- 3. Sent messages across threads -----------------------------------------------------------

// Handles the oldest message sent to this thread; the lock is released around the call.
void HandleOneSent(std::unique_lock<std::mutex>& lock, ThreadQueue& queue)
{
  auto sent = queue.sent.front();
  queue.sent.pop_front();
  ++queue.handlingSent;
  lock.unlock();
  LRESULT result = 0;
  try
  {
    result = sent->task ? sent->task()
                        : CallWindowDirect(sent->hwnd, sent->message, sent->wParam, sent->lParam, sent->unicode);
  }
  catch (...)
  {
    // The sender cannot receive an exception across threads; it gets 0, as from a lost window.
  }
  lock.lock();
  --queue.handlingSent;
  sent->result = result;
  sent->done = true;
  if (sent->sender)
    sent->sender->wake.notify_all();
}

void HandleAllSent(std::unique_lock<std::mutex>& lock, ThreadQueue& queue)
{
  while (!queue.sent.empty())
    HandleOneSent(lock, queue);
}

// Queues the message (or task) on the window's thread and waits for the reply, handling what is
// sent to this thread meanwhile. Lock held on entry and exit.
LRESULT SendAcross(std::unique_lock<std::mutex>& lock, UserState& state, const std::shared_ptr<ThreadQueue>& target,
                   std::shared_ptr<SentMessage> message)
{
  auto self = CurrentQueueLocked(state);
  message->sender = self;
  target->sent.push_back(message);
  target->wake.notify_all();
  while (!message->done)
  {
    if (!self->sent.empty())
    {
      HandleOneSent(lock, *self);
      continue;
    }
    if (!target->alive)
      break;
    self->wake.wait(lock);
  }
  return message->done ? message->result : 0;
}

} // namespace

LRESULT SendInternal(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam, bool unicode)
{
  auto& state = User();
  std::unique_lock<std::mutex> lock(state.mutex);
  auto window = CheckWindowLocked(state, hwnd);
  if (!window)
    return 0;
  if (window->threadId == GetCurrentThreadId())
  {
    const WNDPROC proc = window->proc;
    const bool procUnicode = window->unicode;
    lock.unlock();
    return InvokeProc(proc, procUnicode, hwnd, message, wParam, lParam, unicode);
  }
  auto target = QueueOfLocked(state, window->threadId);
  if (!target)
    return 0;
  auto sent = std::make_shared<SentMessage>();
  sent->hwnd = hwnd;
  sent->message = message;
  sent->wParam = wParam;
  sent->lParam = lParam;
  sent->unicode = unicode;
  return SendAcross(lock, state, target, std::move(sent));
}

LRESULT RunOnWindowThread(HWND hwnd, const std::function<LRESULT()>& task)
{
  auto& state = User();
  std::unique_lock<std::mutex> lock(state.mutex);
  auto window = CheckWindowLocked(state, hwnd);
  if (!window)
    return 0;
  if (window->threadId == GetCurrentThreadId())
  {
    lock.unlock();
    return task();
  }
  auto target = QueueOfLocked(state, window->threadId);
  if (!target)
    return 0;
  auto sent = std::make_shared<SentMessage>();
  sent->hwnd = hwnd;
  sent->task = task;
  return SendAcross(lock, state, target, std::move(sent));
}

void ReleaseThreadMessageQueue()
{
  ReleaseQueueOf(GetCurrentThreadId());
}

} // namespace win32compat

// --- 4. The public message calls ---------------------------------------------------------------

using namespace win32compat;

namespace {

// GetMessage and PeekMessage share this: handle sent messages, retrieve, and send WM_SETCURSOR
// before handing out a mouse message.
BOOL GetOrPeek(LPMSG msg, HWND hwnd, UINT filterMin, UINT filterMax, bool wait, bool remove)
{
  const Filter filter{hwnd, filterMin, filterMax};
  auto& state = User();
  std::unique_lock<std::mutex> lock(state.mutex);
  const auto queue = CurrentQueueLocked(state);
  if (!msg)
  {
    SetLastError(ERROR_INVALID_PARAMETER);
    return wait ? -1 : FALSE;
  }
  if (!filter.Valid(state, queue->threadId))
  {
    SetLastError(ERROR_INVALID_WINDOW_HANDLE);
    return wait ? -1 : FALSE;
  }
  for (;;)
  {
    HandleAllSent(lock, *queue);
    Retrieved retrieved;
    if (Retrieve(state, *queue, filter, remove, retrieved))
    {
      *msg = retrieved.msg;
      if (retrieved.setCursorTo)
      {
        lock.unlock();
        SendInternal(retrieved.setCursorTo, WM_SETCURSOR, reinterpret_cast<WPARAM>(retrieved.setCursorTo),
                     MAKELPARAM(HTCLIENT, msg->message), true);
      }
      if (!wait)
        return TRUE;
      return msg->message == WM_QUIT ? FALSE : TRUE;
    }
    if (!wait)
      return FALSE;
    if (const auto due = NextDue(state, *queue, filter))
      queue->wake.wait_until(lock, *due);
    else
      queue->wake.wait(lock);
  }
}

// System messages whose parameters point into the sender's memory cannot be posted.
bool SyncOnly(UINT message)
{
  switch (message)
  {
  case WM_CREATE:
  case WM_NCCREATE:
  case WM_SETTEXT:
  case WM_GETTEXT:
  case WM_GETMINMAXINFO:
  case WM_WINDOWPOSCHANGING:
  case WM_WINDOWPOSCHANGED:
  case WM_NOTIFY:
  case WM_STYLECHANGING:
  case WM_STYLECHANGED:
  case WM_NCCALCSIZE:
    return true;
  default:
    return false;
  }
}

BOOL PostInternal(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam)
{
  auto& state = User();
  std::lock_guard<std::mutex> lock(state.mutex);
  if (!hwnd)
    return PostToThreadLocked(state, CurrentQueueLocked(state)->threadId, MakeMessage(nullptr, message, wParam, lParam));
  auto window = CheckWindowLocked(state, hwnd);
  if (!window)
    return FALSE;
  if (SyncOnly(message))
  {
    SetLastError(ERROR_MESSAGE_SYNC_ONLY);
    return FALSE;
  }
  return PostToThreadLocked(state, window->threadId, MakeMessage(hwnd, message, wParam, lParam));
}

LRESULT DispatchInternal(const MSG* msg, bool unicode)
{
  if (!msg)
    return 0;
  auto& state = User();
  if (msg->message == WM_TIMER && msg->lParam != 0)
  {
    const auto proc = reinterpret_cast<TIMERPROC>(msg->lParam);
    {
      std::lock_guard<std::mutex> lock(state.mutex);
      const bool registered = std::any_of(state.timers.begin(), state.timers.end(),
                                          [proc](const TimerRecord& t) { return t.proc == proc; });
      if (!registered)
        return 0;
    }
    try
    {
      proc(msg->hwnd, WM_TIMER, msg->wParam, GetTickCount());
    }
    catch (...)
    {
    }
    return 0;
  }
  if (!msg->hwnd)
    return 0;
  {
    std::lock_guard<std::mutex> lock(state.mutex);
    auto window = CheckWindowLocked(state, msg->hwnd);
    if (!window)
      return 0;
    if (window->threadId != GetCurrentThreadId())
    {
      SetLastError(ERROR_WINDOW_OF_OTHER_THREAD);
      return 0;
    }
  }
  return CallWindowDirect(msg->hwnd, msg->message, msg->wParam, msg->lParam, unicode);
}

UINT RegisterMessageName(const std::wstring& name)
{
  if (name.empty())
  {
    SetLastError(ERROR_INVALID_PARAMETER);
    return 0;
  }
  auto& state = User();
  std::lock_guard<std::mutex> lock(state.mutex);
  auto& names = state.registeredMessages;
  for (size_t i = 0; i < names.size(); ++i)
    if (SameName(names[i], name))
      return static_cast<UINT>(0xC000 + i);
  if (names.size() >= 0x4000)
  {
    SetLastError(ERROR_NOT_ENOUGH_MEMORY);
    return 0;
  }
  names.push_back(name);
  return static_cast<UINT>(0xC000 + names.size() - 1);
}

} // namespace

BOOL GetMessageA(LPMSG msg, HWND hwnd, UINT filterMin, UINT filterMax)
{
  return GetOrPeek(msg, hwnd, filterMin, filterMax, true, true);
}

BOOL PeekMessageA(LPMSG msg, HWND hwnd, UINT filterMin, UINT filterMax, UINT removeFlags)
{
  return GetOrPeek(msg, hwnd, filterMin, filterMax, false, (removeFlags & PM_REMOVE) != 0);
}

BOOL PeekMessageW(LPMSG msg, HWND hwnd, UINT filterMin, UINT filterMax, UINT removeFlags)
{
  return GetOrPeek(msg, hwnd, filterMin, filterMax, false, (removeFlags & PM_REMOVE) != 0);
}

LRESULT DispatchMessageA(const MSG* msg)
{
  return DispatchInternal(msg, false);
}

LRESULT DispatchMessageW(const MSG* msg)
{
  return DispatchInternal(msg, true);
}

BOOL PostMessageA(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam)
{
  return PostInternal(hwnd, message, wParam, lParam);
}

BOOL PostMessageW(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam)
{
  return PostInternal(hwnd, message, wParam, lParam);
}

BOOL PostThreadMessageA(DWORD threadId, UINT message, WPARAM wParam, LPARAM lParam)
{
  auto& state = User();
  std::lock_guard<std::mutex> lock(state.mutex);
  return PostToThreadLocked(state, threadId, MakeMessage(nullptr, message, wParam, lParam));
}

LRESULT SendMessageW(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam)
{
  return SendInternal(hwnd, message, wParam, lParam, true);
}

LPARAM GetMessageExtraInfo()
{
  auto& state = User();
  std::lock_guard<std::mutex> lock(state.mutex);
  return CurrentQueueLocked(state)->lastExtraInfo;
}

UINT RegisterWindowMessageW(LPCWSTR name)
{
  return RegisterMessageName(name ? std::wstring(name) : std::wstring());
}

// --- 5. Timers ---------------------------------------------------------------------------------

namespace {

UINT_PTR NewTimerId(const UserState& state)
{
  // Identifiers stay within 32 bits (callers keep them in a UINT now and then) and skip 0 and
  // those in use.
  UINT_PTR id = state.lastTimerId;
  for (;;)
  {
    id = id >= 0xFFFFFFFFu ? 1 : id + 1;
    const bool inUse = std::any_of(state.timers.begin(), state.timers.end(),
                                   [id](const TimerRecord& t) { return t.hwnd == nullptr && t.id == id; });
    if (!inUse)
      return id;
  }
}

} // namespace

UINT_PTR SetTimer(HWND hwnd, UINT_PTR idEvent, UINT elapse, TIMERPROC timerFunc)
{
  elapse = std::clamp<UINT>(elapse, USER_TIMER_MINIMUM, USER_TIMER_MAXIMUM);

  auto& state = User();
  std::lock_guard<std::mutex> lock(state.mutex);
  const auto queue = CurrentQueueLocked(state);
  const auto due = Clock::now() + std::chrono::milliseconds(elapse);

  if (hwnd)
  {
    auto window = CheckWindowLocked(state, hwnd);
    if (!window)
      return 0;
    if (window->threadId != queue->threadId)
    {
      SetLastError(ERROR_ACCESS_DENIED);
      return 0;
    }
    for (auto& timer : state.timers)
    {
      if (timer.hwnd == hwnd && timer.id == idEvent)
      {
        timer.elapse = elapse;
        timer.proc = timerFunc;
        timer.due = due;
        return idEvent != 0 ? idEvent : 1;
      }
    }
    state.timers.push_back(TimerRecord{queue->threadId, hwnd, idEvent, elapse, timerFunc, due});
    queue->wake.notify_all();
    return idEvent != 0 ? idEvent : 1;
  }

  if (idEvent != 0)
  {
    for (auto& timer : state.timers)
    {
      if (timer.hwnd == nullptr && timer.id == idEvent && timer.threadId == queue->threadId)
      {
        timer.elapse = elapse;
        timer.proc = timerFunc;
        timer.due = due;
        return idEvent;
      }
    }
  }

  const UINT_PTR id = NewTimerId(state);
  state.lastTimerId = id;
  state.timers.push_back(TimerRecord{queue->threadId, nullptr, id, elapse, timerFunc, due});
  return id;
}

BOOL KillTimer(HWND hwnd, UINT_PTR idEvent)
{
  auto& state = User();
  std::lock_guard<std::mutex> lock(state.mutex);
  if (hwnd && !CheckWindowLocked(state, hwnd))
    return FALSE;
  const auto erased = std::erase_if(state.timers, [hwnd, idEvent](const TimerRecord& t) {
    return t.hwnd == hwnd && t.id == idEvent;
  });
  return erased > 0 ? TRUE : FALSE;
}
