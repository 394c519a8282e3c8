#pragma once

#include "IFillPattern.h"

namespace iplug::igraphics {

// A drop shadow made from a layer's alpha: painted with the pattern, blurred, offset and faded.
struct IShadow
{
  IFillPattern pattern{kColorBlack};
  float blurSize = 0.f;
  float xOffset = 0.f;
  float yOffset = 0.f;
  float opacity = 1.f;
  bool drawForeground = true;
};

} // namespace iplug::igraphics
