#pragma once

#include <cmath>

namespace reference
{
// The preamp's asymmetric saturating curve:
//   S(D) = sin(0.1 · tanh(D⁴) + 0.1 · tanh(D³)) + tanh(D)
// D⁴ is always positive while D³ follows the sign of D, so the positive ceiling is
// 1 + sin(0.2) and the negative one −1.
inline double Saturate(double d)
{
  const double d2 = d * d;
  const double d3 = d2 * d;
  const double d4 = d2 * d2;
  return std::sin(0.1 * std::tanh(d4) + 0.1 * std::tanh(d3)) + std::tanh(d);
}
} // namespace reference
