#include "IBKnobControl.h"

namespace iplug::igraphics {

IBKnobControl::IBKnobControl(float x, float y, const IBitmapInfo& bitmap, int paramIdx, EDirection direction,
                             double gearing)
  : IKnobControlBase(IRect(x, y, x + static_cast<float>(bitmap.FrameWidth()), y + static_cast<float>(bitmap.FrameHeight())),
                     paramIdx, direction, gearing)
  , IBitmapBase(bitmap)
{
  SetOwner(this);
}

} // namespace iplug::igraphics
