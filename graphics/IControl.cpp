#include "IControl.h"

#include <algorithm>
#include <cmath>
#include <limits>

#include "IGEditorDelegate.h"
#include "IGraphics.h"
#include "IParam.h"
#include "IPopupMenu.h"
#include "MonotonicClock.h"

namespace iplug::igraphics {

IControl::IControl(const IRect& bounds, int paramIdx, IActionFunction action)
  : mRECT(bounds), mTargetRECT(bounds), mActionFunc(std::move(action))
{
  mVals.push_back(ValueSlot{paramIdx, 0.0});
}

IControl::IControl(const IRect& bounds, const std::vector<int>& params, IActionFunction action)
  : mRECT(bounds), mTargetRECT(bounds), mActionFunc(std::move(action))
{
  for (int paramIdx : params)
    mVals.push_back(ValueSlot{paramIdx, 0.0});
  // Every control holds at least one value.
  if (mVals.empty())
    mVals.push_back(ValueSlot{});
}

IControl::~IControl() = default;

// ---- Input hooks ----------------------------------------------------------------------------

void IControl::OnMouseDown(float x, float y, const IMouseMods& mod)
{
  if (mod.R)
    PromptUserInput(GetValIdxForPos(x, y));
}

void IControl::OnMouseUp(float x, float y, const IMouseMods& mod)
{
  (void) x;
  (void) y;
  (void) mod;
}

void IControl::OnMouseDrag(float x, float y, float dX, float dY, const IMouseMods& mod)
{
  (void) x;
  (void) y;
  (void) dX;
  (void) dY;
  (void) mod;
}

void IControl::OnMouseDblClick(float x, float y, const IMouseMods& mod)
{
  (void) mod;
  PromptUserInput(GetValIdxForPos(x, y));
}

void IControl::OnMouseWheel(float x, float y, const IMouseMods& mod, float delta)
{
  (void) x;
  (void) y;
  (void) mod;
  (void) delta;
}

bool IControl::OnKeyDown(float x, float y, const IKeyPress& key)
{
  (void) x;
  (void) y;
  (void) key;
  return false;
}

bool IControl::OnKeyUp(float x, float y, const IKeyPress& key)
{
  (void) x;
  (void) y;
  (void) key;
  return false;
}

void IControl::OnMouseOver(float x, float y, const IMouseMods& mod)
{
  (void) x;
  (void) y;
  (void) mod;
  const bool wasOver = mMouseIsOver;
  mMouseIsOver = true;
  if (!wasOver)
    SetDirty(false);
}

void IControl::OnMouseOut()
{
  const bool wasOver = mMouseIsOver;
  mMouseIsOver = false;
  if (wasOver)
    SetDirty(false);
}

void IControl::OnDrop(const char* path) { (void) path; }

void IControl::OnMsgFromDelegate(int msgTag, int dataSize, const void* pData)
{
  (void) msgTag;
  (void) dataSize;
  (void) pData;
}

void IControl::OnMidi(const MidiMessage& msg) { (void) msg; }

bool IControl::OnGesture(const IGestureInfo& info)
{
  auto it = mGestureFuncs.find(info.type);
  if (it == mGestureFuncs.end())
    return false;
  mLastGesture = info.type;
  it->second(this, info);
  return true;
}

void IControl::CreateContextMenu(IPopupMenu& menu) { (void) menu; }

void IControl::OnPopupMenuSelection(IPopupMenu* pSelectedMenu, int valIdx)
{
  if (!pSelectedMenu || valIdx < 0 || mDisablePrompt)
    return;
  const IParam* param = GetParam(valIdx);
  // A menu closed without a choice carries index −1: nothing was chosen, nothing changes.
  const int chosen = pSelectedMenu->GetChosenItemIdx();
  if (!param || chosen < 0)
    return;
  SetValueFromUserInput(param->ToNormalized(static_cast<double>(chosen)), valIdx);
}

void IControl::OnTextEntryCompletion(const char* str, int valIdx)
{
  (void) str;
  (void) valIdx;
}

// ---- Drawing --------------------------------------------------------------------------------

void IControl::DrawHostHighlight(IGraphics& g)
{
  if (mHighlighted)
    g.FillCircle(mHighlightColor, mRECT.R - 5.f, mRECT.T + 5.f, 2.f, nullptr);
}

// ---- Values ---------------------------------------------------------------------------------

void IControl::SetParamIdx(int paramIdx, int valIdx)
{
  if (!ValidSlot(valIdx))
    return;
  mVals[static_cast<size_t>(valIdx)].paramIdx = paramIdx;
  SetDirty(false);
}

int IControl::GetValIdxForPos(float x, float y) const
{
  (void) x;
  (void) y;
  return NVals() > 1 ? kNoValIdx : 0;
}

void IControl::SetValueFromDelegate(double value, int valIdx)
{
  // The user's hand wins over the host while the control is held.
  if (IsCaptured() || !ValidSlot(valIdx))
    return;
  if (value != GetValue(valIdx))
  {
    SetValue(value, valIdx);
    SetDirty(false);
  }
}

void IControl::SetValueFromUserInput(double value, int valIdx)
{
  if (!ValidSlot(valIdx))
    return;
  if (value != GetValue(valIdx))
  {
    SetValue(value, valIdx);
    SetDirty(true, valIdx);
  }
}

void IControl::SetValueToDefault(int valIdx)
{
  if (NVals() == 1)
    valIdx = 0;

  auto setDefault = [this](int slot) {
    if (const IParam* param = GetParam(slot))
      SetValue(param->DefaultNormalized(), slot);
  };

  if (valIdx >= 0)
    setDefault(valIdx);
  else
    for (int i = 0; i < NVals(); ++i)
      setDefault(i);

  SetDirty(true, valIdx);
}

void IControl::SetValue(double value, int valIdx)
{
  // A value that is not a number would poison everything drawn from it and sent on from it.
  if (!ValidSlot(valIdx) || !std::isfinite(value))
    return;
  mVals[static_cast<size_t>(valIdx)].value = value;
}

double IControl::GetValue(int valIdx) const
{
  return ValidSlot(valIdx) ? mVals[static_cast<size_t>(valIdx)].value : 0.0;
}

int IControl::GetParamIdx(int valIdx) const
{
  return ValidSlot(valIdx) ? mVals[static_cast<size_t>(valIdx)].paramIdx : kNoParameter;
}

const IParam* IControl::GetParam(int valIdx) const
{
  const int paramIdx = GetParamIdx(valIdx);
  if (paramIdx < 0 || !mDelegate)
    return nullptr;
  return mDelegate->GetParam(paramIdx);
}

int IControl::LinkedToParam(int paramIdx) const
{
  for (int i = 0; i < NVals(); ++i)
  {
    if (mVals[static_cast<size_t>(i)].paramIdx == paramIdx)
      return i;
  }
  return -1;
}

// ---- Appearance and geometry ----------------------------------------------------------------

void IControl::SetText(const ITextStyle& style) { mText = style; }

void IControl::SetPosition(float x, float y)
{
  x = std::max(0.f, x);
  y = std::max(0.f, y);
  mMouseIsOver = false;
  const float dx = x - mRECT.L;
  const float dy = y - mRECT.T;
  mRECT = mRECT.MovedTo(x, y);
  OnResize();
  mTargetRECT = mTargetRECT.Offset(dx, dy);
}

void IControl::SetSize(float width, float height)
{
  mMouseIsOver = false;
  const IRect r(mRECT.L, mRECT.T, mRECT.L + std::max(0.f, width), mRECT.T + std::max(0.f, height));
  mRECT = r;
  mTargetRECT = r;
  OnResize();
}

void IControl::Hide(bool hide)
{
  mHide = hide;
  SetDirty(false);
}

void IControl::SetDisabled(bool disable)
{
  mDisabled = disable;
  mBlend.weight = disable ? 0.25f : 1.f;
  SetDirty(false);
}

bool IControl::IsHit(float x, float y) const { return mTargetRECT.Contains(x, y); }

// ---- Dirty state ----------------------------------------------------------------------------

void IControl::SetDirty(bool triggerAction, int valIdx)
{
  if (NVals() == 1)
    valIdx = 0;

  auto clampSlot = [this](int slot) { SetValue(std::clamp(GetValue(slot), 0.0, 1.0), slot); };
  if (valIdx >= 0)
    clampSlot(valIdx);
  else
    for (int i = 0; i < NVals(); ++i)
      clampSlot(i);

  mDirty = true;

  if (!triggerAction)
    return;

  auto sendSlot = [this](int slot) {
    const int paramIdx = GetParamIdx(slot);
    if (paramIdx < 0)
      return;
    if (mDelegate)
      mDelegate->FromEditorParamValue(paramIdx, GetValue(slot));
    if (mGraphics)
      mGraphics->UpdatePeers(this, slot);
  };
  if (valIdx >= 0)
    sendSlot(valIdx);
  else
    for (int i = 0; i < NVals(); ++i)
      sendSlot(i);

  if (mActionFunc)
    mActionFunc(this);
}

void IControl::SetClean() { mDirty = false; }

bool IControl::IsDirty() const { return mAnimationFunc ? true : mDirty; }

void IControl::SnapToMouse(float x, float y, EDirection direction, const IRect& bounds, int valIdx, double minClip,
                           double maxClip)
{
  // A zero-sized area maps no position to a value.
  if (!(bounds.W() > 0.f) || !(bounds.H() > 0.f))
    return;
  x = std::clamp(x, bounds.L, bounds.R);
  y = std::clamp(y, bounds.T, bounds.B);

  double v = direction == EDirection::Horizontal ? static_cast<double>((x - bounds.L) / bounds.W())
                                                  : 1.0 - static_cast<double>((y - bounds.T) / bounds.H());
  v = std::round(v / 0.001) * 0.001;
  v = std::max(minClip, std::min(v, maxClip));

  if (valIdx >= 0)
    SetValue(v, valIdx);
  else
    for (int i = 0; i < NVals(); ++i)
      SetValue(v, i);

  SetDirty(true, valIdx);
}

// ---- Animation ------------------------------------------------------------------------------

void IControl::OnEndAnimation()
{
  mAnimationFunc = nullptr;
  SetDirty(false);
  if (mAnimationEndActionFunc)
    mAnimationEndActionFunc(this);
}

void IControl::SetAnimation(IAnimationFunction func, double durationMs)
{
  mAnimationFunc = std::move(func);
  StartAnimation(durationMs);
}

void IControl::StartAnimation(double durationMs)
{
  mAnimationStartTime = MonotonicMilliseconds();
  mAnimationDuration = durationMs;
}

double IControl::GetAnimationProgress() const
{
  if (!mAnimationFunc)
    return 0.0;
  const double elapsed = MonotonicMilliseconds() - mAnimationStartTime;
  // A zero-length animation is over as soon as it starts (and never reads 0 ÷ 0).
  if (!(mAnimationDuration > 0.0))
    return std::numeric_limits<double>::infinity();
  return elapsed / mAnimationDuration;
}

void IControl::Animate()
{
  if (!mAnimationFunc)
    return;
  // The callable usually ends itself (OnEndAnimation clears it) while it runs: call a copy.
  IAnimationFunction func = mAnimationFunc;
  func(this);
}

// ---- Host highlight, prompts, gestures ------------------------------------------------------

void IControl::SetParameterHighlight(bool isHighlighted, int color)
{
  switch (color)
  {
    case 0: mHighlightColor = kColorRed; break;
    case 1: mHighlightColor = kColorBlue; break;
    case 2: mHighlightColor = kColorGreen; break;
    case 3: mHighlightColor = kColorYellow; break;
    default: break;
  }
  mHighlighted = isHighlighted;
  SetDirty(false);
}

void IControl::PromptUserInput(int valIdx)
{
  if (valIdx < 0 || GetParamIdx(valIdx) < 0 || mDisablePrompt)
    return;
  if (mGraphics)
    mGraphics->PromptUserInput(*this, valIdx);
  SetDirty(false);
}

void IControl::AttachGestureRecognizer(EGestureType type, IGestureFunc func)
{
  mGestureFuncs[type] = std::move(func);
  if (mGraphics)
    mGraphics->AttachGestureRecognizer(type);
}

bool IControl::IsCaptured() const { return mGraphics && mGraphics->ControlIsCaptured(this); }

} // namespace iplug::igraphics
