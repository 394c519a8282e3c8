// Window classes, window creation and destruction, and the look-ups the rest of user32 shares.
//
// Index:
//   1. Look-ups and coordinates
//   2. Classes
//   3. Creation
//   4. Destruction

#include "Win32Window.h"

#include "Win32DisplayState.h"
#include "Win32Input.h"
#include "Win32Kernel.h"
#include "Win32LiveObjects.h"
#include "Win32Module.h"
#include "Win32SystemClasses.h"
#include "Win32Text.h"
#include "Win32UserState.h"

#include <algorithm>

namespace win32compat {

// --- 1. Look-ups and coordinates ---------------------------------------------------------------

std::shared_ptr<Window> FindWindowLocked(UserState& state, HWND hwnd)
{
  auto it = state.windows.find(reinterpret_cast<uintptr_t>(hwnd));
  return it == state.windows.end() ? nullptr : it->second;
}

std::shared_ptr<Window> CheckWindowLocked(UserState& state, HWND hwnd)
{
  auto window = FindWindowLocked(state, hwnd);
  if (!window)
    SetLastError(ERROR_INVALID_WINDOW_HANDLE);
  return window;
}

POINT ScreenOriginLocked(UserState& state, const Window& window)
{
  POINT origin{window.rect.left, window.rect.top};
  for (HWND p = window.parent; p;)
  {
    auto parent = FindWindowLocked(state, p);
    if (!parent)
      break;
    origin.x += parent->rect.left;
    origin.y += parent->rect.top;
    p = parent->parent;
  }
  return origin;
}

bool VisibleLocked(UserState& state, const Window& window)
{
  if (!(window.style & WS_VISIBLE))
    return false;
  for (HWND p = window.parent; p;)
  {
    auto parent = FindWindowLocked(state, p);
    if (!parent || !(parent->style & WS_VISIBLE))
      return false;
    p = parent->parent;
  }
  return true;
}

HWND RootLocked(UserState& state, HWND hwnd)
{
  auto window = FindWindowLocked(state, hwnd);
  while (window && window->parent)
  {
    auto parent = FindWindowLocked(state, window->parent);
    if (!parent)
      break;
    window = parent;
  }
  return window ? window->handle : nullptr;
}

bool IsDescendantLocked(UserState& state, HWND ancestor, HWND hwnd)
{
  for (auto window = FindWindowLocked(state, hwnd); window; window = FindWindowLocked(state, window->parent))
    if (window->handle == ancestor)
      return true;
  return false;
}

namespace {

bool ContainsPoint(const RECT& r, POINT p)
{
  return p.x >= r.left && p.x < r.right && p.y >= r.top && p.y < r.bottom;
}

RECT ScreenRectLocked(UserState& state, const Window& window)
{
  const POINT origin = ScreenOriginLocked(state, window);
  return RECT{origin.x, origin.y, origin.x + (window.rect.right - window.rect.left),
              origin.y + (window.rect.bottom - window.rect.top)};
}

} // namespace

HWND HitTestLocked(UserState& state, HWND root, POINT screen)
{
  auto window = FindWindowLocked(state, root);
  if (!window || !VisibleLocked(state, *window) || !ContainsPoint(ScreenRectLocked(state, *window), screen))
    return nullptr;
  for (HWND child : window->children)
  {
    auto c = FindWindowLocked(state, child);
    if (!c || !(c->style & WS_VISIBLE) || (c->style & WS_DISABLED))
      continue;
    if (HWND hit = HitTestLocked(state, child, screen))
      return hit;
  }
  return root;
}

HWND WindowFromPointLocked(UserState& state, POINT screen)
{
  for (HWND top : state.topLevel)
  {
    auto window = FindWindowLocked(state, top);
    if (window && !(window->style & WS_DISABLED))
      if (HWND hit = HitTestLocked(state, top, screen))
        return hit;
  }
  return nullptr;
}

// --- 2. Classes --------------------------------------------------------------------------------

namespace {

HINSTANCE InstanceOrProcess(HINSTANCE instance)
{
  return instance ? instance : GetModuleHandleW(nullptr);
}

void EnsureSystemClassesLocked(UserState& state);

std::shared_ptr<WindowClass> FindClassLocked(UserState& state, const NameOrAtom& name, HINSTANCE instance)
{
  EnsureSystemClassesLocked(state);
  instance = InstanceOrProcess(instance);
  auto matches = [&name](const WindowClass& c) { return name.atom ? c.atom == name.atom : SameName(c.name, name.name); };
  for (auto& c : state.classes)
    if (!c->system && !(c->style & CS_GLOBALCLASS) && c->instance == instance && matches(*c))
      return c;
  for (auto& c : state.classes)
    if (!c->system && (c->style & CS_GLOBALCLASS) && matches(*c))
      return c;
  for (auto& c : state.classes)
    if (c->system && matches(*c))
      return c;
  return nullptr;
}

ATOM AddClassLocked(UserState& state, WindowClass cls)
{
  if (!cls.proc || (cls.name.empty()) || cls.clsExtra < 0 || cls.wndExtra < 0 || cls.wndExtra > 40000)
  {
    SetLastError(ERROR_INVALID_PARAMETER);
    return 0;
  }
  for (auto& c : state.classes)
  {
    const bool sameScope = c->system == cls.system &&
                           (cls.system || (cls.style & CS_GLOBALCLASS) ? true : c->instance == cls.instance);
    if (sameScope && SameName(c->name, cls.name))
    {
      SetLastError(ERROR_CLASS_ALREADY_EXISTS);
      return 0;
    }
  }
  cls.atom = state.nextAtom++;
  state.procForms[reinterpret_cast<void*>(cls.proc)] = cls.unicode;
  state.classes.push_back(std::make_shared<WindowClass>(std::move(cls)));
  return state.classes.back()->atom;
}

void EnsureSystemClassesLocked(UserState& state)
{
  if (state.desktop)
    return;
  // The desktop window stands for the screen; it belongs to no thread of ours.
  auto desktopClass = std::make_shared<WindowClass>();
  desktopClass->name = L"#32769";
  desktopClass->proc = DefWindowProcW;
  desktopClass->system = true;
  desktopClass->atom = state.nextAtom++;
  desktopClass->windows = 1;
  state.classes.push_back(desktopClass);
  auto desktop = std::make_shared<Window>();
  desktop->handle = reinterpret_cast<HWND>(state.nextHandle);
  state.nextHandle += 0x10;
  desktop->cls = desktopClass;
  desktop->style = WS_POPUP | WS_VISIBLE | WS_CLIPCHILDREN;
  desktop->proc = DefWindowProcW;
  const SIZE screen = ScreenSize();
  desktop->rect = RECT{0, 0, screen.cx, screen.cy};
  state.windows[reinterpret_cast<uintptr_t>(desktop->handle)] = desktop;
  state.desktop = desktop->handle;

  const struct
  {
    const wchar_t* name;
    WNDPROC proc;
    UINT style;
    LPCWSTR cursor;
  } systemClasses[] = {
      {L"Edit", EditWindowProc, CS_DBLCLKS | CS_PARENTDC, MAKEINTRESOURCEW(32513)},
      {L"#32770", DialogWindowProc, CS_DBLCLKS | CS_SAVEBITS, MAKEINTRESOURCEW(32512)},
  };
  for (const auto& system : systemClasses)
  {
    WindowClass cls;
    cls.name = system.name;
    cls.proc = system.proc;
    cls.style = system.style | CS_GLOBALCLASS;
    cls.cursor = LoadCursorW(nullptr, system.cursor);
    cls.system = true;
    AddClassLocked(state, std::move(cls));
  }
}

template <typename Wc>
WindowClass ClassFrom(const Wc& wc, std::wstring name, std::wstring menuName, bool unicode)
{
  WindowClass cls;
  cls.name = std::move(name);
  cls.menuName = std::move(menuName);
  cls.instance = InstanceOrProcess(wc.hInstance);
  cls.style = wc.style;
  cls.proc = wc.lpfnWndProc;
  cls.unicode = unicode;
  cls.clsExtra = wc.cbClsExtra;
  cls.wndExtra = wc.cbWndExtra;
  cls.icon = wc.hIcon;
  cls.cursor = wc.hCursor;
  cls.background = wc.hbrBackground;
  return cls;
}

ATOM Register(WindowClass cls)
{
  auto& state = User();
  std::lock_guard<std::mutex> lock(state.mutex);
  EnsureSystemClassesLocked(state);
  return AddClassLocked(state, std::move(cls));
}

std::wstring MenuNameOf(LPCWSTR name)
{
  return name && !IS_INTRESOURCE(name) ? std::wstring(name) : std::wstring();
}

std::wstring MenuNameOf(LPCSTR name)
{
  return name && !IS_INTRESOURCE(name) ? Widen(name) : std::wstring();
}

// Class names given to RegisterClass are texts; an atom or NULL there is refused.
template <typename Char>
bool ValidClassName(const Char* name)
{
  return name && !IS_INTRESOURCE(name) && name[0] != 0;
}

BOOL Unregister(const NameOrAtom& name, HINSTANCE instance)
{
  auto& state = User();
  std::lock_guard<std::mutex> lock(state.mutex);
  auto cls = FindClassLocked(state, name, instance);
  if (!cls || cls->system)
  {
    SetLastError(ERROR_CLASS_DOES_NOT_EXIST);
    return FALSE;
  }
  if (cls->windows > 0)
  {
    SetLastError(ERROR_CLASS_HAS_WINDOWS);
    return FALSE;
  }
  std::erase(state.classes, cls);
  return TRUE;
}

std::shared_ptr<WindowClass> ClassCopy(const NameOrAtom& name, HINSTANCE instance)
{
  auto& state = User();
  std::lock_guard<std::mutex> lock(state.mutex);
  auto cls = FindClassLocked(state, name, instance);
  if (!cls)
  {
    SetLastError(ERROR_CLASS_DOES_NOT_EXIST);
    return nullptr;
  }
  return std::make_shared<WindowClass>(*cls);
}

template <typename Wc>
void FillClassInfo(const WindowClass& cls, Wc& wc)
{
  wc.style = cls.style;
  wc.lpfnWndProc = cls.proc;
  wc.cbClsExtra = cls.clsExtra;
  wc.cbWndExtra = cls.wndExtra;
  wc.hInstance = cls.system ? nullptr : cls.instance;
  wc.hIcon = cls.icon;
  wc.hCursor = cls.cursor;
  wc.hbrBackground = cls.background;
  wc.lpszMenuName = nullptr;
}

} // namespace

void RegisterSystemClass(const wchar_t* name, WNDPROC proc, UINT style, int wndExtra, HCURSOR cursor)
{
  auto& state = User();
  std::lock_guard<std::mutex> lock(state.mutex);
  EnsureSystemClassesLocked(state);
  for (auto& c : state.classes)
    if (c->system && SameName(c->name, name))
      return;
  WindowClass cls;
  cls.name = name;
  cls.proc = proc;
  cls.style = style | CS_GLOBALCLASS;
  cls.wndExtra = wndExtra;
  cls.cursor = cursor;
  cls.system = true;
  AddClassLocked(state, std::move(cls));
}

} // namespace win32compat

