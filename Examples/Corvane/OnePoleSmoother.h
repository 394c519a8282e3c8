#pragma once

#include <cfloat>
#include <cmath>

// A one-pole parameter smoother: z = a · z + b · target. States that decay into subnormal
// numbers are flushed to zero so the audio thread never slows down on denormals.
struct OnePoleSmoother
{
  double a = 0.0;
  double b = 0.0;
  double z = 0.0;

  // Sets the coefficients for a glide of the given time constant in seconds.
  void SetTime(double sampleRate, double seconds)
  {
    a = std::exp(-6.283185307179586 / (sampleRate * seconds));
    b = 1.0 - a;
  }

  // audio thread; never allocates
  double Step(double target)
  {
    z = a * z + b * target;
    // Zero or subnormal: all exponent bits are zero exactly when |z| < DBL_MIN.
    if (std::fabs(z) < DBL_MIN)
      z = 0.0;
    return z;
  }
};
