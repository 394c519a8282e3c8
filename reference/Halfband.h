#pragma once

namespace reference
{
// The 129-tap half-band low-pass of the oversampling path, with a delay line that moves on every
// step and its alternating ±1e-15 offset.
struct Halfband
{
  double offset = 1e-15;
  double line[129] = {}; // line[0] is p1, the newest input

  double Step(double x);
  // Forgets the stored inputs; the offset keeps its value and sign.
  void Clear();
};
} // namespace reference
