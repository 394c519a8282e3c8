#pragma once

namespace iplug::igraphics {

enum class EFillRule
{
  Winding = 0,
  EvenOdd
};

struct IFillStyle
{
  EFillRule rule = EFillRule::Winding;
  bool preserve = false;
};

} // namespace iplug::igraphics
