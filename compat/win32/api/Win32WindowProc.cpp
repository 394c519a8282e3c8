// Window procedures: calling them in the right form (A or W), the default procedure, subclassing
// through the window longs, and window text.
//
// Index:
//   1. Calling a procedure in its own form
//   2. The default window procedure
//   3. Window longs
//   4. Window text

#include "Win32Window.h"

#include "Win32Gdi.h"
#include "Win32Input.h"
#include "Win32Kernel.h"
#include "Win32Paint.h"
#include "Win32Text.h"
#include "Win32UserState.h"

#include <cstring>
#include <string>

namespace win32compat {

// --- 1. Calling a procedure in its own form ----------------------------------------------------

namespace {

constexpr UINT kReplaceSelection = 0x00C2; // EM_REPLACESEL

bool IsCharacterMessage(UINT message)
{
  return message == WM_CHAR || message == WM_DEADCHAR || message == WM_SYSCHAR || message == WM_SYSDEADCHAR;
}

std::string NarrowName(LPCWSTR text)
{
  return text && !IS_INTRESOURCE(text) ? Narrow(text) : std::string();
}

std::wstring WidenName(LPCSTR text)
{
  return text && !IS_INTRESOURCE(text) ? Widen(text) : std::wstring();
}

// A message in W form for a procedure that takes A.
LRESULT CallWideAsNarrow(WNDPROC proc, HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam)
{
  if ((message == WM_NCCREATE || message == WM_CREATE) && lParam)
  {
    const auto& w = *reinterpret_cast<const CREATESTRUCTW*>(lParam);
    const std::string name = NarrowName(w.lpszName);
    const std::string cls = NarrowName(w.lpszClass);
    CREATESTRUCTA a{w.lpCreateParams, w.hInstance, w.hMenu, w.hwndParent, w.cy, w.cx, w.y, w.x, w.style,
                    w.lpszName && !IS_INTRESOURCE(w.lpszName) ? name.c_str() : reinterpret_cast<LPCSTR>(w.lpszName),
                    w.lpszClass && !IS_INTRESOURCE(w.lpszClass) ? cls.c_str() : reinterpret_cast<LPCSTR>(w.lpszClass),
                    w.dwExStyle};
    return proc(hwnd, message, wParam, reinterpret_cast<LPARAM>(&a));
  }
  if ((message == WM_SETTEXT || message == kReplaceSelection) && lParam)
  {
    const std::string text = Narrow(reinterpret_cast<LPCWSTR>(lParam));
    return proc(hwnd, message, wParam, reinterpret_cast<LPARAM>(text.c_str()));
  }
  if (message == WM_GETTEXT && lParam)
  {
    const int capacity = static_cast<int>(std::min<WPARAM>(wParam, 0x7FFFFFF));
    std::string buffer(static_cast<size_t>(capacity) * 4 + 4, '\0');
    proc(hwnd, message, buffer.size(), reinterpret_cast<LPARAM>(buffer.data()));
    buffer.resize(std::strlen(buffer.c_str()));
    return CopyOut(Widen(buffer), reinterpret_cast<LPWSTR>(lParam), capacity);
  }
  if (IsCharacterMessage(message) && wParam >= 0x80)
  {
    // A character beyond ASCII reaches an A procedure as its UTF-8 bytes, one message each.
    const std::string bytes = Narrow(std::wstring(1, static_cast<wchar_t>(wParam)));
    LRESULT result = 0;
    for (char b : bytes)
      result = proc(hwnd, message, static_cast<unsigned char>(b), lParam);
    return result;
  }
  return proc(hwnd, message, wParam, lParam);
}

// A message in A form for a procedure that takes W.
LRESULT CallNarrowAsWide(WNDPROC proc, HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam)
{
  if ((message == WM_NCCREATE || message == WM_CREATE) && lParam)
  {
    const auto& a = *reinterpret_cast<const CREATESTRUCTA*>(lParam);
    const std::wstring name = WidenName(a.lpszName);
    const std::wstring cls = WidenName(a.lpszClass);
    CREATESTRUCTW w{a.lpCreateParams, a.hInstance, a.hMenu, a.hwndParent, a.cy, a.cx, a.y, a.x, a.style,
                    a.lpszName && !IS_INTRESOURCE(a.lpszName) ? name.c_str() : reinterpret_cast<LPCWSTR>(a.lpszName),
                    a.lpszClass && !IS_INTRESOURCE(a.lpszClass) ? cls.c_str() : reinterpret_cast<LPCWSTR>(a.lpszClass),
                    a.dwExStyle};
    return proc(hwnd, message, wParam, reinterpret_cast<LPARAM>(&w));
  }
  if ((message == WM_SETTEXT || message == kReplaceSelection) && lParam)
  {
    const std::wstring text = Widen(reinterpret_cast<LPCSTR>(lParam));
    return proc(hwnd, message, wParam, reinterpret_cast<LPARAM>(text.c_str()));
  }
  if (message == WM_GETTEXT && lParam)
  {
    const int capacity = static_cast<int>(std::min<WPARAM>(wParam, 0x7FFFFFF));
    std::wstring buffer(static_cast<size_t>(capacity) + 1, L'\0');
    proc(hwnd, message, static_cast<WPARAM>(capacity), reinterpret_cast<LPARAM>(buffer.data()));
    buffer.resize(std::wcslen(buffer.c_str()));
    return CopyOut(Narrow(buffer), reinterpret_cast<LPSTR>(lParam), capacity);
  }
  return proc(hwnd, message, wParam, lParam);
}

} // namespace

LRESULT InvokeProc(WNDPROC proc, bool procUnicode, HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam,
                   bool messageUnicode)
{
  if (!proc)
    return 0;
  if (procUnicode == messageUnicode)
    return proc(hwnd, message, wParam, lParam);
  return messageUnicode ? CallWideAsNarrow(proc, hwnd, message, wParam, lParam)
                        : CallNarrowAsWide(proc, hwnd, message, wParam, lParam);
}

LRESULT CallWindowDirect(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam, bool unicode)
{
  WNDPROC proc;
  bool procUnicode;
  {
    auto& state = User();
    std::lock_guard<std::mutex> lock(state.mutex);
    auto window = FindWindowLocked(state, hwnd);
    if (!window)
      return 0;
    proc = window->proc;
    procUnicode = window->unicode;
  }
  return InvokeProc(proc, procUnicode, hwnd, message, wParam, lParam, unicode);
}

} // namespace win32compat

