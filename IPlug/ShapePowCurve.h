#pragma once

#include "Shape.h"

namespace iplug {

// Power curve: the normalised value raised to the exponent spans min..max. Exponents above 1
// give finer control near min, exponents below 1 finer control near max.
class ShapePowCurve : public Shape
{
public:
  explicit ShapePowCurve(double exponent);

  std::unique_ptr<Shape> Duplicate() const override;
  int DisplayCurve() const override;
  double MapToValue(double normalized, const IParam& param) const override;
  double MapToNormalized(double value, const IParam& param) const override;

  double Exponent() const { return mExponent; }

private:
  double mExponent;
};

} // namespace iplug
