#pragma once

#include "Shape.h"

namespace iplug {

// Straight line from min (normalised 0) to max (normalised 1).
class ShapeLinear : public Shape
{
public:
  std::unique_ptr<Shape> Duplicate() const override;
  int DisplayCurve() const override;
  double MapToValue(double normalized, const IParam& param) const override;
  double MapToNormalized(double value, const IParam& param) const override;
};

} // namespace iplug
