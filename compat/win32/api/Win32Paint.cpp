// Update regions, the paint cycle and the WM_PAINT that the queues generate.

#include "Win32Paint.h"

#include "Win32GdiState.h"
#include "Win32Kernel.h"
#include "Win32UserState.h"

using namespace win32compat;

namespace {

enum class Children { ByStyle, All, None };

void WakeOwnerLocked(UserState& state, const Window& window)
{
  if (auto queue = QueueOfLocked(state, window.threadId))
    queue->wake.notify_all();
}

// Adds the area (client coordinates) to the window's update region and, as the children rule
// says, to the children's.
void InvalidateAreaLocked(UserState& state, Window& window, const Region& area, bool erase, Children children)
{
  if (!VisibleLocked(state, window))
    return;
  const RECT client{0, 0, window.rect.right - window.rect.left, window.rect.bottom - window.rect.top};
  const Region clipped = Region::Combine(area, Region(client), Region::Op::And);
  if (clipped.Empty())
    return;
  window.update = Region::Combine(window.update, clipped, Region::Op::Or);
  window.erase = window.erase || erase;
  WakeOwnerLocked(state, window);

  const bool intoChildren =
      children == Children::All || (children == Children::ByStyle && !(window.style & WS_CLIPCHILDREN));
  if (!intoChildren)
    return;
  for (HWND handle : window.children)
  {
    auto child = FindWindowLocked(state, handle);
    if (!child)
      continue;
    Region inChild = clipped;
    inChild.Offset(-child->rect.left, -child->rect.top);
    InvalidateAreaLocked(state, *child, inChild, erase, children);
  }
}

void ValidateAreaLocked(Window& window, const Region* area)
{
  window.update = area ? Region::Combine(window.update, *area, Region::Op::Diff) : Region();
  if (window.update.Empty())
    window.erase = false;
}

Region AreaFrom(const Window& window, const RECT* rect)
{
  return rect ? Region(*rect) : Region(RECT{0, 0, window.rect.right - window.rect.left, window.rect.bottom - window.rect.top});
}

} // namespace

namespace win32compat {

void InvalidateLocked(UserState& state, Window& window, const RECT* rect, bool erase)
{
  InvalidateAreaLocked(state, window, AreaFrom(window, rect), erase, Children::ByStyle);
}

HWND NextWindowToPaintLocked(UserState& state, const ThreadQueue& queue, HWND filterWindow)
{
  for (auto& [value, window] : state.windows)
  {
    if (window->threadId != queue.threadId || window->update.Empty())
      continue;
    if (filterWindow && window->handle != filterWindow)
      continue;
    if (VisibleLocked(state, *window))
      return window->handle;
  }
  return nullptr;
}

} // namespace win32compat

BOOL InvalidateRect(HWND hwnd, const RECT* rect, BOOL erase)
{
  auto& state = User();
  std::lock_guard<std::mutex> lock(state.mutex);
  auto window = CheckWindowLocked(state, hwnd);
  if (!window)
    return FALSE;
  InvalidateAreaLocked(state, *window, AreaFrom(*window, rect), erase != FALSE, Children::ByStyle);
  return TRUE;
}

BOOL ValidateRect(HWND hwnd, const RECT* rect)
{
  auto& state = User();
  std::lock_guard<std::mutex> lock(state.mutex);
  auto window = CheckWindowLocked(state, hwnd);
  if (!window)
    return FALSE;
  const Region area = rect ? Region(*rect) : Region();
  ValidateAreaLocked(*window, rect ? &area : nullptr);
  return TRUE;
}

BOOL GetUpdateRect(HWND hwnd, LPRECT rect, BOOL)
{
  auto& state = User();
  std::lock_guard<std::mutex> lock(state.mutex);
  auto window = CheckWindowLocked(state, hwnd);
  if (!window)
    return FALSE;
  if (rect)
    *rect = window->update.Bounds();
  return window->update.Empty() ? FALSE : TRUE;
}

int GetUpdateRgn(HWND hwnd, HRGN handle, BOOL)
{
  Region update;
  {
    auto& state = User();
    std::lock_guard<std::mutex> lock(state.mutex);
    auto window = CheckWindowLocked(state, hwnd);
    if (!window)
      return ERROR;
    update = window->update;
  }
  std::lock_guard<std::mutex> lock(GdiMutex());
  auto* region = FindGdiLocked<RegionObject>(handle, OBJ_REGION);
  if (!region)
    return ERROR;
  region->region = update;
  return update.Kind();
}

HDC BeginPaint(HWND hwnd, LPPAINTSTRUCT paint)
{
  if (!paint)
    return nullptr;
  bool erase;
  RECT bounds;
  {
    auto& state = User();
    std::lock_guard<std::mutex> lock(state.mutex);
    auto window = CheckWindowLocked(state, hwnd);
    if (!window)
      return nullptr;
    if (window->threadId != GetCurrentThreadId())
    {
      SetLastError(ERROR_WINDOW_OF_OTHER_THREAD);
      return nullptr;
    }
    erase = window->erase;
    bounds = window->update.Bounds();
    window->update = Region();
    window->erase = false;
  }
  const HDC dc = GetDC(hwnd);
  *paint = PAINTSTRUCT{};
  paint->hdc = dc;
  paint->rcPaint = bounds;
  if (erase)
    paint->fErase = SendMessageW(hwnd, WM_ERASEBKGND, reinterpret_cast<WPARAM>(dc), 0) ? FALSE : TRUE;
  return dc;
}

BOOL EndPaint(HWND hwnd, const PAINTSTRUCT* paint)
{
  return IsWindow(hwnd) && paint ? TRUE : FALSE;
}

BOOL UpdateWindow(HWND hwnd)
{
  bool needed;
  {
    auto& state = User();
    std::lock_guard<std::mutex> lock(state.mutex);
    auto window = CheckWindowLocked(state, hwnd);
    if (!window)
      return FALSE;
    needed = !window->update.Empty() && VisibleLocked(state, *window);
  }
  if (needed)
    SendMessageW(hwnd, WM_PAINT, 0, 0);
  return TRUE;
}
