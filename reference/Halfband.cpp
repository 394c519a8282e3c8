#include "Halfband.h"

namespace reference
{
namespace
{
// Taps h(d) at the odd distances d = 1, 3, ..., 63 from the centre; h(0) = 0.5, and the taps at
// even distances are zero.
constexpr double kOddTaps[32] = {
  0.317956, -0.105047, 0.061915, -0.043056, 0.032309, -0.025272, 0.020254, -0.01647,
  0.013505, -0.011119, 0.009163, -0.007542, 0.006187, -0.005051, 0.004099, -0.003301,
  0.002635, -0.002082, 0.001627, -0.001255, 0.000954, -0.000713, 0.000524, -0.000377,
  0.000264, -0.00018, 0.000118, -7.5e-05, 4.5e-05, -2.5e-05, 1.2e-05, -5e-06};
} // namespace

double Halfband::Step(double x)
{
  const double o = offset;
  offset = -o;
  for (int k = 128; k > 0; --k)
    line[k] = line[k - 1];
  line[0] = x + offset;
  // p(k) is line[k - 1]; the centre p65 is line[64]. The symmetric pairs share their tap.
  double y = 0.5 * line[64];
  for (int i = 0; i < 32; ++i)
  {
    const int d = 2 * i + 1;
    y += kOddTaps[i] * (line[64 - d] + line[64 + d]);
  }
  return y + o;
}

void Halfband::Clear()
{
  for (double& v : line)
    v = 0.0;
}
} // namespace reference
