#pragma once

#include "IMouseMods.h"

namespace iplug::igraphics {

// One pointer sample in logical pixels; dX, dY are the movement since the previous sample (0
// outside drags).
struct IMouseEvent
{
  float x = 0.f;
  float y = 0.f;
  float dX = 0.f;
  float dY = 0.f;
  IMouseMods ms;
};

} // namespace iplug::igraphics
