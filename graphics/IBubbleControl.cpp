#include "IBubbleControl.h"

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
