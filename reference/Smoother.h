#pragma once

namespace reference
{
// A one-pole smoother, z = a · z + b · target, whose state is set to zero when it comes out zero
// or subnormal.
struct Smoother
{
  double a = 0.0;
  double b = 0.0;
  double z = 0.0;

  // A glide with the given time constant in seconds.
  void SetTime(double sampleRate, double seconds);
  double Step(double target);
};
} // namespace reference
