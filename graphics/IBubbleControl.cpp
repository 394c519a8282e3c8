#include "IBubbleControl.h"

#include <algorithm>

#include "IGraphics.h"

namespace iplug::igraphics {

IBubbleControl::IBubbleControl(const ITextStyle& style, const IColor& fillColor, const IColor& outlineColor,
                               float roundness)
  : IControl(IRect())
  , mRoundness(roundness)
  , mFillColor(fillColor)
  , mOutlineColor(outlineColor)
{
  mText = style;
  mBlend = IBlendInfo(kBlendDefault, 0.f);
  mHide = true;
  mIgnoreMouse = true;

  // Showing runs the action: a fade-in. When the fade-in ends the end action starts the hold;
  // the animation itself moves on to the fade-out and back to hidden.
  mActionFunc = [this](IControl*) { SetAnimation([this](IControl*) { Animation(); }, kFadeMs); };
  mAnimationEndActionFunc = [this](IControl*) {
    if (mAnimationState == 2)
      SetAnimation([this](IControl*) { Animation(); }, kHoldMs);
  };
}

void IBubbleControl::ShowBubble(IControl* caller, float x, float y, const char* str, int direction,
                                const IRect& minContentSize, uint64_t touchID)
{
  if (mMaxBounds.W() == 0.f && mGraphics)
    mMaxBounds = mGraphics->GetBounds();

  mDirection = direction;
  mTouchID = touchID;
  mStr = str ? str : "";

  IRect content;
  MeasureBubbleText(mStr.c_str(), content);
  if (!minContentSize.Empty())
  {
    content.R = content.L + std::max(content.W(), minContentSize.W());
    content.B = content.T + std::max(content.H(), minContentSize.H());
  }
  content = IRect(content.L - mInset - mSideInset, content.T - mInset, content.R + mInset + mSideInset,
                  content.B + mInset);
  const float w = content.W();
  const float h = content.H();

  IRect bubble(x, y - 0.5f * h, x + w, y + 0.5f * h);
  const IRect callerBounds = caller ? caller->GetRECT() : IRect();

  if (mDirection == 1)
  {
    if (bubble.R > mMaxBounds.R - mSideInset - mInset)
    {
      bubble = bubble.Offset(callerBounds.L - bubble.R, 0.f);
      mArrowSide = kArrowRight;
    }
    else
    {
      mArrowSide = kArrowLeft;
    }
  }
  else
  {
    bubble = bubble.Offset(-0.5f * w, -0.5f * h);
    if (bubble.T < mMaxBounds.T)
    {
      bubble = bubble.Offset(0.f, h + callerBounds.H());
      mArrowSide = kArrowTop;
    }
    else
    {
      mArrowSide = kArrowBottom;
    }
  }
  mBubbleBounds = bubble;

  // The old place is repainted too: the control covers both until the next caller.
  mRECT = mRECT.Union(mBubbleBounds);
  mTargetRECT = mRECT;
  mMouseIsOver = false;
  OnResize();

  if (mAnimationState == 0)
  {
    Hide(false);
    mAnimationState = 1;
    SetDirty(true);
  }

  if (caller != mCaller)
  {
    SetTargetAndDrawRECTs(mBubbleBounds);
    if (mGraphics)
      mGraphics->SetAllControlsDirty();
  }

  mCaller = caller;
}

void IBubbleControl::Animation()
{
  const double p = GetAnimationProgress();
  if (p <= 1.0)
  {
    if (mAnimationState == 1)
      mBlend.weight = static_cast<float>(p) * mMaxOpacity;
    else if (mAnimationState == 2)
      mBlend.weight = mMaxOpacity;
    else if (mAnimationState == 3)
      mBlend.weight = static_cast<float>(1.0 - p) * mMaxOpacity;
    return;
  }

  switch (mAnimationState)
  {
    case 1:
      mBlend.weight = mMaxOpacity;
      mAnimationState = 2;
      OnEndAnimation();
      break;
    case 2:
      // Held for as long as the user holds the control, checked again after each short hold.
      if (mGraphics && mCaller && mGraphics->ControlIsCaptured(mCaller))
      {
        SetDirty(true);
      }
      else
      {
        mBlend.weight = mMaxOpacity;
        mAnimationState = 3;
        SetDirty(true);
      }
      break;
    case 3:
      mBlend.weight = 0.f;
      Hide(true);
      mAnimationState = 0;
      mTouchID = 0;
      SetDirty(false);
      OnEndAnimation();
      break;
    default:
      OnEndAnimation();
      break;
  }
}

void IBubbleControl::Draw(IGraphics& g)
{
  const IRect content = mBubbleBounds.Grown(-mInset);
  g.DrawFastDropShadow(content, mBubbleBounds, 2.f, mRoundness, 10.f, &mBlend);
  DrawCallout(g, content);
  DrawBubbleText(g, content);
}

void IBubbleControl::DrawBubbleText(IGraphics& g, const IRect& contentBounds)
{
  if (!mStr.empty())
    g.DrawText(mText, mStr.c_str(), contentBounds, &mBlend);
}

void IBubbleControl::DrawCallout(IGraphics& g, const IRect& r)
{
  const float rad = mRoundness;
  const float a = mArrowSize;
  const float halfBase = 0.5f * a;
  const float mx = r.MW();
  const float my = r.MH();

  g.PathClear();
  g.PathMoveTo(r.L, r.T + rad);
  g.PathArc(r.L + rad, r.T + rad, rad, 270.f, 360.f);
  if (mArrowSide == kArrowTop)
  {
    g.PathLineTo(mx - halfBase, r.T);
    g.PathLineTo(mx, r.T - a);
    g.PathLineTo(mx + halfBase, r.T);
  }
  g.PathLineTo(r.R - rad, r.T);
  g.PathArc(r.R - rad, r.T + rad, rad, 0.f, 90.f);
  if (mArrowSide == kArrowRight)
  {
    g.PathLineTo(r.R, my - halfBase);
    g.PathLineTo(r.R + a, my);
    g.PathLineTo(r.R, my + halfBase);
  }
  g.PathLineTo(r.R, r.B - rad);
  g.PathArc(r.R - rad, r.B - rad, rad, 90.f, 180.f);
  if (mArrowSide == kArrowBottom)
  {
    g.PathLineTo(mx + halfBase, r.B);
    g.PathLineTo(mx, r.B + a);
    g.PathLineTo(mx - halfBase, r.B);
  }
  g.PathLineTo(r.L + rad, r.B);
  g.PathArc(r.L + rad, r.B - rad, rad, 180.f, 270.f);
  if (mArrowSide == kArrowLeft)
  {
    g.PathLineTo(r.L, my + halfBase);
    g.PathLineTo(r.L - a, my);
    g.PathLineTo(r.L, my - halfBase);
  }
  g.PathClose();

  IFillStyle fill;
  fill.preserve = true; // the outline follows the same path
  g.PathFill(IFillPattern(mFillColor), fill, &mBlend);
  g.PathStroke(IFillPattern(mOutlineColor), mOutlineThickness, IStrokeStyle(), &mBlend);
}

void IBubbleControl::MeasureBubbleText(const char* str, IRect& contentBounds)
{
  if (mGraphics)
    mGraphics->MeasureText(mText, str, contentBounds);
}

} // namespace iplug::igraphics
