#pragma once

#include "IColor.h"
#include "ITransform.h"

namespace iplug::igraphics {

enum class EPatternType
{
  Solid = 0,
  Linear,
  Radial,
  Sweep
};

enum class EPatternExtend
{
  None = 0,
  Pad,
  Reflect,
  Repeat
};

struct IColorStop
{
  IColor color;
  float offset = 0.f;
};

// What a path is painted with: one colour, or a gradient of up to 16 stops placed by a transform.
struct IFillPattern
{
  static constexpr int kMaxStops = 16;

  EPatternType type = EPatternType::Solid;
  EPatternExtend extend = EPatternExtend::Pad;
  IColorStop stops[kMaxStops];
  int nStops = 0;
  ITransform transform;

  IFillPattern() = default;
  // A solid pattern with one stop of the colour.
  // Implicit on purpose: every primitive paints "a colour".
  IFillPattern(const IColor& color) { AddStop(color, 0.f); }

  // Stops beyond the sixteenth are dropped.
  void AddStop(const IColor& color, float offset)
  {
    if (nStops < kMaxStops)
      stops[nStops++] = IColorStop{color, offset};
  }
  const IColor& FirstColor() const { return stops[0].color; }
};

} // namespace iplug::igraphics
