#include "ICornerResizerControl.h"

#include "IGraphics.h"

namespace iplug::igraphics {

ICornerResizerControl::ICornerResizerControl(const IRect& graphicsBounds, float size, const IColor& color,
                                             const IColor& mouseOverColor, const IColor& dragColor)
  : IControl(IRect(graphicsBounds.R - size + 1.f, graphicsBounds.B - size + 1.f, graphicsBounds.R - 1.f,
                   graphicsBounds.B - 1.f))
  , mSize(size)
  , mInitialGraphicsBounds(graphicsBounds)
  , mColor(color)
  , mMouseOverColor(mouseOverColor)
  , mDragColor(dragColor)
{
}

void ICornerResizerControl::OnMouseDown(float x, float y, const IMouseMods& mod)
{
  (void) x;
  (void) y;
  (void) mod;
  if (mGraphics)
    mGraphics->SetResizingInProcess(true);
}

void ICornerResizerControl::OnMouseDblClick(float x, float y, const IMouseMods& mod)
{
  (void) x;
  (void) y;
  (void) mod;
  if (mGraphics)
    mGraphics->Resize(static_cast<int>(mInitialGraphicsBounds.W()), static_cast<int>(mInitialGraphicsBounds.H()),
                      1.f, true);
}

void ICornerResizerControl::OnMouseOver(float x, float y, const IMouseMods& mod)
{
  if (!mCursorChanged && mGraphics)
  {
    mPrevCursorType = mGraphics->SetMouseCursor(kSizeNWSECursor);
    mCursorChanged = true;
  }
  IControl::OnMouseOver(x, y, mod);
}

void ICornerResizerControl::OnMouseOut()
{
  if (mCursorChanged && mGraphics)
  {
    mGraphics->SetMouseCursor(mPrevCursorType);
    mCursorChanged = false;
  }
  IControl::OnMouseOut();
}

void ICornerResizerControl::OnRescale()
{
  if (!mGraphics)
    return;
  const float d = mGraphics->GetDrawScale() > 0.f ? mGraphics->GetDrawScale() : 1.f;
  const float w = static_cast<float>(mGraphics->Width());
  const float h = static_cast<float>(mGraphics->Height());
  SetTargetAndDrawRECTs(IRect(w - mSize / d, h - mSize / d, w, h));
  mMouseIsOver = false;
  OnResize();
}

void ICornerResizerControl::Draw(IGraphics& g)
{
  const IColor& color = g.GetResizingInProcess() ? mDragColor : (mMouseIsOver ? mMouseOverColor : mColor);
  g.FillTriangle(color, mRECT.L, mRECT.B, mRECT.R, mRECT.T, mRECT.R, mRECT.B, nullptr);
}

} // namespace iplug::igraphics