using namespace win32compat;

namespace {

LRESULT CallProcFromUser(WNDPROC proc, HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam, bool unicode)
{
  bool procUnicode = unicode;
  {
    auto& state = User();
    std::lock_guard<std::mutex> lock(state.mutex);
    auto it = state.procForms.find(reinterpret_cast<void*>(proc));
    if (it != state.procForms.end())
      procUnicode = it->second;
  }
  return InvokeProc(proc, procUnicode, hwnd, message, wParam, lParam, unicode);
}

} // namespace

LRESULT CallWindowProcW(WNDPROC proc, HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam)
{
  return CallProcFromUser(proc, hwnd, message, wParam, lParam, true);
}

// --- 2. The default window procedure -----------------------------------------------------------

namespace {

struct WindowFacts
{
  bool exists = false;
  bool child = false;
  HWND parent = nullptr;
  HCURSOR classCursor = nullptr;
  HBRUSH background = nullptr;
  std::wstring title;
  RECT rect{};
};

WindowFacts FactsOf(HWND hwnd)
{
  WindowFacts facts;
  auto& state = User();
  std::lock_guard<std::mutex> lock(state.mutex);
  auto window = FindWindowLocked(state, hwnd);
  if (!window)
    return facts;
  facts.exists = true;
  facts.child = (window->style & WS_CHILD) && window->parent;
  facts.parent = window->parent;
  facts.classCursor = window->cls->cursor;
  facts.background = window->cls->background;
  facts.title = window->title;
  facts.rect = window->rect;
  return facts;
}

void SetTitle(HWND hwnd, std::wstring title)
{
  auto& state = User();
  std::lock_guard<std::mutex> lock(state.mutex);
  if (auto window = FindWindowLocked(state, hwnd))
    window->title = std::move(title);
}

} // namespace

