// Input of the stand-in: capture, focus, cursor, key state, mouse tracking, touch and dropped
// files, and the injection of a user's input (Win32Display.h).
//
// Index:
//   1. What retrieval does with input (the hooks of the message queue)
//   2. Capture and focus
//   3. Cursor
//   4. Key state
//   5. Mouse tracking
//   6. Touch and dropped files
//   7. Metrics and DPI
//   8. Injection

#include "Win32Input.h"

#include "Win32Display.h"
#include "Win32DisplayState.h"
#include "Win32Kernel.h"
#include "Win32KeyboardLayout.h"
#include "Win32LiveObjects.h"
#include "Win32Text.h"
#include "Win32UserState.h"

#include <algorithm>
#include <cstdlib>
#include <unordered_map>

namespace win32compat {

namespace {

constexpr DWORD kDoubleClickTime = 500;
constexpr int kDoubleClickDistance = 4; // the width and height of the double-click rectangle
constexpr DWORD kHoverTime = 400;
constexpr int kHoverDistance = 4;
constexpr uintptr_t kCursorBase = 0x70000;

struct DropRecord
{
  std::vector<std::wstring> files;
  POINT point{};
};

struct LastClick
{
  HWND hwnd = nullptr;
  UINT message = 0;
  DWORD time = 0;
  POINT screen{};
};

// State of this part that lives under user32's lock.
struct InputExtras
{
  std::unordered_map<uintptr_t, std::vector<TOUCHINPUT>> touches;
  std::unordered_map<uintptr_t, DropRecord> drops;
  uintptr_t nextHandle = 0x50000;
  LastClick lastClick;
};

InputExtras& ExtrasLocked()
{
  static InputExtras* extras = new InputExtras;
  return *extras;
}

bool IsMouseMessage(UINT message)
{
  return message >= WM_MOUSEFIRST && message <= WM_MOUSELAST;
}

// The generic key (VK_SHIFT ...) that a left or right key also holds down.
int GenericKey(int vk)
{
  switch (vk)
  {
  case VK_LSHIFT:
  case VK_RSHIFT: return VK_SHIFT;
  case VK_LCONTROL:
  case VK_RCONTROL: return VK_CONTROL;
  case VK_LMENU:
  case VK_RMENU: return VK_MENU;
  default: return -1;
  }
}

void SetKey(BYTE* keys, int vk, bool down)
{
  if (down)
  {
    if (!(keys[vk] & 0x80))
      keys[vk] ^= 0x01; // the toggle bit flips with each press
    keys[vk] |= 0x80;
  }
  else
    keys[vk] &= static_cast<BYTE>(~0x80);
  const int generic = GenericKey(vk);
  if (generic >= 0)
  {
    const int left = generic == VK_SHIFT ? VK_LSHIFT : generic == VK_CONTROL ? VK_LCONTROL : VK_LMENU;
    const bool any = ((keys[left] | keys[left + 1]) & 0x80) != 0;
    if (any && !(keys[generic] & 0x80))
      keys[generic] ^= 0x01;
    keys[generic] = static_cast<BYTE>(any ? (keys[generic] | 0x80) : (keys[generic] & ~0x80));
  }
}

WPARAM MouseKeys(const BYTE* keys)
{
  WPARAM flags = 0;
  if (keys[VK_LBUTTON] & 0x80)
    flags |= MK_LBUTTON;
  if (keys[VK_RBUTTON] & 0x80)
    flags |= MK_RBUTTON;
  if (keys[VK_MBUTTON] & 0x80)
    flags |= MK_MBUTTON;
  if (keys[VK_SHIFT] & 0x80)
    flags |= MK_SHIFT;
  if (keys[VK_CONTROL] & 0x80)
    flags |= MK_CONTROL;
  return flags;
}

LPARAM PackPoint(LONG x, LONG y)
{
  return MAKELPARAM(static_cast<WORD>(static_cast<SHORT>(x)), static_cast<WORD>(static_cast<SHORT>(y)));
}

HCURSOR CursorHandle(WORD id)
{
  return reinterpret_cast<HCURSOR>(kCursorBase + id);
}

constexpr WORD kCursorIds[] = {32512, 32513, 32514, 32515, 32516, 32640, 32641, 32642, 32643,
                               32644, 32645, 32646, 32648, 32649, 32650, 32651, 32671, 32672};

} // namespace

size_t LiveInputHandles()
{
  auto& state = User();
  std::lock_guard<std::mutex> lock(state.mutex);
  return ExtrasLocked().touches.size() + ExtrasLocked().drops.size();
}

// --- 1. What retrieval does with input -----------------------------------------------------------

HWND ApplyRetrievedInputLocked(UserState& state, ThreadQueue& queue, const InputMessage& input)
{
  if (input.keyVk >= 0)
    SetKey(queue.keyState, input.keyVk, input.keyDown);
  if (input.buttonVk >= 0)
    SetKey(queue.keyState, input.buttonVk, input.buttonDown);
  queue.lastExtraInfo = input.extraInfo;
  const UINT message = input.msg.message;
  const bool setsCursor = message == WM_MOUSEMOVE || (IsMouseMessage(message) && message != WM_MOUSEWHEEL &&
                                                      message != WM_MOUSEHWHEEL);
  if (setsCursor && !queue.capture && FindWindowLocked(state, input.msg.hwnd))
    return input.msg.hwnd;
  return nullptr;
}

bool RetrieveHoverLocked(UserState& state, ThreadQueue& queue, HWND filterWindow, bool remove, MSG& out)
{
  auto& tracking = queue.tracking;
  if (!tracking.hwnd || !(tracking.flags & TME_HOVER) || Clock::now() < tracking.hoverDue)
    return false;
  if (filterWindow && filterWindow != tracking.hwnd)
    return false;
  if (state.hoverWindow != tracking.hwnd)
    return false; // hovering elsewhere; the wait restarts when the mouse comes back
  auto window = FindWindowLocked(state, tracking.hwnd);
  if (!window)
    return false;
  const POINT origin = ScreenOriginLocked(state, *window);
  out = MakeMessage(tracking.hwnd, WM_MOUSEHOVER, MouseKeys(queue.keyState),
                    PackPoint(state.cursorPos.x - origin.x, state.cursorPos.y - origin.y));
  if (remove)
  {
    tracking.flags &= ~static_cast<DWORD>(TME_HOVER);
    if (!tracking.flags)
      tracking = MouseTracking{};
  }
  return true;
}

std::optional<Clock::time_point> NextHoverDueLocked(const ThreadQueue& queue)
{
  if (queue.tracking.hwnd && (queue.tracking.flags & TME_HOVER))
    return queue.tracking.hoverDue;
  return std::nullopt;
}

std::vector<PendingMessage> ReleaseInputOfLocked(UserState& state, HWND hwnd)
{
  std::vector<PendingMessage> pending;
  auto window = FindWindowLocked(state, hwnd);
  if (!window)
    return pending;
  auto queue = QueueOfLocked(state, window->threadId);
  if (!queue)
    return pending;
  if (queue->focus && IsDescendantLocked(state, hwnd, queue->focus))
  {
    pending.push_back({queue->focus, WM_KILLFOCUS, 0, 0});
    queue->focus = nullptr;
  }
  if (queue->capture && IsDescendantLocked(state, hwnd, queue->capture))
  {
    pending.push_back({queue->capture, WM_CAPTURECHANGED, 0, 0});
    queue->capture = nullptr;
  }
  if (queue->tracking.hwnd && IsDescendantLocked(state, hwnd, queue->tracking.hwnd))
    queue->tracking = MouseTracking{};
  return pending;
}

} // namespace win32compat

