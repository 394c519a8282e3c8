#include "IBitmapControl.h"

namespace iplug::igraphics {

IBitmapControl::IBitmapControl(float x, float y, const IBitmapInfo& bitmap, int paramIdx, EBlend blend)
  : IControl(IRect(x, y, x + static_cast<float>(bitmap.FrameWidth()), y + static_cast<float>(bitmap.FrameHeight())),
             paramIdx)
  , IBitmapBase(bitmap)
{
  mBlend = IBlendInfo(blend, 1.f);
  SetOwner(this);
}

} // namespace iplug::igraphics
