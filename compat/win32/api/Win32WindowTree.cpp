// Relations between windows: parents, owners, ancestors, siblings, enumeration and search.

#include "Win32Window.h"

#include "Win32Kernel.h"
#include "Win32Text.h"
#include "Win32UserState.h"

#include <algorithm>

using namespace win32compat;

namespace {

// The desktop window exists once the first class look-up ran; GetDesktopWindow makes sure of it.
HWND Desktop()
{
  auto& state = User();
  {
    std::lock_guard<std::mutex> lock(state.mutex);
    if (state.desktop)
      return state.desktop;
  }
  WNDCLASSW probe;
  GetClassInfoW(nullptr, L"#32769", &probe); // registers the system classes and the desktop
  std::lock_guard<std::mutex> lock(state.mutex);
  return state.desktop;
}

std::vector<HWND> SiblingsLocked(UserState& state, const Window& window)
{
  if (auto parent = FindWindowLocked(state, window.parent))
    return parent->children;
  return state.topLevel;
}

BOOL Enumerate(const std::vector<HWND>& windows, WNDENUMPROC proc, LPARAM lParam)
{
  if (!proc)
  {
    SetLastError(ERROR_INVALID_PARAMETER);
    return FALSE;
  }
  for (HWND hwnd : windows)
  {
    if (!IsWindow(hwnd))
      continue;
    if (!proc(hwnd, lParam))
      return FALSE;
  }
  return TRUE;
}

HWND Find(HWND parent, HWND childAfter, const NameOrAtom* className, const std::wstring* title)
{
  auto& state = User();
  std::lock_guard<std::mutex> lock(state.mutex);
  std::vector<HWND> candidates;
  if (parent && parent != state.desktop && parent != HWND_MESSAGE)
  {
    auto p = CheckWindowLocked(state, parent);
    if (!p)
      return nullptr;
    candidates = p->children;
  }
  else
    candidates = state.topLevel;
  auto it = candidates.begin();
  if (childAfter)
  {
    it = std::find(candidates.begin(), candidates.end(), childAfter);
    if (it == candidates.end())
      return nullptr;
    ++it;
  }
  for (; it != candidates.end(); ++it)
  {
    auto window = FindWindowLocked(state, *it);
    if (!window)
      continue;
    if (className && !(className->atom ? window->cls->atom == className->atom : SameName(window->cls->name, className->name)))
      continue;
    if (title && !SameName(window->title, *title))
      continue;
    return window->handle;
  }
  return nullptr;
}

} // namespace

HWND GetParent(HWND hwnd)
{
  auto& state = User();
  std::lock_guard<std::mutex> lock(state.mutex);
  auto window = CheckWindowLocked(state, hwnd);
  if (!window)
    return nullptr;
  if (window->style & WS_CHILD)
    return window->parent;
  if (window->style & WS_POPUP)
    return window->owner;
  return nullptr;
}

HWND GetAncestor(HWND hwnd, UINT flags)
{
  const HWND desktop = Desktop();
  auto& state = User();
  std::lock_guard<std::mutex> lock(state.mutex);
  auto window = CheckWindowLocked(state, hwnd);
  if (!window || hwnd == desktop)
    return nullptr;
  switch (flags)
  {
  case GA_PARENT:
    return window->parent ? window->parent : desktop;
  case GA_ROOT:
    return RootLocked(state, hwnd);
  case GA_ROOTOWNER:
  {
    HWND root = RootLocked(state, hwnd);
    for (int guard = 0; guard < 1000; ++guard)
    {
      auto r = FindWindowLocked(state, root);
      if (!r || !r->owner)
        break;
      root = RootLocked(state, r->owner);
    }
    return root;
  }
  default:
    SetLastError(ERROR_INVALID_PARAMETER);
    return nullptr;
  }
}

HWND GetWindow(HWND hwnd, UINT command)
{
  auto& state = User();
  std::lock_guard<std::mutex> lock(state.mutex);
  auto window = CheckWindowLocked(state, hwnd);
  if (!window)
    return nullptr;
  switch (command)
  {
  case GW_CHILD: return window->children.empty() ? nullptr : window->children.front();
  case GW_OWNER: return window->owner;
  case GW_HWNDFIRST:
  case GW_HWNDLAST:
  case GW_HWNDNEXT:
  case GW_HWNDPREV:
  {
    const auto siblings = SiblingsLocked(state, *window);
    if (siblings.empty())
      return nullptr;
    if (command == GW_HWNDFIRST)
      return siblings.front();
    if (command == GW_HWNDLAST)
      return siblings.back();
    auto it = std::find(siblings.begin(), siblings.end(), hwnd);
    if (it == siblings.end())
      return nullptr;
    if (command == GW_HWNDNEXT)
      return ++it == siblings.end() ? nullptr : *it;
    return it == siblings.begin() ? nullptr : *(--it);
  }
  default:
    SetLastError(ERROR_INVALID_GW_COMMAND);
    return nullptr;
  }
}

BOOL EnumWindows(WNDENUMPROC enumFunc, LPARAM lParam)
{
  std::vector<HWND> windows;
  {
    auto& state = User();
    std::lock_guard<std::mutex> lock(state.mutex);
    windows = state.topLevel;
  }
  return Enumerate(windows, enumFunc, lParam);
}

HWND FindWindowW(LPCWSTR className, LPCWSTR windowName)
{
  const NameOrAtom cls = className ? NameFrom(className) : NameOrAtom{};
  const std::wstring title = windowName ? windowName : L"";
  return Find(nullptr, nullptr, className ? &cls : nullptr, windowName ? &title : nullptr);
}

int GetDlgCtrlID(HWND hwnd)
{
  auto& state = User();
  std::lock_guard<std::mutex> lock(state.mutex);
  auto window = CheckWindowLocked(state, hwnd);
  return window && (window->style & WS_CHILD) ? static_cast<int>(window->id) : 0;
}