LRESULT DefWindowProcW(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam)
{
  switch (message)
  {
  case WM_NCCREATE:
  {
    const auto* cs = reinterpret_cast<const CREATESTRUCTW*>(lParam);
    if (cs && cs->lpszName && !IS_INTRESOURCE(cs->lpszName))
      SetTitle(hwnd, cs->lpszName);
    return TRUE;
  }
  case WM_SETTEXT:
    SetTitle(hwnd, lParam ? std::wstring(reinterpret_cast<LPCWSTR>(lParam)) : std::wstring());
    return TRUE;
  case WM_GETTEXT:
    return CopyOut(FactsOf(hwnd).title, reinterpret_cast<LPWSTR>(lParam),
                   static_cast<int>(std::min<WPARAM>(wParam, 0x7FFFFFFF)));
  case WM_GETTEXTLENGTH:
    return static_cast<LRESULT>(FactsOf(hwnd).title.size());
  case WM_CLOSE:
    DestroyWindow(hwnd);
    return 0;
  case WM_PAINT:
  {
    PAINTSTRUCT ps;
    if (BeginPaint(hwnd, &ps))
      EndPaint(hwnd, &ps);
    return 0;
  }
  case WM_ERASEBKGND:
    return FactsOf(hwnd).background ? 1 : 0;
  case WM_SETCURSOR:
  {
    const auto facts = FactsOf(hwnd);
    if (facts.child && SendMessageW(facts.parent, WM_SETCURSOR, wParam, lParam))
      return TRUE;
    if (LOWORD(lParam) == HTCLIENT && facts.classCursor)
    {
      SetCursor(facts.classCursor);
      return TRUE;
    }
    return FALSE;
  }
  case WM_WINDOWPOSCHANGED:
  {
    const auto* pos = reinterpret_cast<const WINDOWPOS*>(lParam);
    if (!pos)
      return 0;
    const auto facts = FactsOf(hwnd);
    if (!(pos->flags & SWP_NOMOVE))
      SendMessageW(hwnd, WM_MOVE, 0, MAKELPARAM(facts.rect.left, facts.rect.top));
    if (!(pos->flags & SWP_NOSIZE))
      SendMessageW(hwnd, WM_SIZE, SIZE_RESTORED,
                   MAKELPARAM(facts.rect.right - facts.rect.left, facts.rect.bottom - facts.rect.top));
    return 0;
  }
  case WM_MOUSEWHEEL:
  case WM_MOUSEHWHEEL:
  case WM_CONTEXTMENU:
  {
    const auto facts = FactsOf(hwnd);
    return facts.child ? SendMessageW(facts.parent, message, wParam, lParam) : 0;
  }
  case WM_TOUCH:
    CloseTouchInputHandle(reinterpret_cast<HTOUCHINPUT>(lParam));
    return 0;
  case WM_NCHITTEST:
    return HTCLIENT;
  case WM_MOUSEACTIVATE:
    return 1; // MA_ACTIVATE
  case WM_CANCELMODE:
    if (GetCapture() == hwnd)
      ReleaseCapture();
    return 0;
  case WM_CTLCOLOREDIT:
  case WM_CTLCOLORSTATIC:
  {
    const HDC dc = reinterpret_cast<HDC>(wParam);
    SetBkColor(dc, RGB(255, 255, 255));
    SetTextColor(dc, RGB(0, 0, 0));
    return reinterpret_cast<LRESULT>(GetStockObject(WHITE_BRUSH));
  }
  default:
    return 0;
  }
}

LRESULT DefWindowProcA(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam)
{
  return InvokeProc(DefWindowProcW, true, hwnd, message, wParam, lParam, false);
}

// --- 3. Window longs ---------------------------------------------------------------------------

