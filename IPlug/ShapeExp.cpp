#include "ShapeExp.h"

#include <cmath>

#include "IParam.h"

namespace iplug {

std::unique_ptr<Shape> ShapeExp::Duplicate() const
{
  return std::make_unique<ShapeExp>(*this);
}

void ShapeExp::Prepare(const IParam& param)
{
  // The logarithm has no value at zero or below, so such a range starts from a tiny positive bound.
  const double lowest = param.Min() > 0.0 ? param.Min() : 1e-8;
  mAdd = std::log(lowest);
  mMul = std::log(param.Max() / lowest);
}

int ShapeExp::DisplayCurve() const
{
  return 1;
}

double ShapeExp::MapToValue(double normalized, const IParam& param) const
{
  (void) param;
  return std::exp(normalized * mMul + mAdd);
}

double ShapeExp::MapToNormalized(double value, const IParam& param) const
{
  (void) param;
  return (std::log(value) - mAdd) / mMul;
}

} // namespace iplug