using namespace win32compat;

// --- 2. Capture and focus ----------------------------------------------------------------------

namespace {

// The window, checked to be the calling thread's; sets the error otherwise.
bool OwnWindowLocked(UserState& state, HWND hwnd)
{
  auto window = CheckWindowLocked(state, hwnd);
  if (!window)
    return false;
  if (window->threadId != GetCurrentThreadId())
  {
    SetLastError(ERROR_ACCESS_DENIED);
    return false;
  }
  return true;
}

} // namespace

HWND SetCapture(HWND hwnd)
{
  HWND previous;
  {
    auto& state = User();
    std::lock_guard<std::mutex> lock(state.mutex);
    if (!OwnWindowLocked(state, hwnd))
      return nullptr;
    auto queue = CurrentQueueLocked(state);
    previous = queue->capture;
    queue->capture = hwnd;
  }
  if (previous && previous != hwnd)
    SendMessageW(previous, WM_CAPTURECHANGED, 0, reinterpret_cast<LPARAM>(hwnd));
  return previous;
}

BOOL ReleaseCapture()
{
  HWND previous;
  {
    auto& state = User();
    std::lock_guard<std::mutex> lock(state.mutex);
    auto queue = CurrentQueueLocked(state);
    previous = queue->capture;
    queue->capture = nullptr;
  }
  if (previous)
    SendMessageW(previous, WM_CAPTURECHANGED, 0, 0);
  return TRUE;
}

