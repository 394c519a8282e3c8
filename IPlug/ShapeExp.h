#pragma once

#include "Shape.h"

namespace iplug {

// Exponential curve: equal normalised steps multiply the value by equal ratios, the natural
// feel for frequencies. Needs a positive lower bound; a min of zero or below maps from 1e-8.
class ShapeExp : public Shape
{
public:
  std::unique_ptr<Shape> Duplicate() const override;
  void Prepare(const IParam& param) override;
  int DisplayCurve() const override;
  double MapToValue(double normalized, const IParam& param) const override;
  double MapToNormalized(double value, const IParam& param) const override;

  double Mul() const { return mMul; }
  double Add() const { return mAdd; }

private:
  // value = exp(normalized * mMul + mAdd); neutral until Prepare sees the parameter's range.
  double mMul = 1.0;
  double mAdd = 1.0;
};

} // namespace iplug