using namespace win32compat;

ATOM RegisterClassA(const WNDCLASSA* wc)
{
  if (!wc || !ValidClassName(wc->lpszClassName))
  {
    SetLastError(ERROR_INVALID_PARAMETER);
    return 0;
  }
  return Register(ClassFrom(*wc, Widen(wc->lpszClassName), MenuNameOf(wc->lpszMenuName), false));
}

ATOM RegisterClassW(const WNDCLASSW* wc)
{
  if (!wc || !ValidClassName(wc->lpszClassName))
  {
    SetLastError(ERROR_INVALID_PARAMETER);
    return 0;
  }
  return Register(ClassFrom(*wc, wc->lpszClassName, MenuNameOf(wc->lpszMenuName), true));
}

BOOL UnregisterClassW(LPCWSTR className, HINSTANCE instance)
{
  if (!className)
  {
    SetLastError(ERROR_CLASS_DOES_NOT_EXIST);
    return FALSE;
  }
  return Unregister(NameFrom(className), instance);
}

BOOL GetClassInfoW(HINSTANCE instance, LPCWSTR className, LPWNDCLASSW wc)
{
  auto cls = className && wc ? ClassCopy(NameFrom(className), instance) : nullptr;
  if (!cls)
    return FALSE;
  FillClassInfo(*cls, *wc);
  wc->lpszClassName = className;
  return cls->atom;
}

