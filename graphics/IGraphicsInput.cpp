// Input dispatch of the graphics context: which control a pointer or key event belongs to.
//
// Index:
//   1. Hit testing and capture
//   2. Mouse down, up and drag
//   3. Double click, hover, wheel, drop
//   4. Keys

#include <algorithm>
#include <cstdio>

#include "AAX_IViewContainer.h"
#include "IControl.h"
#include "ICornerResizerControl.h"
#include "IGEditorDelegate.h"
#include "IGraphics.h"
#include "IPlugLogger.h"

namespace iplug::igraphics {

namespace {

// The modifier bits the AAX host expects with a parameter click.
constexpr uint32_t kHostShift = 1;
constexpr uint32_t kHostAlt = 4;
constexpr uint32_t kHostControl = 8;
constexpr uint32_t kHostSecondaryButton = 16;

uint32_t HostModifiers(const IMouseMods& mod)
{
  uint32_t bits = 0;
  if (mod.S)
    bits |= kHostShift;
  if (mod.A)
    bits |= kHostAlt;
  if (mod.C)
    bits |= kHostControl;
  if (mod.R)
    bits |= kHostSecondaryButton;
  return bits;
}

// Every slot of the control linked to a parameter, in slot order, gets the delegate call.
template <typename F>
void ForLinkedParams(const IControl& control, F&& func)
{
  for (int slot = 0; slot < control.NVals(); ++slot)
  {
    const int paramIdx = control.GetParamIdx(slot);
    if (paramIdx >= 0)
      func(paramIdx);
  }
}

} // namespace

// ---- 1. Hit testing and capture --------------------------------------------------------------

IControl* IGraphics::GetMouseControl(float x, float y, bool capture, bool mouseOver, uint64_t touchID)
{
  auto captured = mCapturedMap.find(touchID);
  if (captured != mCapturedMap.end() && captured->second)
    return captured->second;

  IControl* control = nullptr;
  int controlIdx = -1;

  // Overlays sit above every ordinary control. The popup menu and text entry controls are never
  // created by this editor; were one attached, it would take the pointer only while open, which
  // the control library that made it would report through capture.
  if (mCornerResizer && mCornerResizer->GetRECT().Contains(x, y))
    control = mCornerResizer.get();
  else if (mPerfDisplay && mPerfDisplay->GetRECT().Contains(x, y))
    control = mPerfDisplay.get();

  if (!control && (!mouseOver || mEnableMouseOver))
  {
    // The background (index 0) takes clicks but is never the hovered control.
    const int last = mouseOver ? 1 : 0;
    for (int i = NControls() - 1; i >= last; --i)
    {
      IControl* c = mControls[static_cast<size_t>(i)].get();
      if (c->IsHidden() || c->GetIgnoreMouse())
        continue;
      if (c->IsDisabled() && !(mouseOver ? c->GetMouseOverWhenDisabled() : c->GetMouseEventsWhenDisabled()))
        continue;
      if (c->IsHit(x, y))
      {
        control = c;
        controlIdx = i;
        break;
      }
    }
  }

  if (capture && control)
  {
    // A second finger on a control that serves one touch at a time goes nowhere.
    if (mEnableMultiTouch && ControlIsCaptured(control) && !control->GetWantsMultiTouch())
      return nullptr;
    mCapturedMap[touchID] = control;
  }

  if (mouseOver)
    mMouseOverIdx = controlIdx;

  return control;
}

// ---- 2. Mouse down, up and drag --------------------------------------------------------------

void IGraphics::OnMouseDown(const std::vector<IMouseEvent>& points)
{
  if (points.size() == 1)
  {
    mMouseDownX = points[0].x;
    mMouseDownY = points[0].y;
  }

  for (const IMouseEvent& point : points)
  {
    const float x = point.x;
    const float y = point.y;
    const IMouseMods& mod = point.ms;

    IControl* control = GetMouseControl(x, y, true, false, mod.touchID);
    if (!control)
      continue;

    const int valIdx = control->GetValIdxForPos(x, y);
    const int paramIdx = control->GetParamIdx(std::max(valIdx, 0));

    if (mViewContainer && paramIdx >= 0)
    {
      uint32_t hostModifiers = 0;
      mViewContainer->GetModifiers(&hostModifiers);
      const uint32_t bits = HostModifiers(mod) | hostModifiers;
      char paramID[32];
      std::snprintf(paramID, sizeof(paramID), "%i", paramIdx + 1);
      // The host took the click (automation menu, a modifier shortcut): the editor stays as it is.
      if (mViewContainer->HandleParameterMouseDown(paramID, bits) == 0)
      {
        ReleaseMouseCapture();
        return;
      }
    }

    if (mod.R && paramIdx >= 0)
    {
      ReleaseMouseCapture();
      // The context menu of the parameter: only items that the control adds itself.
      mPromptMenu.Clear();
      control->CreateContextMenu(mPromptMenu);
      if (mPromptMenu.NItems() > 0)
      {
        bool isAsync = false;
        IPopupMenu* chosen = CreatePlatformPopupMenu(mPromptMenu, IRect(x, y, x, y), isAsync);
        // A context choice is not a value: the control hears it without a value slot.
        if (!isAsync)
          control->OnPopupMenuSelection(chosen, kNoValIdx);
      }
      return;
    }

    if (mDelegate)
      ForLinkedParams(*control, [this](int idx) { mDelegate->FromEditorBeginParamGesture(idx); });
    control->OnMouseDown(x, y, mod);
  }
}

void IGraphics::OnMouseUp(const std::vector<IMouseEvent>& points)
{
  if (!mCapturedMap.empty())
  {
    for (const IMouseEvent& point : points)
    {
      auto it = mCapturedMap.find(point.ms.touchID);
      if (it == mCapturedMap.end())
        continue;
      IControl* control = it->second;
      if (control)
      {
        control->OnMouseUp(point.x, point.y, point.ms);
        if (mDelegate)
          ForLinkedParams(*control, [this](int idx) { mDelegate->FromEditorEndParamGesture(idx); });
      }
      // Erased by key: the control's reaction may already have released every capture.
      mCapturedMap.erase(point.ms.touchID);
    }
  }

  if (mResizingInProcess)
  {
    mResizingInProcess = false;
    // A zoom drag rescales at its end only, so bitmaps are not reloaded on every step.
    if (mResizerMode == kResizeModeScale)
      ForAllControls([](IControl* c) { c->OnRescale(); });
    // The drag drew into a target made for the largest size it could reach: fitted to the size
    // it left, and drawn whole again.
    DrawResize();
    SetAllControlsDirty();
  }

  if (points.size() == 1 && points[0].ms.touchID == 0)
  {
    const IMouseEvent& point = points[0];
    IControl* control = GetMouseControl(point.x, point.y, false, true, 0);
    if (control != mMouseOver)
    {
      if (mMouseOver)
        mMouseOver->OnMouseOut();
      mMouseOver = control;
    }
    if (control)
      control->OnMouseOver(point.x, point.y, point.ms);
  }
}

void IGraphics::OnMouseDrag(const std::vector<IMouseEvent>& points)
{
  if (mResizingInProcess && points.size() == 1)
  {
    const IMouseEvent& point = points[0];
    if (mResizerMode == kResizeModeSize)
    {
      Resize(static_cast<int>(point.x), static_cast<int>(point.y), mDrawScale, true);
    }
    else
    {
      // The zoom follows the pointer relative to where the drag began; a start on the window's
      // edge gives a non-finite ratio, which Resize ignores.
      const float scaleY = mDrawScale * point.y / mMouseDownY;
      const float scaleX = mDrawScale * point.x / mMouseDownX;
      Resize(mWidth, mHeight, std::min(scaleY, scaleX), true);
    }
    return;
  }

  if (mCapturedMap.empty())
    return;

  // While a control waits for its text entry, only the entry control (when there is one) drags.
  if (mInTextEntry && !mTextEntryControl)
    return;

  for (const IMouseEvent& point : points)
  {
    auto it = mCapturedMap.find(point.ms.touchID);
    if (it == mCapturedMap.end() || !it->second)
      continue;
    IControl* control = it->second;
    if (mTextEntryControl && control != mTextEntryControl.get())
      continue;
    if (point.dX != 0.f || point.dY != 0.f)
      control->OnMouseDrag(point.x, point.y, point.dX, point.dY, point.ms);
  }
}

// ---- 3. Double click, hover, wheel, drop -----------------------------------------------------

bool IGraphics::OnMouseDblClick(float x, float y, const IMouseMods& mod)
{
  IControl* control = GetMouseControl(x, y, true, false, 0);
  if (!control)
    return false;

  if (!control->GetDblAsSingleClick())
  {
    control->OnMouseDblClick(x, y, mod);
    // No mouse-up follows for the control: the press was a double click, not a drag.
    ReleaseMouseCapture();
    return true;
  }

  IMouseEvent point;
  point.x = x;
  point.y = y;
  point.ms = mod;
  OnMouseDown({point});
  return true;
}

bool IGraphics::OnMouseOver(float x, float y, const IMouseMods& mod)
{
  IControl* control = GetMouseControl(x, y, false, true, 0);
  if (control != mMouseOver)
  {
    if (mMouseOver)
      mMouseOver->OnMouseOut();
    mMouseOver = control;
  }
  if (control)
    control->OnMouseOver(x, y, mod);
  return control != nullptr;
}

void IGraphics::OnMouseOut()
{
  // The cursor shown inside is remembered, so the window can show it again on re-entry.
  mCursorType = SetMouseCursor(kArrowCursor);
  ForAllControls([](IControl* c) { c->OnMouseOut(); });
  mMouseOver = nullptr;
  mMouseOverIdx = -1;
}

void IGraphics::OnMouseWheel(float x, float y, const IMouseMods& mod, float delta)
{
  if (IControl* control = GetMouseControl(x, y, false, false, 0))
    control->OnMouseWheel(x, y, mod, delta);
}

void IGraphics::OnDrop(const char* path, float x, float y)
{
  if (IControl* control = GetMouseControl(x, y, false, false, 0))
    control->OnDrop(path);
}

// ---- 4. Keys ---------------------------------------------------------------------------------

bool IGraphics::OnKeyDown(float x, float y, const IKeyPress& key)
{
  Trace("IGraphics::OnKeyDown", __LINE__, "x:%0.2f, y:%0.2f, key:%s", static_cast<double>(x),
        static_cast<double>(y), key.utf8);

  IControl* control = GetMouseControl(x, y, false, false, 0);
  // Keys over the background are the editor's, not the background control's.
  if (control && control != GetControl(0) && control->OnKeyDown(x, y, key))
    return true;
  return mKeyHandlerFunc ? mKeyHandlerFunc(key, false) : false;
}

bool IGraphics::OnKeyUp(float x, float y, const IKeyPress& key)
{
  Trace("IGraphics::OnKeyUp", __LINE__, "x:%0.2f, y:%0.2f, key:%s", static_cast<double>(x),
        static_cast<double>(y), key.utf8);

  IControl* control = GetMouseControl(x, y, false, false, 0);
  if (control && control != GetControl(0) && control->OnKeyUp(x, y, key))
    return true;
  return mKeyHandlerFunc ? mKeyHandlerFunc(key, true) : false;
}

} // namespace iplug::igraphics