HWND GetCapture()
{
  auto& state = User();
  std::lock_guard<std::mutex> lock(state.mutex);
  return CurrentQueueLocked(state)->capture;
}

HWND SetFocus(HWND hwnd)
{
  HWND previous;
  {
    auto& state = User();
    std::lock_guard<std::mutex> lock(state.mutex);
    if (hwnd && !OwnWindowLocked(state, hwnd))
      return nullptr;
    auto queue = CurrentQueueLocked(state);
    previous = queue->focus;
    if (previous == hwnd)
      return previous;
    queue->focus = hwnd;
  }
  if (previous)
    SendMessageW(previous, WM_KILLFOCUS, reinterpret_cast<WPARAM>(hwnd), 0);
  if (hwnd && GetFocus() == hwnd)
    SendMessageW(hwnd, WM_SETFOCUS, reinterpret_cast<WPARAM>(previous), 0);
  return previous;
}

HWND GetFocus()
{
  auto& state = User();
  std::lock_guard<std::mutex> lock(state.mutex);
  return CurrentQueueLocked(state)->focus;
}

// --- 3. Cursor ---------------------------------------------------------------------------------

namespace {

HCURSOR LoadSystemCursor(HINSTANCE instance, ULONG_PTR name, bool isAtom)
{
  if (!instance && isAtom)
    for (WORD id : kCursorIds)
      if (id == name)
        return CursorHandle(id);
  SetLastError(ERROR_RESOURCE_NAME_NOT_FOUND);
  return nullptr;
}

} // namespace

HCURSOR LoadCursorW(HINSTANCE instance, LPCWSTR name)
{
  return LoadSystemCursor(instance, reinterpret_cast<ULONG_PTR>(name), IS_INTRESOURCE(name));
}

HCURSOR SetCursor(HCURSOR cursor)
{
  auto& state = User();
  std::lock_guard<std::mutex> lock(state.mutex);
  const HCURSOR previous = state.cursor;
  state.cursor = cursor;
  return previous;
}

int ShowCursor(BOOL show)
{
  auto& state = User();
  std::lock_guard<std::mutex> lock(state.mutex);
  state.cursorShowCount += show ? 1 : -1;
  return state.cursorShowCount;
}

BOOL GetCursorPos(LPPOINT point)
{
  if (!point)
  {
    SetLastError(ERROR_INVALID_PARAMETER);
    return FALSE;
  }
  auto& state = User();
  std::lock_guard<std::mutex> lock(state.mutex);
  *point = state.cursorPos;
  return TRUE;
}

// --- 4. Key state ------------------------------------------------------------------------------

SHORT GetKeyState(int virtualKey)
{
  if (virtualKey < 0 || virtualKey > 255)
    return 0;
  auto& state = User();
  std::lock_guard<std::mutex> lock(state.mutex);
  const BYTE key = CurrentQueueLocked(state)->keyState[virtualKey];
  return static_cast<SHORT>(((key & 0x80) ? 0x8000 : 0) | (key & 0x01));
}

namespace {

bool KeyHeld(int virtualKey)
{
  auto& state = User();
  std::lock_guard<std::mutex> lock(state.mutex);
  return (state.asyncKeys[virtualKey] & 0x80) != 0;
}

} // namespace

BOOL GetKeyboardState(PBYTE keyState)
{
  if (!keyState)
    return FALSE;
  auto& state = User();
  std::lock_guard<std::mutex> lock(state.mutex);
  std::copy_n(CurrentQueueLocked(state)->keyState, 256, keyState);
  return TRUE;
}

// --- 5. Mouse tracking -------------------------------------------------------------------------

