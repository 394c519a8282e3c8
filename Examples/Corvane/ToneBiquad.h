#pragma once

// One tone-shelving filter of the preamp: a second-order recursive filter with a fixed input gain
// of 10, whose coefficients are closed-form polynomials in the sample rate and two control
// amounts. The block routine redesigns it on every sample so the tone controls glide without
// zipper noise, which is why the designs are plain polynomial evaluations and `Step` is inline.
//
// The filter never flushes tiny values itself: the signal chain adds an alternating offset of
// 1e-15 to its input, which keeps the history out of subnormal numbers when the input falls silent.
//
// All fields start at zero; a filter is always designed before it is first stepped.
struct ToneBiquad
{
  double x0 = 0.0; // the current input multiplied by 10
  double y0 = 0.0; // the current output
  double x1 = 0.0; // previous two values of x0
  double x2 = 0.0;
  double y1 = 0.0; // previous two outputs
  double y2 = 0.0;
  double A0 = 0.0; // feedback coefficients; A0 divides the sum
  double A1 = 0.0;
  double A2 = 0.0;
  double B0 = 0.0; // feed-forward coefficients
  double B1 = 0.0;
  double B2 = 0.0;

  // Low shelf at sample rate f: p is the boost amount, q the cut amount (each 1e-5..0.3, one of
  // them exactly 1e-5). Sets A0..B2 only; the history is kept so a glide stays continuous.
  // audio thread; never allocates
  void DesignLowTone(double f, double p, double q);

  // High shelf at sample rate f: p in 0.15..1 sets the boost (1 is flat), q in 0..0.85 the cut
  // (0 is flat); either p is 1 or q is 0. Sets A0..B2 only.
  // audio thread; never allocates
  void DesignHighTone(double f, double p, double q);

  // Filters one sample and returns the output.
  // audio thread; never allocates
  double Step(double x)
  {
    x0 = 10.0 * x;
    const double y = (B1 * x1 + B0 * x0 + B2 * x2 - A1 * y1 - A2 * y2) / A0;
    x2 = x1;
    x1 = x0;
    y2 = y1;
    y1 = y;
    y0 = y;
    return y;
  }
};
