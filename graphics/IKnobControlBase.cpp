#include "IKnobControlBase.h"

#include <algorithm>

#include "IGraphics.h"
#include "IParam.h"

namespace iplug::igraphics {

namespace {

bool IsStepped(const IParam* param)
{
  return param && (param->Flags() & IParam::kFlagStepped) && param->Step() > 0.0;
}

} // namespace

IKnobControlBase::IKnobControlBase(const IRect& bounds, int paramIdx, EDirection direction, double gearing)
  : IControl(bounds, paramIdx), mDirection(direction), mGearing(gearing)
{
}

void IKnobControlBase::OnMouseDown(float x, float y, const IMouseMods& mod)
{
  mMouseDown = true;
  mDragValue = GetValue(0);
  if (mHideCursorOnDrag && mGraphics)
    mGraphics->HideMouseCursor(true, true);
  if (mod.R)
    PromptUserInput(GetValIdxForPos(x, y));
}

void IKnobControlBase::OnMouseUp(float x, float y, const IMouseMods& mod)
{
  (void) x;
  (void) y;
  (void) mod;
  if (mHideCursorOnDrag && mGraphics)
    mGraphics->HideMouseCursor(false, true);
  mMouseDown = false;
  SetDirty(false);
}

void IKnobControlBase::OnMouseDrag(float x, float y, float dX, float dY, const IMouseMods& mod)
{
  (void) x;
  (void) y;
  const double gearing = mGearing * ((mod.C || mod.S) ? 10.0 : 1.0);

  const IRect r = GetKnobDragBounds();
  double range = 0.0;
  double delta = 0.0;
  if (mDirection == EDirection::Vertical)
  {
    range = static_cast<double>(r.T - r.B); // negative: moving up (dY < 0) increases the value
    delta = static_cast<double>(dY);
  }
  else
  {
    range = static_cast<double>(r.R - r.L);
    delta = static_cast<double>(dX);
  }
  // Without an extent or a gearing there is no scale to drag on.
  if (range == 0.0 || !(gearing > 0.0))
    return;

  mDragValue = std::clamp(mDragValue + delta / range / gearing, 0.0, 1.0);

  double v = mDragValue;
  const IParam* param = GetParam(0);
  if (IsStepped(param))
    v = param->ConfineNormalized(v);

  SetValue(v, 0);
  SetDirty(true, kNoValIdx);
}

void IKnobControlBase::OnMouseWheel(float x, float y, const IMouseMods& mod, float delta)
{
  (void) x;
  (void) y;
  const double increment = (mod.C || mod.S) ? 0.001 : 0.01;
  const double current = GetValue(0);
  double v = current;

  const IParam* param = GetParam(0);
  if (IsStepped(param))
  {
    // One step per wheel event, whatever the wheel's resolution.
    if (delta != 0.f)
    {
      const double real = param->Confine(param->FromNormalized(current));
      v = param->ToNormalized(delta > 0.f ? real + param->Step() : real - param->Step());
    }
  }
  else
  {
    v = current + static_cast<double>(delta) * increment;
  }

  SetValue(v, 0);
  SetDirty(true, kNoValIdx);
}

} // namespace iplug::igraphics