namespace {

std::shared_ptr<WindowClass> ClassOfWindow(HWND hwnd)
{
  auto& state = User();
  std::lock_guard<std::mutex> lock(state.mutex);
  auto window = CheckWindowLocked(state, hwnd);
  return window ? window->cls : nullptr;
}

} // namespace

int GetClassNameW(HWND hwnd, LPWSTR name, int maxCount)
{
  auto cls = ClassOfWindow(hwnd);
  return cls ? CopyOut(cls->name, name, maxCount) : 0;
}

// --- 3. Creation -------------------------------------------------------------------------------

namespace {

struct CreateRequest
{
  DWORD exStyle;
  NameOrAtom className;
  std::wstring title;
  DWORD style;
  int x, y, width, height;
  HWND parent;
  HMENU menu;
  HINSTANCE instance;
  LPVOID param;
  bool unicode;
  // The caller's own texts, handed on in the CREATESTRUCT of the caller's form.
  const void* classArgument;
  const void* titleArgument;
};

HWND Create(CreateRequest request)
{
  auto& state = User();
  std::unique_lock<std::mutex> lock(state.mutex);
  auto cls = FindClassLocked(state, request.className, request.instance);
  if (!cls)
  {
    SetLastError(ERROR_CANNOT_FIND_WND_CLASS);
    return nullptr;
  }
  const DWORD self = CurrentQueueLocked(state)->threadId;

  HWND parent = nullptr;
  HWND owner = nullptr;
  const bool child = (request.style & WS_CHILD) != 0;
  if (request.parent == HWND_MESSAGE || request.parent == state.desktop)
    request.parent = nullptr;
  if (child)
  {
    if (!request.parent)
    {
      SetLastError(ERROR_TLW_WITH_WSCHILD);
      return nullptr;
    }
    if (!CheckWindowLocked(state, request.parent))
      return nullptr;
    parent = request.parent;
  }
  else if (request.parent)
  {
    if (!CheckWindowLocked(state, request.parent))
      return nullptr;
    owner = RootLocked(state, request.parent);
  }

  const bool overlapped = !child && !(request.style & WS_POPUP);
  if (request.x == CW_USEDEFAULT)
    request.x = request.y = 0;
  if (request.width == CW_USEDEFAULT)
  {
    request.width = overlapped ? 800 : 0;
    request.height = overlapped ? 600 : 0;
  }
  request.width = std::max(request.width, 0);
  request.height = std::max(request.height, 0);

  auto window = std::make_shared<Window>();
  window->handle = reinterpret_cast<HWND>(state.nextHandle);
  state.nextHandle += 0x10;
  window->threadId = self;
  window->cls = cls;
  window->style = request.style & ~static_cast<DWORD>(WS_VISIBLE);
  window->exStyle = request.exStyle;
  window->parent = parent;
  window->owner = owner;
  window->rect = RECT{request.x, request.y, request.x + request.width, request.y + request.height};
  window->proc = cls->proc;
  window->unicode = cls->unicode;
  window->id = child ? reinterpret_cast<LONG_PTR>(request.menu) : 0;
  window->instance = request.instance;
  window->extra.assign(static_cast<size_t>(cls->wndExtra), 0);
  // A top-level window without owner keeps the default 96.
  if (auto p = FindWindowLocked(state, parent ? parent : owner))
    window->dpi = p->dpi;
  ++cls->windows;
  state.windows[reinterpret_cast<uintptr_t>(window->handle)] = window;
  if (parent)
  {
    auto p = FindWindowLocked(state, parent);
    p->children.insert(p->children.begin(), window->handle);
  }
  else
  {
    // Top-most windows stay above the others.
    auto at = state.topLevel.begin();
    if (!(request.exStyle & WS_EX_TOPMOST))
      while (at != state.topLevel.end())
      {
        auto other = FindWindowLocked(state, *at);
        if (!other || !(other->exStyle & WS_EX_TOPMOST))
          break;
        ++at;
      }
    state.topLevel.insert(at, window->handle);
  }
  const HWND hwnd = window->handle;
  lock.unlock();

  CREATESTRUCTW csw{request.param, request.instance, request.menu, request.parent, request.height, request.width,
                    request.y, request.x, static_cast<LONG>(request.style),
                    static_cast<LPCWSTR>(request.titleArgument), static_cast<LPCWSTR>(request.classArgument),
                    request.exStyle};
  CREATESTRUCTA csa{request.param, request.instance, request.menu, request.parent, request.height, request.width,
                    request.y, request.x, static_cast<LONG>(request.style),
                    static_cast<LPCSTR>(request.titleArgument), static_cast<LPCSTR>(request.classArgument),
                    request.exStyle};
  const LPARAM cs = request.unicode ? reinterpret_cast<LPARAM>(&csw) : reinterpret_cast<LPARAM>(&csa);

  if (!CallWindowDirect(hwnd, WM_NCCREATE, 0, cs, request.unicode))
  {
    DestroyWithoutDestroyMessage(hwnd);
    return nullptr;
  }
  if (CallWindowDirect(hwnd, WM_CREATE, 0, cs, request.unicode) == -1)
  {
    DestroyWindow(hwnd);
    return nullptr;
  }
  if (!IsWindow(hwnd))
    return nullptr;
  CallWindowDirect(hwnd, WM_SIZE, SIZE_RESTORED, MAKELPARAM(request.width, request.height), true);
  CallWindowDirect(hwnd, WM_MOVE, 0, MAKELPARAM(request.x, request.y), true);
  if (child && !(request.exStyle & WS_EX_NOPARENTNOTIFY))
    SendMessageW(parent, WM_PARENTNOTIFY, MAKEWPARAM(WM_CREATE, LOWORD(reinterpret_cast<ULONG_PTR>(request.menu))),
                 reinterpret_cast<LPARAM>(hwnd));
  if (request.style & WS_VISIBLE)
    ShowWindow(hwnd, SW_SHOW);
  return IsWindow(hwnd) ? hwnd : nullptr;
}

} // namespace

