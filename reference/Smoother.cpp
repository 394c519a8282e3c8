#include "Smoother.h"

#include <cmath>

namespace reference
{
void Smoother::SetTime(double sampleRate, double seconds)
{
  a = std::exp(-6.283185307179586 / (sampleRate * seconds));
  b = 1.0 - a;
}

double Smoother::Step(double target)
{
  z = a * z + b * target;
  if (z == 0.0 || std::fpclassify(z) == FP_SUBNORMAL)
    z = 0.0;
  return z;
}
} // namespace reference
