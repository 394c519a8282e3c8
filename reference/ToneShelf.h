#pragma once

namespace reference
{
// One tone-shelving filter: a second-order recursive filter with an input gain of 10, designed by
// summing its coefficient tables term by term (no factoring, no shared subexpressions).
struct ToneShelf
{
  double x1 = 0.0, x2 = 0.0, y1 = 0.0, y2 = 0.0;
  double A0 = 0.0, A1 = 0.0, A2 = 0.0, B0 = 0.0, B1 = 0.0, B2 = 0.0;

  // Low shelf at sample rate f: p is the boost amount, q the cut amount.
  void DesignLow(double f, double p, double q);
  // High shelf at sample rate f: p sets the boost (1 is flat), q the cut (0 is flat).
  void DesignHigh(double f, double p, double q);
  double Step(double x);
};
} // namespace reference