BOOL TrackMouseEvent(LPTRACKMOUSEEVENT track)
{
  if (!track || track->cbSize != sizeof(TRACKMOUSEEVENT))
  {
    SetLastError(ERROR_INVALID_PARAMETER);
    return FALSE;
  }
  auto& state = User();
  std::lock_guard<std::mutex> lock(state.mutex);
  auto queue = CurrentQueueLocked(state);
  auto& tracking = queue->tracking;
  if (track->dwFlags & TME_QUERY)
  {
    track->dwFlags = tracking.flags;
    track->hwndTrack = tracking.hwnd;
    track->dwHoverTime = tracking.hoverTime;
    return TRUE;
  }
  if (!OwnWindowLocked(state, track->hwndTrack))
    return FALSE;
  const DWORD wanted = track->dwFlags & (TME_HOVER | TME_LEAVE);
  if (track->dwFlags & TME_CANCEL)
  {
    if (tracking.hwnd == track->hwndTrack)
    {
      tracking.flags &= ~wanted;
      if (!tracking.flags)
        tracking = MouseTracking{};
    }
    return TRUE;
  }
  if (tracking.hwnd != track->hwndTrack)
    tracking = MouseTracking{};
  if ((wanted & TME_LEAVE) && state.hoverWindow != track->hwndTrack)
  {
    // Not over the window now: the leave is due at once.
    PostToThreadLocked(state, queue->threadId, MakeMessage(track->hwndTrack, WM_MOUSELEAVE, 0, 0));
    tracking = MouseTracking{};
    return TRUE;
  }
  tracking.hwnd = track->hwndTrack;
  tracking.flags |= wanted;
  if (wanted & TME_HOVER)
  {
    tracking.hoverTime = track->dwHoverTime == HOVER_DEFAULT ? kHoverTime : track->dwHoverTime;
    tracking.hoverDue = Clock::now() + std::chrono::milliseconds(tracking.hoverTime);
    tracking.hoverOrigin = state.cursorPos;
    queue->wake.notify_all();
  }
  return TRUE;
}

// --- 6. Touch and dropped files ----------------------------------------------------------------

BOOL RegisterTouchWindow(HWND hwnd, ULONG)
{
  auto& state = User();
  std::lock_guard<std::mutex> lock(state.mutex);
  if (!OwnWindowLocked(state, hwnd))
    return FALSE;
  FindWindowLocked(state, hwnd)->touch = true;
  return TRUE;
}

BOOL IsTouchWindow(HWND hwnd, PULONG flags)
{
  auto& state = User();
  std::lock_guard<std::mutex> lock(state.mutex);
  auto window = FindWindowLocked(state, hwnd);
  if (flags)
    *flags = 0;
  return window && window->touch ? TRUE : FALSE;
}

BOOL GetTouchInputInfo(HTOUCHINPUT touchInput, UINT count, PTOUCHINPUT inputs, int size)
{
  if (!inputs || size != static_cast<int>(sizeof(TOUCHINPUT)) || count == 0)
  {
    SetLastError(ERROR_INVALID_PARAMETER);
    return FALSE;
  }
  auto& state = User();
  std::lock_guard<std::mutex> lock(state.mutex);
  auto& touches = ExtrasLocked().touches;
  auto it = touches.find(reinterpret_cast<uintptr_t>(touchInput));
  if (it == touches.end())
  {
    SetLastError(ERROR_INVALID_HANDLE);
    return FALSE;
  }
  std::copy_n(it->second.begin(), std::min<size_t>(count, it->second.size()), inputs);
  return TRUE;
}

BOOL CloseTouchInputHandle(HTOUCHINPUT touchInput)
{
  auto& state = User();
  std::lock_guard<std::mutex> lock(state.mutex);
  if (ExtrasLocked().touches.erase(reinterpret_cast<uintptr_t>(touchInput)) == 0)
  {
    SetLastError(ERROR_INVALID_HANDLE);
    return FALSE;
  }
  return TRUE;
}

void DragAcceptFiles(HWND hwnd, BOOL accept)
{
  auto& state = User();
  std::lock_guard<std::mutex> lock(state.mutex);
  if (auto window = FindWindowLocked(state, hwnd))
  {
    if (accept)
      window->exStyle |= WS_EX_ACCEPTFILES;
    else
      window->exStyle &= ~static_cast<DWORD>(WS_EX_ACCEPTFILES);
  }
}

namespace {

template <typename Char, typename Convert>
UINT QueryDrop(HDROP drop, UINT index, Char* file, UINT size, Convert convert)
{
  auto& state = User();
  std::lock_guard<std::mutex> lock(state.mutex);
  auto& drops = ExtrasLocked().drops;
  auto it = drops.find(reinterpret_cast<uintptr_t>(drop));
  if (it == drops.end())
    return 0;
  const auto& files = it->second.files;
  if (index == 0xFFFFFFFF)
    return static_cast<UINT>(files.size());
  if (index >= files.size())
    return 0;
  const auto path = convert(files[index]);
  if (!file)
    return static_cast<UINT>(path.size());
  return static_cast<UINT>(CopyOut(path, file, static_cast<int>(std::min<UINT>(size, 0x7FFFFFFF))));
}

} // namespace

