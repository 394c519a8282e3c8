// Window geometry, z-order, visibility and the enabled state.

#include "Win32Window.h"

#include "Win32Kernel.h"
#include "Win32UserState.h"

#include <algorithm>

using namespace win32compat;

namespace {

LONG Width(const RECT& r)
{
  return r.right - r.left;
}

LONG Height(const RECT& r)
{
  return r.bottom - r.top;
}

// Moves the window within its sibling list; lock held.
void ReorderLocked(UserState& state, Window& window, HWND insertAfter)
{
  auto parent = FindWindowLocked(state, window.parent);
  auto& siblings = parent ? parent->children : state.topLevel;
  std::erase(siblings, window.handle);
  if (insertAfter == HWND_TOPMOST)
    window.exStyle |= WS_EX_TOPMOST;
  else if (insertAfter == HWND_NOTOPMOST)
    window.exStyle &= ~static_cast<DWORD>(WS_EX_TOPMOST);

  auto isTopmost = [&state](HWND h) {
    auto w = FindWindowLocked(state, h);
    return w && (w->exStyle & WS_EX_TOPMOST);
  };
  auto at = siblings.begin();
  if (insertAfter == HWND_BOTTOM)
    at = siblings.end();
  else if (insertAfter != HWND_TOP && insertAfter != HWND_TOPMOST && insertAfter != HWND_NOTOPMOST)
  {
    at = std::find(siblings.begin(), siblings.end(), insertAfter);
    if (at != siblings.end())
      ++at;
  }
  // Among top-level windows the top-most ones stay above the rest.
  if (!parent)
  {
    const bool topmost = (window.exStyle & WS_EX_TOPMOST) != 0;
    if (topmost)
      at = std::min(at, std::find_if_not(siblings.begin(), siblings.end(), isTopmost));
    else
      at = std::max(at, std::find_if_not(siblings.begin(), siblings.end(), isTopmost));
  }
  siblings.insert(at, window.handle);
}

BOOL SetPositionOnOwnThread(HWND hwnd, HWND insertAfter, int x, int y, int cx, int cy, UINT flags)
{
  auto& state = User();
  WINDOWPOS pos{};
  RECT before{};
  {
    std::lock_guard<std::mutex> lock(state.mutex);
    auto window = CheckWindowLocked(state, hwnd);
    if (!window)
      return FALSE;
    before = window->rect;
    pos = WINDOWPOS{hwnd, insertAfter, (flags & SWP_NOMOVE) ? before.left : x, (flags & SWP_NOMOVE) ? before.top : y,
                    (flags & SWP_NOSIZE) ? Width(before) : std::max(cx, 0),
                    (flags & SWP_NOSIZE) ? Height(before) : std::max(cy, 0), flags};
  }
  if (!(flags & SWP_NOSENDCHANGING))
    SendMessageW(hwnd, WM_WINDOWPOSCHANGING, 0, reinterpret_cast<LPARAM>(&pos));

  bool moved = false;
  bool sized = false;
  bool changed = false;
  {
    std::lock_guard<std::mutex> lock(state.mutex);
    auto window = FindWindowLocked(state, hwnd);
    if (!window)
      return FALSE;
    const RECT after{pos.x, pos.y, pos.x + std::max(pos.cx, 0), pos.y + std::max(pos.cy, 0)};
    moved = after.left != before.left || after.top != before.top;
    sized = Width(after) != Width(before) || Height(after) != Height(before);
    window->rect = after;
    if (!(flags & SWP_NOZORDER))
      ReorderLocked(state, *window, pos.hwndInsertAfter);
    const bool wasVisible = (window->style & WS_VISIBLE) != 0;
    if (flags & SWP_SHOWWINDOW)
      window->style |= WS_VISIBLE;
    if (flags & SWP_HIDEWINDOW)
      window->style &= ~static_cast<DWORD>(WS_VISIBLE);
    const bool shown = !wasVisible && (window->style & WS_VISIBLE);
    changed = moved || sized || !(flags & SWP_NOZORDER) || (flags & (SWP_SHOWWINDOW | SWP_HIDEWINDOW | SWP_FRAMECHANGED));

    // The client area now covers what it covers; anything newly exposed needs painting.
    const RECT client{0, 0, Width(after), Height(after)};
    window->update = Region::Combine(window->update, Region(client), Region::Op::And);
    if (!(flags & SWP_NOREDRAW))
    {
      const UINT style = window->cls->style;
      const bool redrawAll = shown || (flags & SWP_FRAMECHANGED) ||
                             ((style & CS_HREDRAW) && Width(after) != Width(before)) ||
                             ((style & CS_VREDRAW) && Height(after) != Height(before));
      if (redrawAll)
        InvalidateLocked(state, *window, nullptr, true);
      else if (sized)
      {
        const Region exposed = Region::Combine(Region(client), Region(RECT{0, 0, Width(before), Height(before)}),
                                               Region::Op::Diff);
        for (const RECT& r : exposed.Rects())
          InvalidateLocked(state, *window, &r, true);
      }
    }
  }
  if (changed)
  {
    pos.flags |= (moved ? 0 : SWP_NOMOVE) | (sized ? 0 : SWP_NOSIZE);
    SendMessageW(hwnd, WM_WINDOWPOSCHANGED, 0, reinterpret_cast<LPARAM>(&pos));
  }
  return TRUE;
}

BOOL ShowOnOwnThread(HWND hwnd, int command)
{
  auto& state = User();
  bool wasVisible;
  {
    std::lock_guard<std::mutex> lock(state.mutex);
    auto window = CheckWindowLocked(state, hwnd);
    if (!window)
      return FALSE;
    wasVisible = (window->style & WS_VISIBLE) != 0;
  }
  const bool show = command != SW_HIDE;
  if (show == wasVisible)
    return wasVisible ? TRUE : FALSE;
  SendMessageW(hwnd, WM_SHOWWINDOW, show ? TRUE : FALSE, 0);
  {
    std::lock_guard<std::mutex> lock(state.mutex);
    auto window = FindWindowLocked(state, hwnd);
    if (!window)
      return wasVisible ? TRUE : FALSE;
    if (show)
    {
      window->style |= WS_VISIBLE;
      InvalidateLocked(state, *window, nullptr, true);
    }
    else
    {
      window->style &= ~static_cast<DWORD>(WS_VISIBLE);
      window->update = Region();
    }
  }
  return wasVisible ? TRUE : FALSE;
}

} // namespace

