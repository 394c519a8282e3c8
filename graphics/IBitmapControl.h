#pragma once

#include "IBitmapBase.h"
#include "IControl.h"

namespace iplug::igraphics {

// A plain picture (the editor background): one frame of its bitmap, chosen by its value when the
// bitmap is a strip.
class IBitmapControl : public IControl, public IBitmapBase
{
public:
  IBitmapControl(float x, float y, const IBitmapInfo& bitmap, int paramIdx = kNoParameter,
                 EBlend blend = kBlendDefault);

  void Draw(IGraphics& g) override { DrawCurrentFrame(g); }
  void OnRescale() override { RescaleBitmap(); }
};

} // namespace iplug::igraphics