HWND CreateWindowExA(DWORD exStyle, LPCSTR className, LPCSTR windowName, DWORD style, int x, int y, int width,
                     int height, HWND parent, HMENU menu, HINSTANCE instance, LPVOID param)
{
  if (!className)
  {
    SetLastError(ERROR_CANNOT_FIND_WND_CLASS);
    return nullptr;
  }
  return Create({exStyle, NameFrom(className), WidenZ(windowName), style, x, y, width, height, parent, menu, instance,
                 param, false, className, windowName});
}

HWND CreateWindowExW(DWORD exStyle, LPCWSTR className, LPCWSTR windowName, DWORD style, int x, int y, int width,
                     int height, HWND parent, HMENU menu, HINSTANCE instance, LPVOID param)
{
  if (!className)
  {
    SetLastError(ERROR_CANNOT_FIND_WND_CLASS);
    return nullptr;
  }
  return Create({exStyle, NameFrom(className), windowName ? windowName : L"", style, x, y, width, height, parent, menu,
                 instance, param, true, className, windowName});
}

// --- 4. Destruction ----------------------------------------------------------------------------

namespace win32compat {

namespace {

// Takes the window out of every structure; its handle is invalid afterwards.
void RemoveWindow(HWND hwnd)
{
  auto& state = User();
  {
    std::lock_guard<std::mutex> lock(state.mutex);
    auto window = FindWindowLocked(state, hwnd);
    if (!window)
      return;
    if (auto parent = FindWindowLocked(state, window->parent))
      std::erase(parent->children, hwnd);
    std::erase(state.topLevel, hwnd);
    for (auto& [key, other] : state.windows)
    {
      if (other->owner == hwnd)
        other->owner = nullptr;
      if (other->parent == hwnd) // a child that could not be destroyed with it becomes top-level
      {
        other->parent = nullptr;
        state.topLevel.push_back(other->handle);
      }
    }
    --window->cls->windows;
    std::erase_if(state.timers, [hwnd](const TimerRecord& t) { return t.hwnd == hwnd; });
    if (auto queue = QueueOfLocked(state, window->threadId))
    {
      std::erase_if(queue->posted, [hwnd](const MSG& m) { return m.hwnd == hwnd; });
      std::erase_if(queue->input, [hwnd](const InputMessage& m) { return m.msg.hwnd == hwnd; });
      if (queue->tracking.hwnd == hwnd)
        queue->tracking = MouseTracking{};
      if (queue->focus == hwnd)
        queue->focus = nullptr;
      if (queue->capture == hwnd)
        queue->capture = nullptr;
    }
    if (state.hoverWindow == hwnd)
      state.hoverWindow = nullptr;
    state.windows.erase(reinterpret_cast<uintptr_t>(hwnd));
  }
  ReleaseWindowResources(hwnd);
}

void Destroy(HWND hwnd, bool sendDestroy);

void DestroyTree(HWND hwnd, bool sendDestroy)
{
  if (sendDestroy)
    CallWindowDirect(hwnd, WM_DESTROY, 0, 0, true);
  std::vector<HWND> children;
  {
    auto& state = User();
    std::lock_guard<std::mutex> lock(state.mutex);
    if (auto window = FindWindowLocked(state, hwnd))
      children = window->children;
  }
  const DWORD self = GetCurrentThreadId();
  for (HWND child : children)
  {
    DWORD owner = 0;
    {
      auto& state = User();
      std::lock_guard<std::mutex> lock(state.mutex);
      if (auto c = FindWindowLocked(state, child))
        owner = c->threadId;
    }
    if (owner == self)
      DestroyTree(child, true);
    else if (owner != 0)
      RunOnWindowThread(child, [child] { return static_cast<LRESULT>(DestroyWindow(child)); });
  }
  CallWindowDirect(hwnd, WM_NCDESTROY, 0, 0, true);
  RemoveWindow(hwnd);
}

void Destroy(HWND hwnd, bool sendDestroy)
{
  auto& state = User();
  std::vector<HWND> owned;
  std::vector<PendingMessage> pending;
  {
    std::lock_guard<std::mutex> lock(state.mutex);
    auto window = FindWindowLocked(state, hwnd);
    if (!window || window->destroying)
      return;
    window->destroying = true;
    for (auto& [key, other] : state.windows)
      if (other->owner == hwnd && !other->destroying)
        owned.push_back(other->handle);
  }
  for (HWND o : owned)
    RunOnWindowThread(o, [o] { return static_cast<LRESULT>(DestroyWindow(o)); });
  {
    std::lock_guard<std::mutex> lock(state.mutex);
    auto window = FindWindowLocked(state, hwnd);
    if (!window)
      return;
    pending = ReleaseInputOfLocked(state, hwnd);
    window->style &= ~static_cast<DWORD>(WS_VISIBLE);
    window->update = Region();
  }
  for (const auto& p : pending)
    SendMessageW(p.hwnd, p.message, p.wParam, p.lParam);
  DestroyTree(hwnd, sendDestroy);
}

} // namespace

void DestroyWithoutDestroyMessage(HWND hwnd)
{
  Destroy(hwnd, false);
}

size_t LiveWindows()
{
  auto& state = User();
  std::lock_guard<std::mutex> lock(state.mutex);
  return state.windows.size() - (state.desktop ? 1 : 0);
}

void DropThreadWindows(DWORD threadId)
{
  std::vector<HWND> dropped;
  {
    auto& state = User();
    std::lock_guard<std::mutex> lock(state.mutex);
    for (auto& [key, window] : state.windows)
      if (window->threadId == threadId && window->threadId != 0)
        dropped.push_back(window->handle);
  }
  for (HWND hwnd : dropped)
    RemoveWindow(hwnd);
}

} // namespace win32compat

BOOL DestroyWindow(HWND hwnd)
{
  {
    auto& state = User();
    std::lock_guard<std::mutex> lock(state.mutex);
    auto window = CheckWindowLocked(state, hwnd);
    if (!window)
      return FALSE;
    if (window->threadId != GetCurrentThreadId())
    {
      SetLastError(ERROR_ACCESS_DENIED);
      return FALSE;
    }
    if (window->destroying)
      return TRUE;
  }
  Destroy(hwnd, true);
  return TRUE;
}

BOOL IsWindow(HWND hwnd)
{
  auto& state = User();
  std::lock_guard<std::mutex> lock(state.mutex);
  return FindWindowLocked(state, hwnd) ? TRUE : FALSE;
}

DWORD GetWindowThreadProcessId(HWND hwnd, LPDWORD processId)
{
  auto& state = User();
  std::lock_guard<std::mutex> lock(state.mutex);
  auto window = CheckWindowLocked(state, hwnd);
  if (!window)
    return 0;
  if (processId)
    *processId = GetCurrentProcessId();
  return window->threadId;
}