UINT DragQueryFileW(HDROP drop, UINT index, LPWSTR file, UINT size)
{
  return QueryDrop(drop, index, file, size, [](const std::wstring& w) { return w; });
}

BOOL DragQueryPoint(HDROP drop, LPPOINT point)
{
  auto& state = User();
  std::lock_guard<std::mutex> lock(state.mutex);
  auto& drops = ExtrasLocked().drops;
  auto it = drops.find(reinterpret_cast<uintptr_t>(drop));
  if (it == drops.end() || !point)
    return FALSE;
  *point = it->second.point;
  return TRUE;
}

void DragFinish(HDROP drop)
{
  auto& state = User();
  std::lock_guard<std::mutex> lock(state.mutex);
  ExtrasLocked().drops.erase(reinterpret_cast<uintptr_t>(drop));
}

// --- 7. Metrics and DPI ------------------------------------------------------------------------

int GetSystemMetrics(int index)
{
  const auto settings = Settings();
  switch (index)
  {
  case SM_CXSCREEN:
  case SM_CXVIRTUALSCREEN: return settings.screen.cx;
  case SM_CYSCREEN:
  case SM_CYVIRTUALSCREEN: return settings.screen.cy;
  case SM_CXCURSOR:
  case SM_CYCURSOR: return 32;
  case SM_MOUSEPRESENT: return 1;
  case SM_CMOUSEBUTTONS: return 3;
  case SM_CXDOUBLECLK:
  case SM_CYDOUBLECLK: return kDoubleClickDistance;
  case SM_CXDRAG:
  case SM_CYDRAG: return 4;
  case SM_DIGITIZER: return settings.digitizer;
  case SM_MAXIMUMTOUCHES: return settings.maximumTouches;
  default: return 0;
  }
}

UINT GetDpiForWindow(HWND hwnd)
{
  auto& state = User();
  std::lock_guard<std::mutex> lock(state.mutex);
  auto window = FindWindowLocked(state, hwnd);
  if (!window)
  {
    SetLastError(ERROR_INVALID_PARAMETER);
    return 0;
  }
  return window->dpi;
}

// --- 8. Injection ------------------------------------------------------------------------------