namespace {

enum class Width { Pointer, Long };

bool NeedsPointer(int index)
{
  return index == GWLP_WNDPROC || index == GWLP_HINSTANCE || index == GWLP_HWNDPARENT || index == GWLP_USERDATA;
}

LONG_PTR GetLong(HWND hwnd, int index, Width width)
{
  auto& state = User();
  std::lock_guard<std::mutex> lock(state.mutex);
  auto window = CheckWindowLocked(state, hwnd);
  if (!window)
    return 0;
  if (width == Width::Long && NeedsPointer(index))
  {
    SetLastError(ERROR_INVALID_INDEX);
    return 0;
  }
  switch (index)
  {
  case GWLP_WNDPROC: return reinterpret_cast<LONG_PTR>(window->proc);
  case GWLP_HINSTANCE: return reinterpret_cast<LONG_PTR>(window->instance);
  case GWLP_HWNDPARENT:
    return reinterpret_cast<LONG_PTR>((window->style & WS_CHILD) ? window->parent : window->owner);
  case GWLP_ID: return window->id;
  case GWL_STYLE: return static_cast<LONG>(window->style);
  case GWL_EXSTYLE: return static_cast<LONG>(window->exStyle);
  case GWLP_USERDATA: return window->userData;
  default: break;
  }
  const size_t size = width == Width::Pointer ? sizeof(LONG_PTR) : sizeof(LONG);
  if (index < 0 || static_cast<size_t>(index) + size > window->extra.size())
  {
    SetLastError(ERROR_INVALID_INDEX);
    return 0;
  }
  if (width == Width::Pointer)
  {
    LONG_PTR value;
    std::memcpy(&value, window->extra.data() + index, sizeof value);
    return value;
  }
  LONG value;
  std::memcpy(&value, window->extra.data() + index, sizeof value);
  return value;
}

LONG_PTR SetLong(HWND hwnd, int index, LONG_PTR value, Width width, bool unicode)
{
  auto& state = User();
  std::unique_lock<std::mutex> lock(state.mutex);
  auto window = CheckWindowLocked(state, hwnd);
  if (!window)
    return 0;
  if (width == Width::Long && NeedsPointer(index))
  {
    SetLastError(ERROR_INVALID_INDEX);
    return 0;
  }
  LONG_PTR previous = 0;
  switch (index)
  {
  case GWLP_WNDPROC:
  {
    if (!value)
    {
      SetLastError(ERROR_INVALID_PARAMETER);
      return 0;
    }
    previous = reinterpret_cast<LONG_PTR>(window->proc);
    // The old procedure keeps the form it was installed in, for CallWindowProc.
    state.procForms.emplace(reinterpret_cast<void*>(window->proc), window->unicode);
    window->proc = reinterpret_cast<WNDPROC>(value);
    window->unicode = unicode;
    state.procForms[reinterpret_cast<void*>(window->proc)] = unicode;
    return previous;
  }
  case GWLP_HINSTANCE:
    previous = reinterpret_cast<LONG_PTR>(window->instance);
    window->instance = reinterpret_cast<HINSTANCE>(value);
    return previous;
  case GWLP_HWNDPARENT:
    if (window->style & WS_CHILD)
    {
      SetLastError(ERROR_INVALID_PARAMETER); // a child changes its parent through SetParent
      return 0;
    }
    previous = reinterpret_cast<LONG_PTR>(window->owner);
    window->owner = reinterpret_cast<HWND>(value);
    return previous;
  case GWLP_ID:
    previous = window->id;
    window->id = value;
    return previous;
  case GWLP_USERDATA:
    previous = window->userData;
    window->userData = value;
    return previous;
  case GWL_STYLE:
  case GWL_EXSTYLE:
  {
    DWORD& field = index == GWL_STYLE ? window->style : window->exStyle;
    STYLESTRUCT change{field, static_cast<DWORD>(value)};
    lock.unlock();
    SendMessageW(hwnd, WM_STYLECHANGING, static_cast<WPARAM>(index), reinterpret_cast<LPARAM>(&change));
    lock.lock();
    window = FindWindowLocked(state, hwnd);
    if (!window)
      return 0;
    DWORD& target = index == GWL_STYLE ? window->style : window->exStyle;
    previous = static_cast<LONG>(target);
    target = change.styleNew;
    change.styleOld = static_cast<DWORD>(previous);
    lock.unlock();
    SendMessageW(hwnd, WM_STYLECHANGED, static_cast<WPARAM>(index), reinterpret_cast<LPARAM>(&change));
    return previous;
  }
  default: break;
  }
  const size_t size = width == Width::Pointer ? sizeof(LONG_PTR) : sizeof(LONG);
  if (index < 0 || static_cast<size_t>(index) + size > window->extra.size())
  {
    SetLastError(ERROR_INVALID_INDEX);
    return 0;
  }
  if (width == Width::Pointer)
  {
    std::memcpy(&previous, window->extra.data() + index, sizeof previous);
    std::memcpy(window->extra.data() + index, &value, sizeof value);
    return previous;
  }
  LONG old;
  std::memcpy(&old, window->extra.data() + index, sizeof old);
  const auto narrow = static_cast<LONG>(value);
  std::memcpy(window->extra.data() + index, &narrow, sizeof narrow);
  return old;
}

} // namespace

LONG_PTR GetWindowLongPtrA(HWND hwnd, int index)
{
  return GetLong(hwnd, index, Width::Pointer);
}

LONG_PTR GetWindowLongPtrW(HWND hwnd, int index)
{
  return GetLong(hwnd, index, Width::Pointer);
}

LONG_PTR SetWindowLongPtrW(HWND hwnd, int index, LONG_PTR newLong)
{
  return SetLong(hwnd, index, newLong, Width::Pointer, true);
}

LONG GetWindowLongW(HWND hwnd, int index)
{
  return static_cast<LONG>(GetLong(hwnd, index, Width::Long));
}

// --- 4. Window text ----------------------------------------------------------------------------

BOOL SetWindowTextW(HWND hwnd, LPCWSTR text)
{
  if (!IsWindow(hwnd))
  {
    SetLastError(ERROR_INVALID_WINDOW_HANDLE);
    return FALSE;
  }
  return SendMessageW(hwnd, WM_SETTEXT, 0, reinterpret_cast<LPARAM>(text)) ? TRUE : FALSE;
}

int GetWindowTextW(HWND hwnd, LPWSTR text, int maxCount)
{
  if (!text || maxCount <= 0)
    return 0;
  text[0] = 0;
  return static_cast<int>(SendMessageW(hwnd, WM_GETTEXT, static_cast<WPARAM>(maxCount), reinterpret_cast<LPARAM>(text)));
}
