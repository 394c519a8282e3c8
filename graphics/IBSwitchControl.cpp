#include "IBSwitchControl.h"

namespace iplug::igraphics {

namespace {

IRect FrameAt(float x, float y, const IBitmapInfo& bitmap)
{
  return IRect(x, y, x + static_cast<float>(bitmap.FrameWidth()), y + static_cast<float>(bitmap.FrameHeight()));
}

IRect FrameCentredIn(const IRect& bounds, const IBitmapInfo& bitmap)
{
  const float w = static_cast<float>(bitmap.FrameWidth());
  const float h = static_cast<float>(bitmap.FrameHeight());
  return FrameAt(bounds.MW() - 0.5f * w, bounds.MH() - 0.5f * h, bitmap);
}

} // namespace

IBSwitchControl::IBSwitchControl(float x, float y, const IBitmapInfo& bitmap, int paramIdx)
  : ISwitchControlBase(FrameAt(x, y, bitmap), paramIdx, nullptr, 2), IBitmapBase(bitmap)
{
  SetOwner(this);
}

IBSwitchControl::IBSwitchControl(const IRect& bounds, const IBitmapInfo& bitmap, int paramIdx)
  : ISwitchControlBase(FrameCentredIn(bounds, bitmap), paramIdx, nullptr, 2), IBitmapBase(bitmap)
{
  SetOwner(this);
}

void IBSwitchControl::OnMouseDown(float x, float y, const IMouseMods& mod)
{
  (void) x;
  (void) y;
  (void) mod;
  const int n = mBitmap.N();
  double v = GetValue(0) + (n > 1 ? 1.0 / static_cast<double>(n - 1) : 1.0);
  if (v > 1.001)
    v = 0.0;
  SetValue(v, 0);
  SetDirty(true, kNoValIdx);
}

} // namespace iplug::igraphics
