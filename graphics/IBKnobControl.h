#pragma once

#include "IBitmapBase.h"
#include "IKnobControlBase.h"

namespace iplug::igraphics {

// A knob drawn from a film strip: the frame nearest to the value, turned by dragging.
class IBKnobControl : public IKnobControlBase, public IBitmapBase
{
public:
  // Bounds: one frame of the bitmap with its top-left corner at (x, y).
  IBKnobControl(float x, float y, const IBitmapInfo& bitmap, int paramIdx, EDirection direction = EDirection::Vertical,
                double gearing = 4.0);

  void Draw(IGraphics& g) override { DrawCurrentFrame(g); }
  void OnRescale() override { RescaleBitmap(); }
};

} // namespace iplug::igraphics
