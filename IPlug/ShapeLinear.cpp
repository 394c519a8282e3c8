#include "ShapeLinear.h"

#include "IParam.h"

namespace iplug {

std::unique_ptr<Shape> ShapeLinear::Duplicate() const
{
  return std::make_unique<ShapeLinear>(*this);
}

int ShapeLinear::DisplayCurve() const
{
  return 0;
}

double ShapeLinear::MapToValue(double normalized, const IParam& param) const
{
  return param.Min() + normalized * (param.Max() - param.Min());
}

double ShapeLinear::MapToNormalized(double value, const IParam& param) const
{
  return (value - param.Min()) / (param.Max() - param.Min());
}

} // namespace iplug
