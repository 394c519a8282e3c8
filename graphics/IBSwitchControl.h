#pragma once

#include "IBitmapBase.h"
#include "ISwitchControlBase.h"

namespace iplug::igraphics {

// A switch drawn from a film strip with one frame per state: each click steps to the next frame
// and from the last back to the first. The number of states is the number of frames.
class IBSwitchControl : public ISwitchControlBase, public IBitmapBase
{
public:
  // Bounds: one frame of the bitmap with its top-left corner at (x, y).
  IBSwitchControl(float x, float y, const IBitmapInfo& bitmap, int paramIdx = kNoParameter);
  // Bounds: one frame of the bitmap centred in the given bounds.
  IBSwitchControl(const IRect& bounds, const IBitmapInfo& bitmap, int paramIdx = kNoParameter);

  void Draw(IGraphics& g) override { DrawCurrentFrame(g); }
  void OnRescale() override { RescaleBitmap(); }
  // Steps by one frame; the press does not count as holding the switch.
  void OnMouseDown(float x, float y, const IMouseMods& mod) override;
};

} // namespace iplug::igraphics