BOOL GetWindowRect(HWND hwnd, LPRECT rect)
{
  auto& state = User();
  std::lock_guard<std::mutex> lock(state.mutex);
  auto window = CheckWindowLocked(state, hwnd);
  if (!window || !rect)
  {
    if (window)
      SetLastError(ERROR_INVALID_PARAMETER);
    return FALSE;
  }
  const POINT origin = ScreenOriginLocked(state, *window);
  *rect = RECT{origin.x, origin.y, origin.x + Width(window->rect), origin.y + Height(window->rect)};
  return TRUE;
}

BOOL GetClientRect(HWND hwnd, LPRECT rect)
{
  auto& state = User();
  std::lock_guard<std::mutex> lock(state.mutex);
  auto window = CheckWindowLocked(state, hwnd);
  if (!window || !rect)
  {
    if (window)
      SetLastError(ERROR_INVALID_PARAMETER);
    return FALSE;
  }
  *rect = RECT{0, 0, Width(window->rect), Height(window->rect)};
  return TRUE;
}

BOOL ClientToScreen(HWND hwnd, LPPOINT point)
{
  auto& state = User();
  std::lock_guard<std::mutex> lock(state.mutex);
  auto window = CheckWindowLocked(state, hwnd);
  if (!window || !point)
    return FALSE;
  const POINT origin = ScreenOriginLocked(state, *window);
  point->x += origin.x;
  point->y += origin.y;
  return TRUE;
}

BOOL ScreenToClient(HWND hwnd, LPPOINT point)
{
  auto& state = User();
  std::lock_guard<std::mutex> lock(state.mutex);
  auto window = CheckWindowLocked(state, hwnd);
  if (!window || !point)
    return FALSE;
  const POINT origin = ScreenOriginLocked(state, *window);
  point->x -= origin.x;
  point->y -= origin.y;
  return TRUE;
}

BOOL AdjustWindowRectEx(LPRECT rect, DWORD, BOOL, DWORD)
{
  return rect ? TRUE : FALSE;
}

BOOL SetWindowPos(HWND hwnd, HWND insertAfter, int x, int y, int cx, int cy, UINT flags)
{
  if (!IsWindow(hwnd))
  {
    SetLastError(ERROR_INVALID_WINDOW_HANDLE);
    return FALSE;
  }
  return static_cast<BOOL>(RunOnWindowThread(hwnd, [=] {
    return static_cast<LRESULT>(SetPositionOnOwnThread(hwnd, insertAfter, x, y, cx, cy, flags));
  }));
}

BOOL ShowWindow(HWND hwnd, int command)
{
  if (!IsWindow(hwnd))
  {
    SetLastError(ERROR_INVALID_WINDOW_HANDLE);
    return FALSE;
  }
  return static_cast<BOOL>(RunOnWindowThread(hwnd, [=] { return static_cast<LRESULT>(ShowOnOwnThread(hwnd, command)); }));
}

BOOL IsWindowVisible(HWND hwnd)
{
  auto& state = User();
  std::lock_guard<std::mutex> lock(state.mutex);
  auto window = FindWindowLocked(state, hwnd);
  return window && VisibleLocked(state, *window) ? TRUE : FALSE;
}

BOOL EnableWindow(HWND hwnd, BOOL enable)
{
  bool wasDisabled;
  {
    auto& state = User();
    std::lock_guard<std::mutex> lock(state.mutex);
    auto window = CheckWindowLocked(state, hwnd);
    if (!window)
      return FALSE;
    wasDisabled = (window->style & WS_DISABLED) != 0;
    if (wasDisabled == !enable)
      return wasDisabled ? TRUE : FALSE;
    if (enable)
      window->style &= ~static_cast<DWORD>(WS_DISABLED);
    else
      window->style |= WS_DISABLED;
  }
  SendMessageW(hwnd, WM_ENABLE, enable ? TRUE : FALSE, 0);
  return wasDisabled ? TRUE : FALSE;
}

BOOL IsWindowEnabled(HWND hwnd)
{
  auto& state = User();
  std::lock_guard<std::mutex> lock(state.mutex);
  auto window = FindWindowLocked(state, hwnd);
  return window && !(window->style & WS_DISABLED) ? TRUE : FALSE;
}
