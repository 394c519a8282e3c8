// The editor's X11 window: construction, cursor, opening and closing with the GLX context,
// density, resizing, the display tick and painting. Events are in IGraphicsX11_Events.cpp, the
// platform services in IGraphicsX11_Services.cpp.
//
// Index:
//   1. Helpers
//   2. Construction and destruction
//   3. Cursor and pointer position
//   4. OpenGL context
//   5. Opening and closing
//   6. Density and resizing
//   7. Display tick and painting

#include "IGraphicsX11.h"

#include <X11/Xatom.h>
#include <X11/Xresource.h>
#include <X11/Xutil.h>
#include <X11/cursorfont.h>
#include <xkbcommon/xkbcommon-x11.h>
#include <xkbcommon/xkbcommon.h>

#include <X11/Xlib-xcb.h>

#include <cmath>
#include <cstring>

#include "IGEditorDelegate.h"
#include "IPlugLogger.h"
#include "X11Connection.h"
#include "X11ErrorTrap.h"

namespace iplug::igraphics {

// ---- 1. Helpers -------------------------------------------------------------------------------

namespace {

void* ResolveGLProc(const char* name)
{
  return reinterpret_cast<void*>(glXGetProcAddressARB(reinterpret_cast<const GLubyte*>(name)));
}

Window ToWindow(void* handle) { return static_cast<Window>(reinterpret_cast<uintptr_t>(handle)); }
void* FromWindow(Window window) { return reinterpret_cast<void*>(static_cast<uintptr_t>(window)); }

// The core cursor font's shapes standing for the framework's cursor types.
constexpr unsigned int kCursorShapes[] = {
  XC_left_ptr,            // arrow
  XC_xterm,               // I-beam
  XC_watch,               // wait
  XC_crosshair,           // cross
  XC_sb_up_arrow,         // up arrow
  XC_bottom_right_corner, // size north-west/south-east
  XC_bottom_left_corner,  // size north-east/south-west
  XC_sb_h_double_arrow,   // size west-east
  XC_sb_v_double_arrow,   // size north-south
  XC_fleur,               // size all
  XC_X_cursor,            // no
  XC_hand2,               // hand
  XC_watch,               // application starting
  XC_question_arrow,      // help
};

} // namespace

// ---- 2. Construction and destruction ----------------------------------------------------------

IGraphicsX11::IGraphicsX11(IGEditorDelegate* dlg, int width, int height, int fps, float drawScale)
  : IGraphicsVectorGL(dlg, width, height, fps, drawScale)
{
}

IGraphicsX11::~IGraphicsX11() { ClosePlatformWindow(); }

void* IGraphicsX11::GetPlatformWindow() { return mX ? FromWindow(mX->window) : nullptr; }

bool IGraphicsX11::PlatformWindowIsOpen() { return mX != nullptr; }

// ---- 3. Cursor and pointer position -----------------------------------------------------------

void IGraphicsX11::GetMouseLocation(float& x, float& y) const
{
  x = y = 0.f;
  if (!mX || !mX->window)
    return;
  Window root = 0, child = 0;
  int rootX = 0, rootY = 0, winX = 0, winY = 0;
  unsigned int mask = 0;
  if (!XQueryPointer(mX->display, mX->window, &root, &child, &rootX, &rootY, &winX, &winY, &mask))
    return;
  const float k = GetBackingPixelScale();
  x = static_cast<float>(winX) / k;
  y = static_cast<float>(winY) / k;
}

void IGraphicsX11::HideMouseCursor(bool hide, bool lock)
{
  if (hide == mCursorHidden || !mX || !mX->window)
    return;
  if (hide)
  {
    mHiddenCursorX = mCursorX;
    mHiddenCursorY = mCursorY;
    if (!mX->invisible)
    {
      static const char kEmpty[1] = {0};
      Pixmap blank = XCreateBitmapFromData(mX->display, mX->window, kEmpty, 1, 1);
      XColor black{};
      mX->invisible = XCreatePixmapCursor(mX->display, blank, blank, &black, &black, 0, 0);
      XFreePixmap(mX->display, blank);
    }
    XDefineCursor(mX->display, mX->window, mX->invisible);
    mCursorHidden = true;
    mCursorLock = lock && !mTabletInput;
  }
  else
  {
    if (mCursorLock)
      MoveMouseCursor(mHiddenCursorX, mHiddenCursorY);
    mCursorHidden = false;
    mCursorLock = false;
    SetMouseCursor(GetCursorType());
  }
  XFlush(mX->display);
}

void IGraphicsX11::MoveMouseCursor(float x, float y)
{
  if (mTabletInput || !mX || !mX->window)
    return;
  const float k = GetBackingPixelScale();
  XWarpPointer(mX->display, None, mX->window, 0, 0, 0, 0, static_cast<int>(std::round(x * k)),
               static_cast<int>(std::round(y * k)));
  // The server keeps the pointer on the screen: keep where it really is.
  Window root = 0, child = 0;
  int rootX = 0, rootY = 0, winX = 0, winY = 0;
  unsigned int mask = 0;
  if (!XQueryPointer(mX->display, mX->window, &root, &child, &rootX, &rootY, &winX, &winY, &mask))
    return;
  mHiddenCursorX = mCursorX = static_cast<float>(winX) / k;
  mHiddenCursorY = mCursorY = static_cast<float>(winY) / k;
}

int IGraphicsX11::SetMouseCursor(int cursorType)
{
  const int previous = IGraphics::SetMouseCursor(cursorType);
  if (!mX || !mX->window || mCursorHidden)
    return previous;
  const size_t index =
    (cursorType >= 0 && cursorType < static_cast<int>(std::size(kCursorShapes))) ? static_cast<size_t>(cursorType) : 0;
  Cursor& cursor = mX->cursors[index];
  if (!cursor)
    cursor = XCreateFontCursor(mX->display, kCursorShapes[index]);
  XDefineCursor(mX->display, mX->window, cursor);
  XFlush(mX->display);
  return previous;
}

// ---- 4. OpenGL context ------------------------------------------------------------------------

void IGraphicsX11::ActivateGLContext()
{
  if (!mX || !mX->context || !mX->window)
    return;
  mX->savedDisplay = glXGetCurrentDisplay();
  mX->savedDrawable = glXGetCurrentDrawable();
  mX->savedContext = glXGetCurrentContext();
  glXMakeCurrent(mX->display, mX->window, mX->context);
}

void IGraphicsX11::DeactivateGLContext()
{
  if (!mX || !mX->context)
    return;
  // The host may draw with GL on this thread too: whatever it had current is current again.
  if (mX->savedDisplay && mX->savedContext)
    glXMakeCurrent(mX->savedDisplay, mX->savedDrawable, mX->savedContext);
  else
    glXMakeCurrent(mX->display, None, nullptr);
  mX->savedDisplay = nullptr;
  mX->savedDrawable = 0;
  mX->savedContext = nullptr;
}

renderer::GetProcAddressFn IGraphicsX11::GetGLProcAddress() const { return &ResolveGLProc; }

bool IGraphicsX11::CreateWindowAndContext(unsigned long parent, int width, int height)
{
  Display* display = mX->display;
  X11ErrorTrap trap(display);

  XWindowAttributes parentAttributes{};
  if (!XGetWindowAttributes(display, parent, &parentAttributes) || trap.Failed())
  {
    TRACE_F("the host's window 0x%lx does not exist", parent);
    return false;
  }
  const int screen = XScreenNumberOfScreen(parentAttributes.screen);

  // Double buffered RGBA with depth and stencil, on a visual of the parent's depth where one
  // offers it, so the window needs no compositing to show.
  const int attributes[] = {GLX_X_RENDERABLE, True, GLX_DRAWABLE_TYPE, GLX_WINDOW_BIT, GLX_RENDER_TYPE,
                            GLX_RGBA_BIT, GLX_DOUBLEBUFFER, True, GLX_RED_SIZE, 8, GLX_GREEN_SIZE, 8,
                            GLX_BLUE_SIZE, 8, GLX_DEPTH_SIZE, 24, GLX_STENCIL_SIZE, 8, None};
  int count = 0;
  GLXFBConfig* configs = glXChooseFBConfig(display, screen, attributes, &count);
  if (!configs || count == 0)
  {
    TRACE_F("the X server offers no double-buffered RGBA GLX configuration");
    if (configs)
      XFree(configs);
    return false;
  }
  GLXFBConfig chosen = configs[0];
  for (int i = 0; i < count; ++i)
  {
    XVisualInfo* visual = glXGetVisualFromFBConfig(display, configs[i]);
    const bool sameDepth = visual && visual->depth == parentAttributes.depth;
    if (visual)
      XFree(visual);
    if (sameDepth)
    {
      chosen = configs[i];
      break;
    }
  }
  XFree(configs);
  mX->config = chosen;

  XVisualInfo* visual = glXGetVisualFromFBConfig(display, chosen);
  if (!visual)
    return false;
  mX->colormap = XCreateColormap(display, RootWindow(display, screen), visual->visual, AllocNone);
  XSetWindowAttributes wa{};
  wa.colormap = mX->colormap;
  wa.border_pixel = 0;
  wa.background_pixmap = None;
  wa.event_mask = ExposureMask | ButtonPressMask | ButtonReleaseMask | PointerMotionMask | KeyPressMask |
                  KeyReleaseMask | EnterWindowMask | LeaveWindowMask | StructureNotifyMask | FocusChangeMask;
  mX->window = XCreateWindow(display, parent, 0, 0, static_cast<unsigned>(std::max(width, 1)),
                             static_cast<unsigned>(std::max(height, 1)), 0, visual->depth, InputOutput,
                             visual->visual, CWColormap | CWBorderPixel | CWBackPixmap | CWEventMask, &wa);
  XFree(visual);
  if (!mX->window || trap.Failed())
  {
    TRACE_F("the editor's window could not be made in 0x%lx", parent);
    mX->window = 0;
    return false;
  }
  XStoreName(display, mX->window, "IPlug");
  // The density lives in the root window's resources: a change there reaches the editor.
  XSelectInput(display, RootWindow(display, screen), PropertyChangeMask);

  mX->context = glXCreateNewContext(display, chosen, GLX_RGBA_TYPE, nullptr, True);
  if (!mX->context || trap.Failed())
  {
    TRACE_F("no GLX context for the editor's window");
    mX->context = nullptr;
    return false;
  }
  XMapWindow(display, mX->window);
  return true;
}

void IGraphicsX11::DestroyWindowAndContext()
{
  Display* display = mX->display;
  {
    X11ErrorTrap trap(display);
    if (mX->context)
    {
      if (glXGetCurrentContext() == mX->context)
        glXMakeCurrent(display, None, nullptr);
      glXDestroyContext(display, mX->context);
    }
    for (Cursor cursor : mX->cursors)
      if (cursor)
        XFreeCursor(display, cursor);
    if (mX->invisible)
      XFreeCursor(display, mX->invisible);
    // The host may have destroyed its window, and ours with it, before closing the editor.
    if (mX->window)
      XDestroyWindow(display, mX->window);
    if (mX->colormap)
      XFreeColormap(display, mX->colormap);
  }
  if (mX->keyState)
    xkb_state_unref(mX->keyState);
  if (mX->keymap)
    xkb_keymap_unref(mX->keymap);
  if (mX->xkbContext)
    xkb_context_unref(mX->xkbContext);
  UnguardDisplay(display);
  XCloseDisplay(display);
  mX.reset();
}

// ---- 5. Opening and closing -------------------------------------------------------------------

void* IGraphicsX11::OpenPlatformWindow(void* pParent)
{
  if (mX)
    ClosePlatformWindow();

  Display* display = XOpenDisplay(nullptr);
  if (!display)
  {
    TRACE_F("no X display to open the editor on");
    return nullptr;
  }
  GuardDisplay(display);
  mX = std::make_unique<X11Connection>();
  mX->display = display;
  mX->parent = ToWindow(pParent);
  mX->clipboard = XInternAtom(display, "CLIPBOARD", False);
  mX->utf8String = XInternAtom(display, "UTF8_STRING", False);
  mX->targets = XInternAtom(display, "TARGETS", False);
  mX->selectionProperty = XInternAtom(display, "CORVANE_SELECTION", False);
  mX->resourceManager = XInternAtom(display, "RESOURCE_MANAGER", False);
  mX->deleteWindow = XInternAtom(display, "WM_DELETE_WINDOW", False);

  // The density first: the window opens at its final size.
  const float scale = ReadScreenScale();
  const int w = static_cast<int>(static_cast<float>(static_cast<int>(static_cast<float>(Width()) * GetDrawScale())) * scale);
  const int h = static_cast<int>(static_cast<float>(static_cast<int>(static_cast<float>(Height()) * GetDrawScale())) * scale);

  bool ready = CreateWindowAndContext(mX->parent, w, h);
  if (ready)
  {
    ActivateGLContext();
    OnViewInitialized(nullptr);
    DeactivateGLContext();
    ready = GetDrawContext() != nullptr;
    if (!ready)
      TRACE_F("the editor window has no renderer");
  }
  if (!ready)
  {
    // A window that can never draw is no editor: the host hears that none opened, and nothing
    // of this attempt stays behind.
    DestroyWindowAndContext();
    return nullptr;
  }

  // Keys as the keyboard's layout gives them; without XKB on the server the editor takes no keys.
  if (xcb_connection_t* xcb = XGetXCBConnection(display))
  {
    mX->xkbContext = xkb_context_new(XKB_CONTEXT_NO_FLAGS);
    const int32_t device = mX->xkbContext ? xkb_x11_get_core_keyboard_device_id(xcb) : -1;
    if (device >= 0)
      mX->keymap = xkb_x11_keymap_new_from_device(mX->xkbContext, xcb, device, XKB_KEYMAP_COMPILE_NO_FLAGS);
    if (mX->keymap)
      mX->keyState = xkb_x11_state_new_from_device(mX->keymap, xcb, device);
  }

  SetScreenScale(scale);
  if (GetDelegate())
    GetDelegate()->LayoutEditor(this);
  SetAllControlsDirty();
  SetMouseCursor(GetCursorType());
  XFlush(display);
  mNextTick = std::chrono::steady_clock::now();

  if (GetDelegate())
    GetDelegate()->OnEditorOpen();
  return FromWindow(mX->window);
}

void IGraphicsX11::ClosePlatformWindow()
{
  if (!mX)
    return;
  {
    // The host may have destroyed its window, and ours with it, before closing the editor.
    X11ErrorTrap trap(mX->display);
    ActivateGLContext();
    OnViewDestroyed();
    DeactivateGLContext();
  }
  DestroyWindowAndContext();
  mClipboardText.clear();
  mLastPressButton = 0;
}

// ---- 6. Density and resizing ------------------------------------------------------------------

float IGraphicsX11::ScaleFromResources(const char* resources)
{
  if (!resources || !*resources)
    return 1.f;
  XrmInitialize();
  XrmDatabase db = XrmGetStringDatabase(resources);
  if (!db)
    return 1.f;
  float scale = 1.f;
  char* type = nullptr;
  XrmValue value{};
  if (XrmGetResource(db, "Xft.dpi", "Xft.Dpi", &type, &value) && value.addr)
  {
    const float dpi = std::strtof(value.addr, nullptr);
    // Nothing the editor could be drawn at: the plain density.
    if (std::isfinite(dpi) && dpi >= 24.f && dpi <= 960.f)
      scale = dpi / 96.f;
  }
  XrmDestroyDatabase(db);
  return scale;
}

float IGraphicsX11::ReadScreenScale() const
{
  // Read from the server, not from what the connection saw when it opened: the user may have
  // changed the density since.
  Atom type = None;
  int format = 0;
  unsigned long items = 0, remaining = 0;
  unsigned char* data = nullptr;
  float scale = 1.f;
  if (XGetWindowProperty(mX->display, DefaultRootWindow(mX->display), mX->resourceManager, 0, 1 << 20, False,
                         XA_STRING, &type, &format, &items, &remaining, &data) == Success &&
      data && format == 8)
  {
    const std::string text(reinterpret_cast<const char*>(data), items);
    scale = ScaleFromResources(text.c_str());
  }
  if (data)
    XFree(data);
  return scale;
}

void IGraphicsX11::PlatformResize(bool parentHasResized)
{
  if (!mX || !mX->window)
    return;
  const float s = GetScreenScale();
  const int w = static_cast<int>(static_cast<float>(static_cast<int>(static_cast<float>(Width()) * GetDrawScale())) * s);
  const int h = static_cast<int>(static_cast<float>(static_cast<int>(static_cast<float>(Height()) * GetDrawScale())) * s);

  XWindowAttributes current{};
  if (XGetWindowAttributes(mX->display, mX->window, &current) && current.width == w && current.height == h)
    return;
  XResizeWindow(mX->display, mX->window, static_cast<unsigned>(w), static_cast<unsigned>(h));
  // A host that has not resized its window for the editor asks for nothing: its window follows.
  bool hostResized = parentHasResized;
  if (!hostResized && mHostResize)
    hostResized = mHostResize(w, h);
  if (!hostResized && mX->parent)
  {
    X11ErrorTrap trap(mX->display);
    XResizeWindow(mX->display, mX->parent, static_cast<unsigned>(w), static_cast<unsigned>(h));
  }
  XFlush(mX->display);
}

void IGraphicsX11::DrawResize()
{
  ActivateGLContext();
  IGraphicsVectorGL::DrawResize();
  DeactivateGLContext();
}

// ---- 7. Display tick and painting -------------------------------------------------------------

void IGraphicsX11::OnIdle()
{
  if (!mX)
    return;
  ProcessEvents();
  if (!mX)
    return;
  const auto now = std::chrono::steady_clock::now();
  if (now < mNextTick)
    return;
  const auto period = std::chrono::microseconds(1000000 / std::max(FPS(), 1));
  mNextTick += period;
  // Late by more than a period: the missed ticks are stale, the next one is a period from now.
  if (mNextTick <= now)
    mNextTick = now + period;
  OnDisplayTick();
}

void IGraphicsX11::OnDisplayTick()
{
  IRectList rects;
  if (!IsDirty(rects))
  {
    // Nothing to draw: the time goes to what the next frame would otherwise wait for.
    if (mX && mX->window && FrameCopyWarmUpDue())
    {
      ActivateGLContext();
      WarmUpFrameCopy();
      DeactivateGLContext();
    }
    return;
  }
  SetAllControlsClean();
  Paint(rects);
}

void IGraphicsX11::Paint(IRectList& rects)
{
  if (!mX || !mX->window || rects.Count() == 0)
    return;
  ActivateGLContext();
  Draw(rects);
  glXSwapBuffers(mX->display, mX->window);
  DeactivateGLContext();
}

} // namespace iplug::igraphics
