#include "IBitmapBase.h"

#include <cmath>

#include "IControl.h"
#include "IGraphics.h"

namespace iplug::igraphics {

void IBitmapBase::DrawCurrentFrame(IGraphics& g)
{
  if (!mOwner)
    return;
  const int n = mBitmap.N();
  int frame = 1;
  if (n >= 2)
  {
    const double v = mOwner->GetValue(0);
    frame = static_cast<int>(v * static_cast<double>(n - 1) + 0.5) + 1;
    if (frame <= 0)
      frame = 1;
    else if (frame > n)
      frame = n;
  }

  const float w = static_cast<float>(mBitmap.FrameWidth());
  const float h = static_cast<float>(mBitmap.FrameHeight());
  const IRect& bounds = mOwner->GetRECT();
  const float left = bounds.MW() - 0.5f * w;
  const float top = bounds.MH() - 0.5f * h;
  g.DrawBitmapFrame(mBitmap, IRect(left, top, left + w, top + h), frame, mOwner->GetBlendPtr());
}

void IBitmapBase::RescaleBitmap()
{
  IGraphics* g = mOwner ? mOwner->GetUI() : nullptr;
  if (!g)
    return;
  const int frames = mBitmap.N() > 0 ? mBitmap.N() : 1;
  const int targetScale = static_cast<int>(std::ceil(g->GetScreenScale()));
  mBitmap = g->LoadBitmap(mBitmap.GetResourceName().c_str(), frames, mBitmap.GetFramesAreHorizontal(), targetScale);
}

} // namespace iplug::igraphics