namespace {

enum class MouseKind
{
  Move,
  Down,
  Up,
  Wheel,
  HorizontalWheel,
};

int ButtonKey(display::Button button)
{
  switch (button)
  {
  case display::Button::Right: return VK_RBUTTON;
  case display::Button::Middle: return VK_MBUTTON;
  default: return VK_LBUTTON;
  }
}

UINT ButtonMessage(int vk, bool down)
{
  switch (vk)
  {
  case VK_RBUTTON: return down ? WM_RBUTTONDOWN : WM_RBUTTONUP;
  case VK_MBUTTON: return down ? WM_MBUTTONDOWN : WM_MBUTTONUP;
  default: return down ? WM_LBUTTONDOWN : WM_LBUTTONUP;
  }
}

void QueueInputLocked(UserState& state, DWORD threadId, InputMessage input)
{
  auto queue = QueueOfLocked(state, threadId);
  if (!queue)
    return;
  if (input.msg.message == WM_MOUSEMOVE && !queue->input.empty())
  {
    // Windows keeps only the latest of consecutive moves to the same window.
    auto& last = queue->input.back();
    if (last.msg.message == WM_MOUSEMOVE && last.msg.hwnd == input.msg.hwnd && last.msg.wParam == input.msg.wParam &&
        last.extraInfo == input.extraInfo)
    {
      last = input;
      queue->wake.notify_all();
      return;
    }
  }
  queue->input.push_back(input);
  queue->wake.notify_all();
}

// Leave and hover bookkeeping for the mouse now being over `under` at `screen`.
void TrackMouseLocked(UserState& state, HWND under, POINT screen)
{
  for (auto& [threadId, queue] : state.queues)
  {
    auto& tracking = queue->tracking;
    if (!tracking.hwnd)
      continue;
    if ((tracking.flags & TME_LEAVE) && under != tracking.hwnd)
    {
      PostToThreadLocked(state, threadId, MakeMessage(tracking.hwnd, WM_MOUSELEAVE, 0, 0));
      tracking = MouseTracking{};
      continue;
    }
    if ((tracking.flags & TME_HOVER) && (std::abs(screen.x - tracking.hoverOrigin.x) > kHoverDistance / 2 ||
                                         std::abs(screen.y - tracking.hoverOrigin.y) > kHoverDistance / 2 ||
                                         under != tracking.hwnd))
    {
      tracking.hoverOrigin = screen;
      tracking.hoverDue = Clock::now() + std::chrono::milliseconds(tracking.hoverTime);
      queue->wake.notify_all();
    }
  }
  state.hoverWindow = under;
}

HWND CaptureForLocked(UserState& state, HWND under, HWND named)
{
  for (HWND candidate : {under, named})
  {
    auto window = FindWindowLocked(state, candidate);
    if (!window)
      continue;
    if (auto queue = QueueOfLocked(state, window->threadId); queue && queue->capture)
      return queue->capture;
  }
  return nullptr;
}

// Queues one mouse message for the mouse at the screen point over `under` (the window that hit
// testing found; NULL when the point is over none of ours).
bool QueueMouseLocked(UserState& state, POINT screen, HWND under, HWND named, MouseKind kind, int buttonVk,
                      ULONG_PTR extraInfo, int wheelDelta)
{
  state.cursorPos = screen;
  if (kind == MouseKind::Down || kind == MouseKind::Up)
    SetKey(state.asyncKeys, buttonVk, kind == MouseKind::Down);
  TrackMouseLocked(state, under, screen);

  const bool wheel = kind == MouseKind::Wheel || kind == MouseKind::HorizontalWheel;
  HWND target = wheel ? under : CaptureForLocked(state, under, named);
  if (!target)
    target = under;
  auto window = FindWindowLocked(state, target);
  if (!window)
    return false;

  InputMessage input;
  input.extraInfo = static_cast<LPARAM>(extraInfo);
  const WPARAM keys = MouseKeys(state.asyncKeys);
  const POINT origin = ScreenOriginLocked(state, *window);
  const LPARAM client = PackPoint(screen.x - origin.x, screen.y - origin.y);
  switch (kind)
  {
  case MouseKind::Move: input.msg = MakeMessage(target, WM_MOUSEMOVE, keys, client); break;
  case MouseKind::Down:
  case MouseKind::Up:
  {
    const bool down = kind == MouseKind::Down;
    UINT message = ButtonMessage(buttonVk, down);
    if (down)
    {
      auto& last = ExtrasLocked().lastClick;
      const DWORD now = GetTickCount();
      const bool doubleClick = (window->cls->style & CS_DBLCLKS) && last.hwnd == target && last.message == message &&
                               now - last.time <= kDoubleClickTime &&
                               std::abs(screen.x - last.screen.x) <= kDoubleClickDistance / 2 &&
                               std::abs(screen.y - last.screen.y) <= kDoubleClickDistance / 2;
      if (doubleClick)
      {
        message += WM_LBUTTONDBLCLK - WM_LBUTTONDOWN;
        last = LastClick{};
      }
      else
        last = LastClick{target, message, now, screen};
    }
    input.msg = MakeMessage(target, message, keys, client);
    input.buttonVk = buttonVk;
    input.buttonDown = down;
    break;
  }
  case MouseKind::Wheel:
  case MouseKind::HorizontalWheel:
    input.msg = MakeMessage(target, kind == MouseKind::Wheel ? WM_MOUSEWHEEL : WM_MOUSEHWHEEL,
                            MAKEWPARAM(keys, static_cast<WORD>(static_cast<SHORT>(wheelDelta))),
                            PackPoint(screen.x, screen.y));
    break;
  }
  QueueInputLocked(state, window->threadId, input);
  return true;
}

bool InjectMouse(HWND hwnd, int x, int y, MouseKind kind, int buttonVk, ULONG_PTR extraInfo, int wheelDelta = 0)
{
  auto& state = User();
  std::lock_guard<std::mutex> lock(state.mutex);
  auto window = FindWindowLocked(state, hwnd);
  if (!window)
    return false;
  const POINT origin = ScreenOriginLocked(state, *window);
  const POINT screen{origin.x + x, origin.y + y};
  HWND under = HitTestLocked(state, hwnd, screen);
  if (!under)
    under = WindowFromPointLocked(state, screen);
  return QueueMouseLocked(state, screen, under, hwnd, kind, buttonVk, extraInfo, wheelDelta);
}

bool InjectKey(HWND hwnd, UINT vk, bool down)
{
  if (vk == 0 || vk > 255)
    return false;
  int sideVk = static_cast<int>(vk);
  if (vk == VK_SHIFT)
    sideVk = VK_LSHIFT;
  else if (vk == VK_CONTROL)
    sideVk = VK_LCONTROL;
  else if (vk == VK_MENU)
    sideVk = VK_LMENU;
  const int generic = GenericKey(sideVk);
  const UINT reported = generic >= 0 ? static_cast<UINT>(generic) : vk;

  auto& state = User();
  std::lock_guard<std::mutex> lock(state.mutex);
  auto window = FindWindowLocked(state, hwnd);
  if (!window)
    return false;
  auto queue = QueueOfLocked(state, window->threadId);
  if (!queue)
    return false;
  const HWND target = queue->focus ? queue->focus : hwnd;

  const bool wasDown = (state.asyncKeys[sideVk] & 0x80) != 0;
  SetKey(state.asyncKeys, sideVk, down);
  const bool alt = (state.asyncKeys[VK_MENU] & 0x80) != 0;
  const bool control = (state.asyncKeys[VK_CONTROL] & 0x80) != 0;
  const bool system = (alt && !control) || reported == VK_MENU || vk == VK_F10;
  const UINT message = system ? (down ? WM_SYSKEYDOWN : WM_SYSKEYUP) : (down ? WM_KEYDOWN : WM_KEYUP);
  const UINT scan = ScanCodeOf(static_cast<UINT>(sideVk));
  const DWORD flags = 1u | (scan << 16) | (IsExtendedKey(static_cast<UINT>(sideVk)) ? 1u << 24 : 0u) |
                      (alt && system ? 1u << 29 : 0u) | (wasDown ? 1u << 30 : 0u) | (down ? 0u : 1u << 31);
  InputMessage input;
  input.msg = MakeMessage(target, message, reported, static_cast<LPARAM>(flags));
  input.keyVk = sideVk;
  input.keyDown = down;
  QueueInputLocked(state, window->threadId, input);
  return true;
}

} // namespace

