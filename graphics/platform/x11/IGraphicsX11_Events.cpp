// The editor's X events: exposure, pointer buttons, motion, wheel, crossing, keys, the density
// changing on the root window, and the requests for the selection the editor owns.

#include "IGraphicsX11.h"

#include <X11/Xatom.h>
#include <X11/Xutil.h>
#include <xkbcommon/xkbcommon.h>

#include <cmath>
#include <cstdlib>
#include <cstring>

#include "IPlugLogger.h"
#include "X11Connection.h"
#include "X11ErrorTrap.h"
#include "X11KeyCodes.h"

namespace iplug::igraphics {

namespace {

// Two presses of one button make a double click when they come this close, in time and in
// physical pixels on each axis (the desktop's usual limits).
constexpr unsigned long kDoubleClickMs = 400;
constexpr int kDoubleClickDistance = 4;

IRect ToLogical(int x, int y, int w, int h, float k)
{
  return IRect(std::floor(static_cast<float>(x) / k), std::floor(static_cast<float>(y) / k),
               std::ceil(static_cast<float>(x + w) / k), std::ceil(static_cast<float>(y + h) / k));
}

// Buttons 1 and 3 are the framework's L and R; shift, control and alt (Mod1) its S, C, A.
IMouseMods ModsFromState(unsigned int state)
{
  return IMouseMods((state & Button1Mask) != 0, (state & Button3Mask) != 0, (state & ShiftMask) != 0,
                    (state & ControlMask) != 0, (state & Mod1Mask) != 0);
}

unsigned int ButtonMask(unsigned int button)
{
  switch (button)
  {
    case Button1: return Button1Mask;
    case Button2: return Button2Mask;
    case Button3: return Button3Mask;
    default: return 0;
  }
}

} // namespace

void IGraphicsX11::ProcessEvents()
{
  IRectList exposed;
  const float k = GetBackingPixelScale();
  while (mX && XPending(mX->display) > 0)
  {
    XEvent event{};
    XNextEvent(mX->display, &event);
    if (event.type == Expose && event.xexpose.window == mX->window)
      exposed.Add(ToLogical(event.xexpose.x, event.xexpose.y, event.xexpose.width, event.xexpose.height, k));
    else
      HandleEvent(&event);
  }
  // Everything the server uncovered in one go, drawn as one frame.
  if (mX && exposed.Count() > 0)
    Paint(exposed);
}

void IGraphicsX11::HandleEvent(void* pEvent)
{
  XEvent& event = *static_cast<XEvent*>(pEvent);
  switch (event.type)
  {
    case ButtonPress:
      HandleButton(pEvent, true);
      break;
    case ButtonRelease:
      HandleButton(pEvent, false);
      break;
    case MotionNotify:
      // Only the latest position of a run of moves matters: the drag's deltas add up the same.
      // A move after a press or release belongs to another gesture and is not taken early.
      while (XEventsQueued(mX->display, QueuedAlready) > 0)
      {
        XEvent next{};
        XPeekEvent(mX->display, &next);
        if (next.type != MotionNotify || next.xmotion.window != mX->window)
          break;
        XNextEvent(mX->display, &event);
      }
      HandleMotion(pEvent);
      break;
    case KeyPress:
      HandleKey(pEvent, true);
      break;
    case KeyRelease:
      HandleKey(pEvent, false);
      break;
    case LeaveNotify:
      // A press grabs the pointer; leaving while dragging is no leaving.
      if (event.xcrossing.mode == NotifyNormal && !(event.xcrossing.state & (Button1Mask | Button3Mask)))
        OnMouseOut();
      break;
    case PropertyNotify:
      if (event.xproperty.atom == mX->resourceManager)
      {
        const float scale = ReadScreenScale();
        if (scale != GetScreenScale())
          SetScreenScale(scale);
      }
      break;
    case SelectionRequest:
      HandleSelectionRequest(pEvent);
      break;
    case SelectionClear:
      if (event.xselectionclear.selection == mX->clipboard)
        mClipboardText.clear();
      break;
    case DestroyNotify:
      // The host took its window away with ours in it: nothing is left to draw on.
      if (event.xdestroywindow.window == mX->window)
        mX->window = 0;
      break;
    default:
      break;
  }
}

void IGraphicsX11::HandleButton(void* pEvent, bool press)
{
  const XButtonEvent& e = static_cast<XEvent*>(pEvent)->xbutton;
  const float k = GetBackingPixelScale();
  const float x = static_cast<float>(e.x) / k, y = static_cast<float>(e.y) / k;

  // Buttons 4 to 7 are the wheel's notches: up and down, left and right.
  if (e.button >= 4 && e.button <= 7)
  {
    if (!press)
      return;
    mCursorX = x;
    mCursorY = y;
    const float delta = (e.button == 4 || e.button == 7) ? 1.f : -1.f;
    OnMouseWheel(x, y, ModsFromState(e.state), delta);
    return;
  }

  // The state is the buttons before this event: a press adds its button, a release takes it away.
  const unsigned int state = press ? (e.state | ButtonMask(e.button)) : (e.state & ~ButtonMask(e.button));
  IMouseEvent event;
  event.x = x;
  event.y = y;
  event.ms = ModsFromState(state);
  // The middle button carries neither L nor R.
  if (e.button == Button2)
    event.ms.L = event.ms.R = false;
  mCursorX = x;
  mCursorY = y;
  mTabletInput = false;

  if (!press)
  {
    OnMouseUp({event});
    return;
  }

  // The keyboard follows the pointer into the editor, as a click gives a window the focus.
  {
    // A window the host is unmapping at this moment cannot take the focus; that is no failure.
    X11ErrorTrap trap(mX->display);
    XSetInputFocus(mX->display, mX->window, RevertToParent, e.time);
  }

  const bool isDouble = e.button == mLastPressButton && e.button != Button2 && e.time - mLastPressTime <= kDoubleClickMs &&
                        std::abs(e.x - mLastPressX) <= kDoubleClickDistance &&
                        std::abs(e.y - mLastPressY) <= kDoubleClickDistance;
  if (isDouble)
  {
    // A third press starts counting again.
    mLastPressButton = 0;
    OnMouseDblClick(x, y, event.ms);
    return;
  }
  mLastPressButton = e.button;
  mLastPressTime = e.time;
  mLastPressX = e.x;
  mLastPressY = e.y;
  OnMouseDown({event});
}

void IGraphicsX11::HandleMotion(void* pEvent)
{
  const XMotionEvent& e = static_cast<XEvent*>(pEvent)->xmotion;
  const float k = GetBackingPixelScale();
  const float previousX = mCursorX, previousY = mCursorY;
  IMouseEvent event;
  event.x = static_cast<float>(e.x) / k;
  event.y = static_cast<float>(e.y) / k;
  event.ms = ModsFromState(e.state);
  mCursorX = event.x;
  mCursorY = event.y;

  if (e.state & (Button1Mask | Button3Mask))
  {
    if (mInTextEntry && !mTextEntryControl)
      return;
    event.dX = event.x - previousX;
    event.dY = event.y - previousY;
    if (event.dX == 0.f && event.dY == 0.f)
      return;
    OnMouseDrag({event});
    if (mCursorLock)
    {
      // Moving the pointer back reads the position back into the lock position too.
      const float lockX = mHiddenCursorX, lockY = mHiddenCursorY;
      MoveMouseCursor(lockX, lockY);
      mHiddenCursorX = lockX;
      mHiddenCursorY = lockY;
    }
  }
  else
  {
    OnMouseOver(event.x, event.y, event.ms);
  }
}

void IGraphicsX11::HandleKey(void* pEvent, bool press)
{
  XKeyEvent& e = static_cast<XEvent*>(pEvent)->xkey;
  bool handled = false;
  if (mX->keyState)
  {
    // The event's own modifier and group state, so keys synthesised by a test or another client
    // read as the user meant them.
    xkb_state_update_mask(mX->keyState, e.state & 0xFF, 0, 0, 0, 0, (e.state >> 13) & 3);
    const xkb_keycode_t keycode = e.keycode;
    const xkb_layout_index_t layout = xkb_state_key_get_layout(mX->keyState, keycode);
    const xkb_keysym_t* syms = nullptr;
    const int n = xkb_keymap_key_get_syms_by_level(mX->keymap, keycode, layout, 0, &syms);
    const int vk = n > 0 ? VirtualKeyFromKeysym(syms[0]) : 0;

    char utf8[8] = {};
    if (press)
      xkb_state_key_get_utf8(mX->keyState, keycode, utf8, sizeof(utf8));
    IKeyPress key(nullptr, vk, (e.state & ShiftMask) != 0, (e.state & ControlMask) != 0, (e.state & Mod1Mask) != 0);
    // One character at most, as the key press holds it.
    if (std::strlen(utf8) < sizeof(key.utf8))
      std::memcpy(key.utf8, utf8, sizeof(key.utf8));

    const float k = GetBackingPixelScale();
    const float x = static_cast<float>(e.x) / k, y = static_cast<float>(e.y) / k;
    handled = press ? OnKeyDown(x, y, key) : OnKeyUp(x, y, key);
  }
  if (handled || !mX->parent)
    return;
  // The host gets the keys the editor does not use (its transport, its shortcuts).
  e.window = mX->parent;
  X11ErrorTrap trap(mX->display);
  XSendEvent(mX->display, mX->parent, True, press ? KeyPressMask : KeyReleaseMask, static_cast<XEvent*>(pEvent));
}

void IGraphicsX11::HandleSelectionRequest(void* pEvent)
{
  const XSelectionRequestEvent& request = static_cast<XEvent*>(pEvent)->xselectionrequest;
  XSelectionEvent reply{};
  reply.type = SelectionNotify;
  reply.display = request.display;
  reply.requestor = request.requestor;
  reply.selection = request.selection;
  reply.target = request.target;
  reply.time = request.time;
  // An old client names no property: the target is the property.
  const Atom property = request.property != None ? request.property : request.target;
  reply.property = None;

  if (request.selection == mX->clipboard)
  {
    if (request.target == mX->targets)
    {
      const Atom offered[] = {mX->targets, mX->utf8String, XA_STRING};
      XChangeProperty(mX->display, request.requestor, property, XA_ATOM, 32, PropModeReplace,
                      reinterpret_cast<const unsigned char*>(offered), 3);
      reply.property = property;
    }
    else if (request.target == mX->utf8String || request.target == XA_STRING)
    {
      XChangeProperty(mX->display, request.requestor, property, request.target, 8, PropModeReplace,
                      reinterpret_cast<const unsigned char*>(mClipboardText.data()),
                      static_cast<int>(mClipboardText.size()));
      reply.property = property;
    }
  }
  XSendEvent(mX->display, request.requestor, False, NoEventMask, reinterpret_cast<XEvent*>(&reply));
  XFlush(mX->display);
}

} // namespace iplug::igraphics
