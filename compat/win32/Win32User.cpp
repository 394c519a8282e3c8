// Message queues and thread timers of the stand-in.
//
// One lock guards every queue and the timer table. That is plenty for the handful of threads a
// plug-in has, and it keeps window messages (which will cross threads) free of lock ordering.
// Nothing user-supplied runs under it: timer procedures are called by DispatchMessage with the
// lock released, so they may post, set and kill timers freely.

#include "Win32User.h"

#include "Win32Kernel.h"
#include "Win32ThreadExit.h"

#include <algorithm>
#include <chrono>
#include <condition_variable>
#include <deque>
#include <memory>
#include <mutex>
#include <optional>
#include <unordered_map>
#include <vector>

namespace {

using Clock = std::chrono::steady_clock;

// The per-queue limit of unretrieved posted messages on Windows.
constexpr size_t kMaxPostedMessages = 10000;

struct ThreadQueue
{
  explicit ThreadQueue(DWORD owner) : threadId(owner) {}

  const DWORD threadId;
  std::condition_variable wake;
  std::deque<MSG> posted;
  bool quitPosted = false;
  int quitCode = 0;
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

struct UserState
{
  std::mutex mutex;
  std::unordered_map<DWORD, std::shared_ptr<ThreadQueue>> queues;
  std::vector<TimerRecord> timers;
  UINT_PTR lastTimerId = 0;
};

UserState& State()
{
  // Never destroyed: threads may still leave the process after static destruction began.
  static UserState* state = new UserState;
  return *state;
}

void ReleaseQueueOf(DWORD threadId)
{
  std::shared_ptr<ThreadQueue> queue; // dropped outside the lock
  auto& state = State();
  std::lock_guard<std::mutex> lock(state.mutex);
  auto it = state.queues.find(threadId);
  if (it != state.queues.end())
  {
    queue = std::move(it->second);
    state.queues.erase(it);
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

// The calling thread's queue, made on first use. Call with the state lock held.
std::shared_ptr<ThreadQueue> CurrentQueue(UserState& state)
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

// Windows arrive with the window layer; until then no window handle is valid.
bool IsKnownWindow(HWND)
{
  return false;
}

const HWND kThreadMessagesOnly = reinterpret_cast<HWND>(static_cast<LONG_PTR>(-1));

struct Filter
{
  HWND hwnd;
  UINT min;
  UINT max;

  bool Valid() const { return hwnd == nullptr || hwnd == kThreadMessagesOnly || IsKnownWindow(hwnd); }

  bool Passes(HWND target, UINT message) const
  {
    if (message == WM_QUIT)
      return true;
    if (hwnd == kThreadMessagesOnly ? target != nullptr : (hwnd != nullptr && target != hwnd))
      return false;
    return (min == 0 && max == 0) || (message >= min && message <= max);
  }
};

MSG MakeMessage(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam)
{
  MSG msg{};
  msg.hwnd = hwnd;
  msg.message = message;
  msg.wParam = wParam;
  msg.lParam = lParam;
  msg.time = GetTickCount();
  return msg;
}

// The next message for the queue in Windows' order: posted, quit, timer. Lock held.
bool Retrieve(UserState& state, ThreadQueue& queue, const Filter& filter, bool remove, MSG& out)
{
  for (auto it = queue.posted.begin(); it != queue.posted.end(); ++it)
  {
    if (filter.Passes(it->hwnd, it->message))
    {
      out = *it;
      if (remove)
        queue.posted.erase(it);
      return true;
    }
  }

  if (queue.quitPosted)
  {
    out = MakeMessage(nullptr, WM_QUIT, static_cast<WPARAM>(queue.quitCode), 0);
    if (remove)
      queue.quitPosted = false;
    return true;
  }

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
  out = MakeMessage(earliest->hwnd, WM_TIMER, earliest->id, reinterpret_cast<LPARAM>(earliest->proc));
  if (remove)
    earliest->due = now + std::chrono::milliseconds(earliest->elapse);
  return true;
}

// When the first of the queue's timers that pass the filter becomes due. Lock held.
std::optional<Clock::time_point> NextTimerDue(const UserState& state, const ThreadQueue& queue, const Filter& filter)
{
  std::optional<Clock::time_point> next;
  for (const auto& timer : state.timers)
  {
    if (timer.threadId == queue.threadId && filter.Passes(timer.hwnd, WM_TIMER) && (!next || timer.due < *next))
      next = timer.due;
  }
  return next;
}

// Appends a message to another thread's queue (the window layer posts through here too).
BOOL PostToThread(DWORD threadId, const MSG& msg)
{
  auto& state = State();
  std::lock_guard<std::mutex> lock(state.mutex);
  auto it = state.queues.find(threadId);
  if (it == state.queues.end())
  {
    SetLastError(ERROR_INVALID_THREAD_ID);
    return FALSE;
  }
  auto& queue = *it->second;
  if (queue.posted.size() >= kMaxPostedMessages)
  {
    SetLastError(ERROR_NOT_ENOUGH_QUOTA);
    return FALSE;
  }
  queue.posted.push_back(msg);
  queue.wake.notify_all();
  return TRUE;
}

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

namespace win32compat {

void ReleaseThreadMessageQueue()
{
  ReleaseQueueOf(GetCurrentThreadId());
}

} // namespace win32compat

BOOL GetMessage(LPMSG msg, HWND hwnd, UINT filterMin, UINT filterMax)
{
  const Filter filter{hwnd, filterMin, filterMax};
  if (!msg)
  {
    SetLastError(ERROR_INVALID_PARAMETER);
    return -1;
  }
  if (!filter.Valid())
  {
    SetLastError(ERROR_INVALID_WINDOW_HANDLE);
    return -1;
  }
  auto& state = State();
  std::unique_lock<std::mutex> lock(state.mutex);
  const auto queue = CurrentQueue(state);
  for (;;)
  {
    if (Retrieve(state, *queue, filter, true, *msg))
      return msg->message == WM_QUIT ? FALSE : TRUE;
    if (const auto due = NextTimerDue(state, *queue, filter))
      queue->wake.wait_until(lock, *due);
    else
      queue->wake.wait(lock);
  }
}

BOOL PeekMessage(LPMSG msg, HWND hwnd, UINT filterMin, UINT filterMax, UINT removeFlags)
{
  const Filter filter{hwnd, filterMin, filterMax};
  auto& state = State();
  std::lock_guard<std::mutex> lock(state.mutex);
  const auto queue = CurrentQueue(state);
  if (!msg)
  {
    SetLastError(ERROR_INVALID_PARAMETER);
    return FALSE;
  }
  if (!filter.Valid())
  {
    SetLastError(ERROR_INVALID_WINDOW_HANDLE);
    return FALSE;
  }
  return Retrieve(state, *queue, filter, (removeFlags & PM_REMOVE) != 0, *msg) ? TRUE : FALSE;
}

BOOL TranslateMessage(const MSG*)
{
  return FALSE;
}

LRESULT DispatchMessage(const MSG* msg)
{
  if (!msg)
    return 0;
  if (msg->message == WM_TIMER && msg->lParam != 0)
  {
    const auto proc = reinterpret_cast<TIMERPROC>(msg->lParam);
    {
      auto& state = State();
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
  if (msg->hwnd)
    SetLastError(ERROR_INVALID_WINDOW_HANDLE);
  return 0;
}

BOOL PostThreadMessage(DWORD threadId, UINT message, WPARAM wParam, LPARAM lParam)
{
  return PostToThread(threadId, MakeMessage(nullptr, message, wParam, lParam));
}

void PostQuitMessage(int exitCode)
{
  auto& state = State();
  std::lock_guard<std::mutex> lock(state.mutex);
  const auto queue = CurrentQueue(state);
  queue->quitPosted = true;
  queue->quitCode = exitCode;
}

UINT_PTR SetTimer(HWND hwnd, UINT_PTR idEvent, UINT elapse, TIMERPROC timerFunc)
{
  if (hwnd)
  {
    SetLastError(ERROR_INVALID_WINDOW_HANDLE);
    return 0;
  }
  elapse = std::clamp<UINT>(elapse, USER_TIMER_MINIMUM, USER_TIMER_MAXIMUM);

  auto& state = State();
  std::lock_guard<std::mutex> lock(state.mutex);
  const auto queue = CurrentQueue(state);
  const auto due = Clock::now() + std::chrono::milliseconds(elapse);

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
  if (hwnd)
  {
    SetLastError(ERROR_INVALID_WINDOW_HANDLE);
    return FALSE;
  }
  auto& state = State();
  std::lock_guard<std::mutex> lock(state.mutex);
  const auto erased = std::erase_if(state.timers, [idEvent](const TimerRecord& t) {
    return t.hwnd == nullptr && t.id == idEvent;
  });
  return erased > 0 ? TRUE : FALSE;
}
