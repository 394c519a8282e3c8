#include "ShapePowCurve.h"

#include <cmath>

#include "IParam.h"

namespace iplug {

ShapePowCurve::ShapePowCurve(double exponent)
  : mExponent(exponent)
{
}

std::unique_ptr<Shape> ShapePowCurve::Duplicate() const
{
  return std::make_unique<ShapePowCurve>(*this);
}

int ShapePowCurve::DisplayCurve() const
{
  // Hosts know these codes; the thresholds pick the nearest of the curves they can draw.
  if (mExponent > 2.5)
    return 6;
  if (mExponent > 1.5)
    return 4;
  if (mExponent < 0.4)
    return 5;
  if (mExponent < 2.0 / 3.0)
    return 3;
  return 0;
}

double ShapePowCurve::MapToValue(double normalized, const IParam& param) const
{
  return param.Min() + std::pow(normalized, mExponent) * (param.Max() - param.Min());
}

double ShapePowCurve::MapToNormalized(double value, const IParam& param) const
{
  return std::pow((value - param.Min()) / (param.Max() - param.Min()), 1.0 / mExponent);
}

} // namespace iplug
