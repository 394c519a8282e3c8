// The editor's window: construction, cursor, opening and closing with the OpenGL context,
// resizing and scale, the window procedure and painting. The display clock is in
// IGraphicsWin_DisplayClock.cpp; the platform services are in the other IGraphicsWin_*.cpp files.
//
// Index:
//   1. Process-wide state
//   2. Construction and destruction
//   3. Cursor and pointer position
//   4. OpenGL context
//   5. Opening and closing
//   6. Resizing and scale
//   7. Window procedure
//   8. Pointer, key and touch input
//   9. Tooltips
//  10. Display tick and painting

#include "IGraphicsWin.h"

#include <cmath>
#include <cstring>
#include <iterator>
#include <vector>

#include "FreedMemory.h"
#include "IControl.h"
#include "IGEditorDelegate.h"
#include "IPlugLogger.h"

namespace iplug::igraphics {

// ---- 1. Process-wide state --------------------------------------------------------------------

namespace {

constexpr const wchar_t* kWindowClassName = L"IPlugWndClass";
constexpr const wchar_t* kWindowTitle = L"IPlug";
constexpr UINT kDisplayTickMessage = 0x401;
constexpr UINT_PTR kDisplayTimerId = 2;
// Pen input and touch promoted to mouse messages carry this in the message's extra information;
// the low byte tells pen from touch and is not needed here.
constexpr ULONG_PTR kPenOrTouchSignature = 0xFF515700;
constexpr ULONG_PTR kPenOrTouchMask = 0xFFFFFF00;
constexpr int kTooltipMaxWidth = 250;
constexpr DWORD kRegionDataBytes = 1024;
constexpr UINT kDropPathChars = 1024;

// An exported function by name, as the type the caller knows it by.
template <typename Fn>
Fn ProcAs(FARPROC proc)
{
  return reinterpret_cast<Fn>(reinterpret_cast<void (*)()>(proc));
}

// Open editor windows of the process; the class lives while one exists.
int sWindowCount = 0;

// The OpenGL library and its procedure look-up while a renderer loads its entry points.
HMODULE sOpenGLLibrary = nullptr;
using WglGetProcAddressFn = PROC(WINAPI*)(LPCSTR);
WglGetProcAddressFn sWglGetProcAddress = nullptr;

void* ResolveGLProc(const char* name)
{
  void* proc = nullptr;
  if (sWglGetProcAddress)
    proc = reinterpret_cast<void*>(sWglGetProcAddress(name));
  // Some drivers answer a failed look-up with a small number instead of null; the OpenGL 1.1
  // functions are never found there at all, only among the library's own exports.
  const auto value = reinterpret_cast<intptr_t>(proc);
  if ((value >= -1 && value <= 3) && sOpenGLLibrary)
    proc = reinterpret_cast<void*>(ProcAs<void (*)()>(GetProcAddress(sOpenGLLibrary, name)));
  return proc;
}

void RegisterWindowClass(HINSTANCE instance, WNDPROC proc)
{
  WNDCLASSW wc{};
  wc.style = CS_DBLCLKS | CS_OWNDC;
  wc.lpfnWndProc = proc;
  wc.hInstance = instance;
  wc.lpszClassName = kWindowClassName;
  RegisterClassW(&wc);
}

void ReleaseWindowClass(HINSTANCE instance)
{
  if (--sWindowCount == 0)
    UnregisterClassW(kWindowClassName, instance);
}

bool IsChildWindow(HWND hWnd)
{
  return hWnd && (GetWindowLongW(hWnd, GWL_STYLE) & WS_CHILD) && !(GetWindowLongW(hWnd, GWL_EXSTYLE) & WS_EX_MDICHILD);
}

std::wstring Widen(const char* utf8)
{
  if (!utf8 || !*utf8)
    return std::wstring();
  const int n = MultiByteToWideChar(CP_UTF8, 0, utf8, -1, nullptr, 0);
  if (n <= 0)
    return std::wstring();
  std::wstring wide(static_cast<size_t>(n), L'\0');
  MultiByteToWideChar(CP_UTF8, 0, utf8, -1, wide.data(), n);
  wide.resize(static_cast<size_t>(n - 1));
  return wide;
}

// Physical pixels covering a logical rectangle: outward to whole pixels.
RECT ToPhysical(const IRect& r, float k)
{
  RECT out;
  out.left = static_cast<LONG>(std::floor(r.L * k));
  out.top = static_cast<LONG>(std::floor(r.T * k));
  out.right = static_cast<LONG>(std::ceil(r.R * k));
  out.bottom = static_cast<LONG>(std::ceil(r.B * k));
  return out;
}

IRect ToLogical(const RECT& r, float k)
{
  return IRect(std::floor(static_cast<float>(r.left) / k), std::floor(static_cast<float>(r.top) / k),
               std::ceil(static_cast<float>(r.right) / k), std::ceil(static_cast<float>(r.bottom) / k));
}

COLORREF ToColorRef(const IColor& c)
{
  return RGB(static_cast<BYTE>(c.R), static_cast<BYTE>(c.G), static_cast<BYTE>(c.B));
}

} // namespace

// ---- 2. Construction and destruction ----------------------------------------------------------

IGraphicsWin::IGraphicsWin(IGEditorDelegate* dlg, int width, int height, int fps, float drawScale)
  : IGraphicsVectorGL(dlg, width, height, fps, drawScale)
{
  mVSYNCEnabled = IsWindows8OrGreater();
  RetainFontCaches();
}

IGraphicsWin::~IGraphicsWin()
{
  ReleaseFontCaches();
  DestroyTextEntry();
  ClosePlatformWindow();
  mTouchPoints.clear();
  mMainWndClassName.clear();
}

// ---- 3. Cursor and pointer position -----------------------------------------------------------

void IGraphicsWin::GetMouseLocation(float& x, float& y) const
{
  POINT p{};
  GetCursorPos(&p);
  ScreenToClient(mPlugWnd, &p);
  const float k = GetBackingPixelScale();
  x = static_cast<float>(p.x) / k;
  y = static_cast<float>(p.y) / k;
}

void IGraphicsWin::HideMouseCursor(bool hide, bool lock)
{
  if (hide == mCursorHidden)
    return;

  if (hide)
  {
    mHiddenCursorX = mCursorX;
    mHiddenCursorY = mCursorY;
    ShowCursor(FALSE);
    mCursorHidden = true;
    mCursorLock = lock && !mTabletInput;
  }
  else
  {
    if (mCursorLock)
      MoveMouseCursor(mHiddenCursorX, mHiddenCursorY);
    ShowCursor(TRUE);
    mCursorHidden = false;
    mCursorLock = false;
  }
}

void IGraphicsWin::MoveMouseCursor(float x, float y)
{
  if (mTabletInput)
    return;

  const float k = GetBackingPixelScale();
  POINT p{static_cast<LONG>(std::round(x * k)), static_cast<LONG>(std::round(y * k))};
  ClientToScreen(mPlugWnd, &p);
  if (!SetCursorPos(p.x, p.y))
    return;

  // The system may clamp the position to the screen: keep what it really is.
  GetCursorPos(&p);
  ScreenToClient(mPlugWnd, &p);
  mHiddenCursorX = mCursorX = static_cast<float>(p.x) / k;
  mHiddenCursorY = mCursorY = static_cast<float>(p.y) / k;
}

int IGraphicsWin::SetMouseCursor(int cursorType)
{
  // The system cursor of each cursor type, by its IDC_ number; anything unknown is the arrow.
  static constexpr WORD kSystemCursors[] = {32512, 32513, 32514, 32515, 32516, 32642, 32643,
                                            32644, 32645, 32646, 32648, 32649, 32650, 32651};
  const WORD id = (cursorType >= 0 && cursorType < static_cast<int>(std::size(kSystemCursors)))
                    ? kSystemCursors[cursorType]
                    : kSystemCursors[0];
  SetCursor(LoadCursorW(nullptr, MAKEINTRESOURCEW(id)));
  return IGraphics::SetMouseCursor(cursorType);
}

bool IGraphicsWin::PlatformSupportsMultiTouch() const
{
  // The digitizer's "ready" flag, NID_READY.
  return (GetSystemMetrics(SM_DIGITIZER) & NID_READY) != 0;
}

// ---- 4. OpenGL context ------------------------------------------------------------------------

void IGraphicsWin::ActivateGLContext()
{
  mStartHDC = wglGetCurrentDC();
  mStartHGLRC = wglGetCurrentContext();
  if (!mPlugWnd || !mHGLRC)
    return;
  // A back buffer of another size holds nothing of the last frame.
  RECT client{};
  GetClientRect(mPlugWnd, &client);
  const SIZE size{client.right - client.left, client.bottom - client.top};
  if (size.cx != mBackBufferSize.cx || size.cy != mBackBufferSize.cy)
  {
    ForgetWindowFrame();
    mBackBufferSize = size;
  }
  wglMakeCurrent(GetDC(mPlugWnd), mHGLRC);
}

void IGraphicsWin::DeactivateGLContext()
{
  if (!mPlugWnd || !mHGLRC)
    return;
  ReleaseDC(mPlugWnd, GetDC(mPlugWnd));
  wglMakeCurrent(mStartHDC, mStartHGLRC);
}

renderer::GetProcAddressFn IGraphicsWin::GetGLProcAddress() const { return &ResolveGLProc; }

bool IGraphicsWin::CreateGLContext()
{
  HDC dc = GetDC(mPlugWnd);

  PIXELFORMATDESCRIPTOR pfd{};
  pfd.nSize = sizeof(pfd);
  pfd.nVersion = 1;
  pfd.dwFlags = PFD_DRAW_TO_WINDOW | PFD_SUPPORT_OPENGL | PFD_DOUBLEBUFFER;
  pfd.iPixelType = PFD_TYPE_RGBA;
  pfd.cColorBits = 32;
  pfd.cDepthBits = 24;
  pfd.cStencilBits = 8;
  pfd.iLayerType = PFD_MAIN_PLANE;

  const int format = ChoosePixelFormat(dc, &pfd);
  if (format == 0 || !SetPixelFormat(dc, format, &pfd))
  {
    ReleaseDC(mPlugWnd, dc);
    return false;
  }
  // Only a swap that copies promises the back buffer afterwards; an exchange leaves it undefined.
  PIXELFORMATDESCRIPTOR described{};
  mSwapKeepsFrame = DescribePixelFormat(dc, format, sizeof(described), &described) != 0 &&
                    (described.dwFlags & PFD_SWAP_COPY) != 0;

  mHGLRC = wglCreateContext(dc);
  if (!mHGLRC || !wglMakeCurrent(dc, mHGLRC))
  {
    if (mHGLRC)
      wglDeleteContext(mHGLRC);
    mHGLRC = nullptr;
    ReleaseDC(mPlugWnd, dc);
    return false;
  }

  // The renderer looks its entry points up through the system library's own wglGetProcAddress
  // when the view is initialised; the library stays loaded until then.
  sOpenGLLibrary = LoadLibraryA("opengl32.dll");
  sWglGetProcAddress = sOpenGLLibrary
                         ? ProcAs<WglGetProcAddressFn>(GetProcAddress(sOpenGLLibrary, "wglGetProcAddress"))
                         : nullptr;
  using GlGetErrorFn = unsigned int(APIENTRY*)();
  if (auto glGetErrorProc = reinterpret_cast<GlGetErrorFn>(ResolveGLProc("glGetError")))
    glGetErrorProc();

  ReleaseDC(mPlugWnd, dc);
  return true;
}

void IGraphicsWin::DestroyGLContext()
{
  if (mPlugWnd)
    ReleaseDC(mPlugWnd, GetDC(mPlugWnd));
  wglMakeCurrent(mStartHDC, mStartHGLRC);
  wglMakeCurrent(nullptr, nullptr);
  if (mHGLRC)
    wglDeleteContext(mHGLRC);
  mHGLRC = nullptr;
}

// ---- 5. Opening and closing -------------------------------------------------------------------

void* IGraphicsWin::OpenPlatformWindow(void* pParent)
{
  mParentWnd = static_cast<HWND>(pParent);
  mOpening = true;
  const float scale = GetScaleForWindow(mParentWnd);
  const int n = static_cast<int>(scale);

  int x = 0, y = 0;
  int w = n * static_cast<int>(static_cast<float>(Width()) * GetDrawScale());
  int h = n * static_cast<int>(static_cast<float>(Height()) * GetDrawScale());
  if (mPlugWnd)
  {
    RECT parentRect{}, windowRect{};
    GetWindowRect(mParentWnd, &parentRect);
    GetWindowRect(mPlugWnd, &windowRect);
    ClosePlatformWindow();
    x = windowRect.left - parentRect.left;
    y = windowRect.top - parentRect.top;
    w = windowRect.right - windowRect.left;
    h = windowRect.bottom - windowRect.top;
  }

  if (sWindowCount++ == 0)
    RegisterWindowClass(mHInstance, &IGraphicsWin::WndProc);

  // The creation message stores this context in the window and starts the display clock.
  mPlugWnd = CreateWindowExW(0, kWindowClassName, kWindowTitle, WS_CHILD | WS_VISIBLE | WS_CLIPSIBLINGS | WS_CLIPCHILDREN,
                             x, y, w, h, mParentWnd, nullptr, mHInstance, this);

  if (mPlugWnd)
  {
    HDC dc = GetDC(mPlugWnd);
    ReleaseDC(mPlugWnd, dc);

    const bool haveContext = CreateGLContext();
    if (haveContext)
      OnViewInitialized(nullptr);
    // The renderer has its entry points now (or never will).
    if (sOpenGLLibrary)
      FreeLibrary(sOpenGLLibrary);
    sOpenGLLibrary = nullptr;
    sWglGetProcAddress = nullptr;

    if (!haveContext || !GetDrawContext())
    {
      // A window that can never draw is no editor: the host hears that none opened, and
      // nothing of this attempt (window, clock thread, context) stays behind.
      TRACE_F("the editor window has %s", haveContext ? "no renderer" : "no OpenGL context");
      ClosePlatformWindow();
      return nullptr;
    }
    SetScreenScale(static_cast<float>(n > 0 ? n : 1));
  }

  if (GetDelegate())
    GetDelegate()->LayoutEditor(this);

  if (mPlugWnd && MultiTouchEnabled() && PlatformSupportsMultiTouch())
    RegisterTouchWindow(mPlugWnd, 0);

  if (!mPlugWnd)
    ReleaseWindowClass(mHInstance);
  SetAllControlsDirty();

  if (mPlugWnd && TooltipsEnabled())
  {
    bool ok = false;
    INITCOMMONCONTROLSEX icc{};
    icc.dwSize = sizeof(icc);
    icc.dwICC = ICC_TAB_CLASSES;
    if (InitCommonControlsEx(&icc))
    {
      mTooltipWnd = CreateWindowExW(0, TOOLTIPS_CLASSW, nullptr,
                                    WS_POPUP | WS_CLIPSIBLINGS | WS_CLIPCHILDREN | TTS_ALWAYSTIP | TTS_NOPREFIX,
                                    CW_USEDEFAULT, CW_USEDEFAULT, CW_USEDEFAULT, CW_USEDEFAULT, mPlugWnd, nullptr,
                                    mHInstance, nullptr);
      if (mTooltipWnd)
      {
        SetWindowPos(mTooltipWnd, HWND_TOPMOST, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE | SWP_NOACTIVATE);
        wchar_t empty[1] = {0};
        TTTOOLINFOW ti{};
        ti.cbSize = sizeof(ti);
        ti.uFlags = TTF_IDISHWND | TTF_SUBCLASS;
        ti.hwnd = mPlugWnd;
        ti.uId = reinterpret_cast<UINT_PTR>(mPlugWnd);
        ti.lpszText = empty;
        if (SendMessageW(mTooltipWnd, TTM_ADDTOOLW, 0, reinterpret_cast<LPARAM>(&ti)))
        {
          SendMessageW(mTooltipWnd, TTM_SETMAXTIPWIDTH, 0, kTooltipMaxWidth);
          ok = true;
        }
      }
    }
    if (!ok)
    {
      if (mTooltipWnd)
        DestroyWindow(mTooltipWnd);
      mTooltipWnd = nullptr;
      EnableTooltips(false);
    }
  }
  if (mPlugWnd)
    wglMakeCurrent(nullptr, nullptr);

  if (GetDelegate())
    GetDelegate()->OnEditorOpen();

  return mPlugWnd;
}

void IGraphicsWin::ClosePlatformWindow()
{
  if (!mPlugWnd)
    return;

  StopDisplayClock();

  ActivateGLContext();
  OnViewDestroyed();
  DestroyGLContext();

  if (mTooltipWnd)
  {
    DestroyWindow(mTooltipWnd);
    mTooltipWnd = nullptr;
    mShowingTooltip = false;
    mTooltipIdx = -1;
  }

  // The entry is a child of the window about to go: remove it (and its font) while its handle
  // still means something.
  DestroyTextEntry();

  DestroyWindow(mPlugWnd);
  mPlugWnd = nullptr;
  mTouchPoints.clear();

  ReleaseWindowClass(mHInstance);
}

// ---- 6. Resizing and scale --------------------------------------------------------------------

float IGraphicsWin::GetScaleForWindow(HWND hwnd)
{
  using GetDpiForWindowFn = UINT(WINAPI*)(HWND);
  static const GetDpiForWindowFn getDpiForWindow = [] {
    HMODULE user32 = GetModuleHandleA("user32.dll");
    return user32 ? ProcAs<GetDpiForWindowFn>(GetProcAddress(user32, "GetDpiForWindow")) : nullptr;
  }();
  if (!getDpiForWindow)
    return 1.f;
  const UINT dpi = getDpiForWindow(hwnd);
  // 0 means the system could not tell (no such window): a window sized at scale 0 would vanish.
  if (dpi == 0 || dpi == 96)
    return 1.f;
  return static_cast<float>(dpi) / 96.f;
}

void IGraphicsWin::PlatformResize(bool parentHasResized)
{
  if (!mPlugWnd)
    return;

  RECT r{};
  GetWindowRect(mPlugWnd, &r);
  const int w = r.right - r.left, h = r.bottom - r.top;
  const float s = GetScreenScale();
  const int dW = static_cast<int>(static_cast<float>(static_cast<int>(static_cast<float>(Width()) * GetDrawScale())) * s) - w;
  const int dH = static_cast<int>(static_cast<float>(static_cast<int>(static_cast<float>(Height()) * GetDrawScale())) * s) - h;

  HWND parent = nullptr, grandparent = nullptr;
  RECT parentRect{}, grandparentRect{};
  if (IsChildWindow(mPlugWnd))
  {
    parent = GetParent(mPlugWnd);
    GetWindowRect(parent, &parentRect);
    if (IsChildWindow(parent))
    {
      grandparent = GetParent(parent);
      GetWindowRect(grandparent, &grandparentRect);
    }
  }

  if (dW == 0 && dH == 0)
    return;

  const UINT flags = SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE;
  SetWindowPos(mPlugWnd, nullptr, 0, 0, w + dW, h + dH, flags);
  if (parentHasResized)
    return;
  if (parent)
    SetWindowPos(parent, nullptr, 0, 0, parentRect.right - parentRect.left + dW, parentRect.bottom - parentRect.top + dH,
                 flags);
  if (grandparent)
    SetWindowPos(grandparent, nullptr, 0, 0, grandparentRect.right - grandparentRect.left + dW,
                 grandparentRect.bottom - grandparentRect.top + dH, flags);
}

void IGraphicsWin::DrawResize()
{
  ActivateGLContext();
  IGraphicsVectorGL::DrawResize();
  DeactivateGLContext();
  // The window's back buffer and the main framebuffer were just replaced by ones of another
  // size: what the old ones took goes back to the system, or every zoom would leave it resident.
  // Not before the window is there nor while it opens (its first sizing, and on a 150 % display
  // the first tick's): what is free then is mostly what the last opening freed, which this one's
  // pictures are about to take again, and handing it back would make them fault all of it in anew.
  if (mPlugWnd && !mOpening)
    compat::ReturnFreedMemory();
}

// ---- 7. Window procedure ----------------------------------------------------------------------

LRESULT CALLBACK IGraphicsWin::WndProc(HWND hWnd, UINT msg, WPARAM wParam, LPARAM lParam)
{
  if (msg == WM_CREATE)
  {
    const auto* cs = reinterpret_cast<const CREATESTRUCTW*>(lParam);
    auto* graphics = static_cast<IGraphicsWin*>(cs->lpCreateParams);
    SetWindowLongPtrW(hWnd, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(graphics));
    if (graphics)
      graphics->StartDisplayClock(hWnd);
    SetFocus(hWnd);
    DragAcceptFiles(hWnd, TRUE);
    return 0;
  }

  auto* graphics = reinterpret_cast<IGraphicsWin*>(GetWindowLongPtrW(hWnd, GWLP_USERDATA));
  if (!graphics || hWnd != graphics->mPlugWnd)
    return DefWindowProcW(hWnd, msg, wParam, lParam);
  return graphics->OnWindowMessage(hWnd, msg, wParam, lParam);
}

LRESULT IGraphicsWin::OnWindowMessage(HWND hWnd, UINT msg, WPARAM wParam, LPARAM lParam)
{
  // While the entry has the keyboard, a press on the editor only asks for it to be cancelled.
  if (mParamEditWnd && mParamEditMsg == kTextEntryFocused)
  {
    if (msg == WM_LBUTTONDOWN || msg == WM_RBUTTONDOWN)
    {
      mParamEditMsg = kTextEntryCancel;
      return 0;
    }
    // The field asks for its colours whenever it paints, and it paints mostly while it is typed in.
    if (msg != WM_CTLCOLOREDIT)
      return DefWindowProcW(hWnd, msg, wParam, lParam);
  }

  if ((msg >= WM_MOUSEFIRST && msg <= WM_MOUSELAST) || msg == WM_MOUSEHOVER || msg == WM_MOUSELEAVE)
  {
    mTabletInput = (static_cast<ULONG_PTR>(GetMessageExtraInfo()) & kPenOrTouchMask) == kPenOrTouchSignature;
    if (mTabletInput)
      mCursorLock = false;
  }

  switch (msg)
  {
    case WM_SETFOCUS:
    case WM_KILLFOCUS:
    case WM_ERASEBKGND:
      return 0;

    case WM_PAINT:
      Paint();
      return 0;

    case WM_CLOSE:
      ClosePlatformWindow();
      return 0;

    case WM_SETCURSOR:
      SetMouseCursor(GetCursorType());
      return 0;

    case WM_GETDLGCODE:
      return DLGC_WANTALLKEYS;

    case WM_KEYDOWN:
    case WM_KEYUP:
      if (HandleKey(hWnd, msg, wParam, lParam))
        return 0;
      SendMessageW(GetAncestor(hWnd, GA_ROOT), msg, wParam, lParam);
      return DefWindowProcW(hWnd, msg, wParam, lParam);

    case WM_TIMER:
      if (wParam == kDisplayTimerId)
        OnDisplayTick(0);
      return 0;

    case kDisplayTickMessage:
      OnDisplayTick(static_cast<int32_t>(wParam));
      return 0;

    case WM_CTLCOLOREDIT:
    {
      if (!mParamEditWnd)
        return 0;
      HDC dc = reinterpret_cast<HDC>(wParam);
      const COLORREF background = ToColorRef(mEditText.textEntryBGColor);
      SetBkColor(dc, background);
      SetTextColor(dc, ToColorRef(mEditText.textEntryFGColor));
      SetBkMode(dc, OPAQUE);
      SetDCBrushColor(dc, background);
      return reinterpret_cast<LRESULT>(GetStockObject(DC_BRUSH));
    }

    case WM_MOUSEMOVE:
    {
      if (mTabletInput)
        return 0;
      const float previousX = mCursorX, previousY = mCursorY;
      if ((wParam & (MK_LBUTTON | MK_RBUTTON)) && GetCapture() == hWnd)
      {
        if (mInTextEntry && !mTextEntryControl)
          return 0;
        IMouseEvent e = MouseEventFromMessage(wParam, lParam);
        e.dX = e.x - previousX;
        e.dY = e.y - previousY;
        if (e.dX != 0.f || e.dY != 0.f)
        {
          OnMouseDrag({e});
          if (mCursorLock)
          {
            // Moving the cursor back reads the position back into the lock position too.
            const float lockX = mHiddenCursorX, lockY = mHiddenCursorY;
            MoveMouseCursor(lockX, lockY);
            mHiddenCursorX = lockX;
            mHiddenCursorY = lockY;
          }
        }
      }
      else if (!(wParam & (MK_LBUTTON | MK_RBUTTON)))
      {
        const IMouseEvent e = MouseEventFromMessage(wParam, lParam);
        if (OnMouseOver(e.x, e.y, e.ms))
        {
          TRACKMOUSEEVENT tme{};
          tme.cbSize = sizeof(tme);
          tme.dwFlags = TME_LEAVE;
          tme.hwndTrack = hWnd;
          tme.dwHoverTime = HOVER_DEFAULT;
          const int hovered = GetMouseOverIdx();
          if (TooltipsEnabled() && hovered != mTooltipIdx)
          {
            if (hovered >= 0)
              tme.dwFlags |= TME_HOVER;
            mTooltipIdx = hovered;
            HideTooltip();
          }
          TrackMouseEvent(&tme);
        }
      }
      return 0;
    }

    case WM_LBUTTONDOWN:
    case WM_RBUTTONDOWN:
    case WM_MBUTTONDOWN:
    {
      if (mTabletInput)
        return 0;
      HideTooltip();
      if (mParamEditWnd)
      {
        mParamEditMsg = kTextEntryCommit;
        return 0;
      }
      SetFocus(hWnd);
      SetCapture(hWnd);
      IMouseEvent e = MouseEventFromMessage(wParam, lParam);
      if (msg == WM_MBUTTONDOWN)
        e.ms.L = e.ms.R = false;
      OnMouseDown({e});
      return 0;
    }

    case WM_LBUTTONUP:
    case WM_RBUTTONUP:
    case WM_MBUTTONUP:
    {
      // The middle press took the capture like the others; without its release the host's
      // windows would get no pointer input until the next left or right click.
      ReleaseCapture();
      IMouseEvent e = MouseEventFromMessage(wParam, lParam);
      if (msg == WM_MBUTTONUP)
        e.ms.L = e.ms.R = false;
      OnMouseUp({e});
      return 0;
    }

    case WM_LBUTTONDBLCLK:
    case WM_RBUTTONDBLCLK:
    {
      if (mTabletInput)
        return 0;
      const IMouseEvent e = MouseEventFromMessage(wParam, lParam);
      if (OnMouseDblClick(e.x, e.y, e.ms))
        SetCapture(hWnd);
      return 0;
    }

    case WM_MOUSEWHEEL:
    {
      if (mParamEditWnd)
      {
        mParamEditMsg = kTextEntryCancel;
        return 0;
      }
      IMouseEvent e = MouseEventFromMessage(wParam, lParam);
      // The message carries screen coordinates.
      POINT origin{0, 0};
      ClientToScreen(hWnd, &origin);
      const float k = GetBackingPixelScale();
      e.x -= static_cast<float>(origin.x) / k;
      e.y -= static_cast<float>(origin.y) / k;
      mCursorX = e.x;
      mCursorY = e.y;
      // Whole notches only: a high-resolution wheel's partial amounts give 0.
      const int delta = GET_WHEEL_DELTA_WPARAM(wParam) / WHEEL_DELTA;
      OnMouseWheel(e.x, e.y, e.ms, static_cast<float>(delta));
      return 0;
    }

    case WM_DROPFILES:
    {
      HDROP drop = reinterpret_cast<HDROP>(wParam);
      wchar_t path[kDropPathChars] = {};
      DragQueryFileW(drop, 0, path, kDropPathChars);
      char utf8[kDropPathChars * 3] = {};
      WideCharToMultiByte(CP_UTF8, 0, path, -1, utf8, sizeof(utf8), nullptr, nullptr);
      POINT p{};
      DragQueryPoint(drop, &p);
      DragFinish(drop);
      const float k = GetBackingPixelScale();
      OnDrop(utf8, static_cast<float>(p.x) / k, static_cast<float>(p.y) / k);
      return 0;
    }

    case WM_TOUCH:
      HandleTouch(wParam, lParam);
      return 0;

    case WM_MOUSEHOVER:
      ShowTooltip();
      return 0;

    case WM_MOUSELEAVE:
      HideTooltip();
      OnMouseOut();
      return 0;

    default:
      return DefWindowProcW(hWnd, msg, wParam, lParam);
  }
}

// ---- 8. Pointer, key and touch input ----------------------------------------------------------

IMouseEvent IGraphicsWin::MouseEventFromMessage(WPARAM wParam, LPARAM lParam)
{
  const float k = GetBackingPixelScale();
  IMouseEvent e;
  e.x = static_cast<float>(GET_X_LPARAM(lParam)) / k;
  e.y = static_cast<float>(GET_Y_LPARAM(lParam)) / k;
  mCursorX = e.x;
  mCursorY = e.y;
  const WORD keys = GET_KEYSTATE_WPARAM(wParam);
  e.ms = IMouseMods((keys & MK_LBUTTON) != 0, (keys & MK_RBUTTON) != 0, (keys & MK_SHIFT) != 0,
                    (keys & MK_CONTROL) != 0, GetKeyState(VK_MENU) < 0);
  return e;
}

bool IGraphicsWin::HandleKey(HWND hWnd, UINT msg, WPARAM wParam, LPARAM lParam)
{
  POINT p{};
  GetCursorPos(&p);
  ScreenToClient(hWnd, &p);

  BYTE keyboard[256] = {};
  GetKeyboardState(keyboard);
  wchar_t chars[4] = {};
  const UINT scanCode = (static_cast<UINT>(lParam) >> 16) & 0xFF;
  const int n = ToUnicode(static_cast<UINT>(wParam), scanCode, keyboard, chars, 4, 0);
  // A dead key (-1) or two characters (a dead key that did not combine) are the host's.
  if (n != 0 && n != 1)
    return false;

  char utf8[5] = {};
  if (n == 1)
  {
    if (WideCharToMultiByte(CP_UTF8, 0, chars, 1, utf8, sizeof(utf8) - 1, nullptr, nullptr) <= 0)
      utf8[0] = '\0';
  }
  IKeyPress key(nullptr, static_cast<int>(wParam), GetKeyState(VK_SHIFT) < 0, GetKeyState(VK_CONTROL) < 0,
                GetKeyState(VK_MENU) < 0);
  std::memcpy(key.utf8, utf8, sizeof(key.utf8));
  const float k = GetBackingPixelScale();
  const float x = static_cast<float>(p.x) / k, y = static_cast<float>(p.y) / k;
  return msg == WM_KEYDOWN ? OnKeyDown(x, y, key) : OnKeyUp(x, y, key);
}

void IGraphicsWin::HandleTouch(WPARAM wParam, LPARAM lParam)
{
  const UINT n = LOWORD(wParam);
  HTOUCHINPUT handle = reinterpret_cast<HTOUCHINPUT>(lParam);
  if (n == 0)
  {
    CloseTouchInputHandle(handle);
    return;
  }

  std::vector<TOUCHINPUT> inputs(n);
  if (!GetTouchInputInfo(handle, n, inputs.data(), sizeof(TOUCHINPUT)))
  {
    CloseTouchInputHandle(handle);
    return;
  }

  const float k = GetBackingPixelScale();
  std::vector<IMouseEvent> downs, ups, moves;
  for (const TOUCHINPUT& input : inputs)
  {
    POINT p{TOUCH_COORD_TO_PIXEL(input.x), TOUCH_COORD_TO_PIXEL(input.y)};
    ScreenToClient(mPlugWnd, &p);
    IMouseEvent e;
    e.x = static_cast<float>(p.x) / k;
    e.y = static_cast<float>(p.y) / k;
    e.ms.touchID = static_cast<uint64_t>(input.dwID);
    e.ms.touchRadius = (input.dwMask & TOUCHINPUTMASKF_CONTACTAREA) ? static_cast<float>(input.cxContact) : 0.f;
    const auto id = static_cast<int64_t>(input.dwID);

    if (input.dwFlags & TOUCHEVENTF_DOWN)
    {
      downs.push_back(e);
      mTouchPoints[id] = e;
    }
    else if (input.dwFlags & TOUCHEVENTF_UP)
    {
      mTouchPoints.erase(id);
      ups.push_back(e);
    }
    else if (input.dwFlags & TOUCHEVENTF_MOVE)
    {
      const auto it = mTouchPoints.find(id);
      if (it != mTouchPoints.end())
      {
        e.dX = e.x - it->second.x;
        e.dY = e.y - it->second.y;
        it->second = e;
      }
      else
      {
        mTouchPoints[id] = e;
      }
      moves.push_back(e);
    }
  }

  if (!downs.empty())
    OnMouseDown(downs);
  if (!ups.empty())
    OnMouseUp(ups);
  if (!moves.empty())
    OnMouseDrag(moves);
  CloseTouchInputHandle(handle);
}

// ---- 9. Tooltips ------------------------------------------------------------------------------

namespace {

void SetToolText(HWND tooltip, HWND tool, const wchar_t* text)
{
  TTTOOLINFOW ti{};
  ti.cbSize = sizeof(ti);
  ti.uFlags = TTF_IDISHWND | TTF_SUBCLASS;
  ti.hwnd = tool;
  ti.uId = reinterpret_cast<UINT_PTR>(tool);
  ti.lpszText = const_cast<wchar_t*>(text);
  SendMessageW(tooltip, TTM_UPDATETIPTEXTW, 0, reinterpret_cast<LPARAM>(&ti));
}

} // namespace

void IGraphicsWin::ShowTooltip()
{
  if (mTooltipIdx < 0 || !mTooltipWnd)
    return;
  const IControl* control = GetControl(mTooltipIdx);
  const std::wstring text = Widen(control ? control->GetTooltip().c_str() : "");
  SetToolText(mTooltipWnd, mPlugWnd, text.c_str());
  mShowingTooltip = true;
}

void IGraphicsWin::HideTooltip()
{
  if (!mShowingTooltip)
    return;
  if (mTooltipWnd)
    SetToolText(mTooltipWnd, mPlugWnd, L"");
  mShowingTooltip = false;
}

// ---- 10. Display tick and painting ------------------------------------------------------------

void IGraphicsWin::OnDisplayTick(int32_t count)
{
  if (mVSYNCEnabled)
  {
    const int32_t now = DisplayTickCount();
    if (mVBlankSkipUntil != 0 && now < mVBlankSkipUntil)
      return;
    mVBlankSkipUntil = 0;
    // A newer tick is already queued: that one draws.
    if (count != now)
      return;
  }

  if (mParamEditWnd && mParamEditMsg != kTextEntryNone)
  {
    if (mParamEditMsg == kTextEntryCancel)
    {
      DestroyTextEntry();
      mInTextEntry = nullptr;
    }
    else if (mParamEditMsg == kTextEntryCommit)
    {
      CommitTextEntry();
      DestroyTextEntry();
    }
    mParamEditMsg = kTextEntryNone;
    return;
  }

  if (!GetCapture())
  {
    const float scale = GetScaleForWindow(mPlugWnd);
    if (scale != GetScreenScale())
      SetScreenScale(scale);
  }
  mOpening = false;

  const float k = GetBackingPixelScale();
  IRectList rects;
  if (IsDirty(rects))
  {
    SetAllControlsClean();
    for (int i = 0; i < rects.Count(); ++i)
    {
      const RECT r = ToPhysical(rects.Get(i), k);
      InvalidateRect(mPlugWnd, &r, FALSE);
    }
  }
  else if (FrameCopyWarmUpDue())
  {
    // Nothing to draw: the time goes to what the next frame would otherwise wait for.
    ActivateGLContext();
    WarmUpFrameCopy();
    DeactivateGLContext();
  }

  if (mParamEditWnd)
  {
    // The entry paints itself; the editor must not draw over it.
    const RECT r = ToPhysical(mEditRect, k);
    ValidateRect(mPlugWnd, &r);
    UpdateWindow(mPlugWnd);
    mParamEditMsg = kTextEntryDrawn;
  }
  else
  {
    const int32_t before = DisplayTickCount();
    UpdateWindow(mPlugWnd);
    // The frame took longer than a vertical blank: the tick queued meanwhile is already late.
    const int32_t after = DisplayTickCount();
    if (mVSYNCEnabled && after != before)
      mVBlankSkipUntil = after + 1;
  }
}

void IGraphicsWin::Paint()
{
  HWND hWnd = mPlugWnd;
  HRGN region = CreateRectRgn(0, 0, 0, 0);
  const int kind = GetUpdateRgn(hWnd, region, FALSE);

  if (kind == SIMPLEREGION || kind == COMPLEXREGION)
  {
    const float k = GetBackingPixelScale();
    IRectList rects;
    bool listed = false;
    if (kind == COMPLEXREGION)
    {
      alignas(RGNDATA) char buffer[kRegionDataBytes];
      auto* data = reinterpret_cast<RGNDATA*>(buffer);
      if (GetRegionData(region, kRegionDataBytes, data) != 0)
      {
        const auto* r = reinterpret_cast<const RECT*>(data->Buffer);
        for (DWORD i = 0; i < data->rdh.nCount; ++i)
          rects.Add(ToLogical(r[i], k));
        listed = true;
      }
    }
    if (!listed)
    {
      RECT box{};
      GetRgnBox(region, &box);
      rects.Add(ToLogical(box, k));
    }

    PAINTSTRUCT ps{};
    BeginPaint(hWnd, &ps);
    ActivateGLContext();
    Draw(rects);
    SwapBuffers(GetDC(hWnd));
    DeactivateGLContext();
    EndPaint(hWnd, &ps);
  }

  ValidateRect(hWnd, nullptr);
  DeleteObject(region);
}

} // namespace iplug::igraphics
