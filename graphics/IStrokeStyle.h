#pragma once

namespace iplug::igraphics {

enum class ELineCap
{
  Butt = 0,
  Round,
  Square
};

enum class ELineJoin
{
  Miter = 0,
  Round,
  Bevel
};

// Alternating dash and gap lengths in logical pixels.
struct IDashPattern
{
  static constexpr int kMaxDashes = 8;

  float lengths[kMaxDashes] = {};
  float offset = 0.f;
  int count = 0;

  // Lengths beyond the eighth are dropped.
  void Add(float length)
  {
    if (count < kMaxDashes)
      lengths[count++] = length;
  }
};

struct IStrokeStyle
{
  float miterLimit = 10.f;
  bool preserve = false;
  ELineCap cap = ELineCap::Butt;
  ELineJoin join = ELineJoin::Miter;
  IDashPattern dash;
};

} // namespace iplug::igraphics