BOOL SetCursorPos(int x, int y)
{
  const SIZE screen = ScreenSize();
  const POINT point{std::clamp<LONG>(x, 0, screen.cx - 1), std::clamp<LONG>(y, 0, screen.cy - 1)};
  auto& state = User();
  std::lock_guard<std::mutex> lock(state.mutex);
  const HWND under = WindowFromPointLocked(state, point);
  QueueMouseLocked(state, point, under, nullptr, MouseKind::Move, -1, 0, 0);
  return TRUE;
}

namespace win32compat::display {

bool MouseMove(HWND hwnd, int x, int y, ULONG_PTR extraInfo)
{
  return InjectMouse(hwnd, x, y, MouseKind::Move, -1, extraInfo);
}

bool MouseDown(HWND hwnd, int x, int y, Button button, ULONG_PTR extraInfo)
{
  return InjectMouse(hwnd, x, y, MouseKind::Down, ButtonKey(button), extraInfo);
}

bool MouseUp(HWND hwnd, int x, int y, Button button, ULONG_PTR extraInfo)
{
  return InjectMouse(hwnd, x, y, MouseKind::Up, ButtonKey(button), extraInfo);
}

bool Click(HWND hwnd, int x, int y, Button button)
{
  return MouseMove(hwnd, x, y) && MouseDown(hwnd, x, y, button) && MouseUp(hwnd, x, y, button);
}

bool DoubleClick(HWND hwnd, int x, int y, Button button)
{
  return Click(hwnd, x, y, button) && MouseDown(hwnd, x, y, button) && MouseUp(hwnd, x, y, button);
}

bool MouseWheel(HWND hwnd, int x, int y, int delta, bool horizontal)
{
  return InjectMouse(hwnd, x, y, horizontal ? MouseKind::HorizontalWheel : MouseKind::Wheel, -1, 0, delta);
}

bool KeyDown(HWND hwnd, UINT virtualKey)
{
  return InjectKey(hwnd, virtualKey, true);
}

bool KeyUp(HWND hwnd, UINT virtualKey)
{
  return InjectKey(hwnd, virtualKey, false);
}

bool KeyPress(HWND hwnd, UINT virtualKey)
{
  return KeyDown(hwnd, virtualKey) && KeyUp(hwnd, virtualKey);
}

bool TypeText(HWND hwnd, std::wstring_view text)
{
  for (wchar_t c : text)
  {
    UINT vk;
    bool shift;
    if (!KeyForCharacter(c, vk, shift))
      return false;
    const bool shiftHeld = KeyHeld(VK_SHIFT);
    if (shift && !shiftHeld && !KeyDown(hwnd, VK_SHIFT))
      return false;
    const bool typed = KeyPress(hwnd, vk);
    if (shift && !shiftHeld)
      KeyUp(hwnd, VK_SHIFT);
    if (!typed)
      return false;
  }
  return true;
}

bool Touch(HWND hwnd, const std::vector<TouchContact>& contacts)
{
  if (contacts.empty())
    return false;
  auto& state = User();
  std::lock_guard<std::mutex> lock(state.mutex);
  auto named = FindWindowLocked(state, hwnd);
  if (!named)
    return false;
  const POINT origin = ScreenOriginLocked(state, *named);
  const POINT first{origin.x + contacts.front().x, origin.y + contacts.front().y};
  HWND under = HitTestLocked(state, hwnd, first);
  if (!under)
    under = hwnd;
  auto window = FindWindowLocked(state, under);
  if (!window->touch)
  {
    // Not a touch window: the primary contact acts as the left button, marked as touch.
    const auto& c = contacts.front();
    const MouseKind kind = c.phase == TouchContact::Phase::Down ? MouseKind::Down
                           : c.phase == TouchContact::Phase::Up ? MouseKind::Up
                                                                : MouseKind::Move;
    return QueueMouseLocked(state, first, under, hwnd, kind, VK_LBUTTON, kTouchSignature, 0);
  }
  std::vector<TOUCHINPUT> inputs;
  const DWORD now = GetTickCount();
  for (size_t i = 0; i < contacts.size(); ++i)
  {
    const auto& c = contacts[i];
    TOUCHINPUT input{};
    input.x = (origin.x + c.x) * 100;
    input.y = (origin.y + c.y) * 100;
    input.hSource = reinterpret_cast<HANDLE>(1);
    input.dwID = c.id;
    input.dwFlags = c.phase == TouchContact::Phase::Down ? TOUCHEVENTF_DOWN | TOUCHEVENTF_INRANGE
                    : c.phase == TouchContact::Phase::Up ? TOUCHEVENTF_UP
                                                         : TOUCHEVENTF_MOVE | TOUCHEVENTF_INRANGE;
    if (i == 0)
      input.dwFlags |= TOUCHEVENTF_PRIMARY;
    input.dwTime = now;
    if (c.width > 0 || c.height > 0)
    {
      input.dwMask = TOUCHINPUTMASKF_CONTACTAREA;
      input.cxContact = static_cast<DWORD>(std::max(c.width, 0)) * 100;
      input.cyContact = static_cast<DWORD>(std::max(c.height, 0)) * 100;
    }
    inputs.push_back(input);
  }
  auto& extras = ExtrasLocked();
  const uintptr_t handle = extras.nextHandle;
  extras.nextHandle += 4;
  extras.touches.emplace(handle, std::move(inputs));
  InputMessage message;
  message.msg = MakeMessage(under, WM_TOUCH, MAKEWPARAM(contacts.size(), 0), static_cast<LPARAM>(handle));
  QueueInputLocked(state, window->threadId, message);
  return true;
}

bool DropFiles(HWND hwnd, int x, int y, const std::vector<std::wstring>& paths)
{
  auto& state = User();
  std::lock_guard<std::mutex> lock(state.mutex);
  auto named = FindWindowLocked(state, hwnd);
  if (!named || paths.empty())
    return false;
  const POINT origin = ScreenOriginLocked(state, *named);
  const POINT screen{origin.x + x, origin.y + y};
  HWND under = HitTestLocked(state, hwnd, screen);
  auto window = FindWindowLocked(state, under ? under : hwnd);
  while (window && !(window->exStyle & WS_EX_ACCEPTFILES))
    window = FindWindowLocked(state, window->parent);
  if (!window)
    return false;
  const POINT target = ScreenOriginLocked(state, *window);
  auto& extras = ExtrasLocked();
  const uintptr_t handle = extras.nextHandle;
  extras.nextHandle += 4;
  extras.drops.emplace(handle, DropRecord{paths, POINT{screen.x - target.x, screen.y - target.y}});
  return PostToThreadLocked(state, window->threadId,
                            MakeMessage(window->handle, WM_DROPFILES, static_cast<WPARAM>(handle), 0)) != FALSE;
}

int CursorId(HCURSOR cursor)
{
  const auto value = reinterpret_cast<uintptr_t>(cursor);
  for (WORD id : kCursorIds)
    if (value == kCursorBase + id)
      return id;
  return 0;
}

HCURSOR CurrentCursor()
{
  auto& state = User();
  std::lock_guard<std::mutex> lock(state.mutex);
  return state.cursor;
}

bool CursorVisible()
{
  auto& state = User();
  std::lock_guard<std::mutex> lock(state.mutex);
  return state.cursorShowCount >= 0;
}

} // namespace win32compat::display
