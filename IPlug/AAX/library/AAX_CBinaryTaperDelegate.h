#pragma once

#include "AAX_ITaperDelegate.h"

// Off and on: any positive normalised value is on.
class AAX_CBinaryTaperDelegate final : public AAX_ITaperDelegate<bool>
{
public:
  AAX_CBinaryTaperDelegate* Clone() const override { return new AAX_CBinaryTaperDelegate(*this); }
  bool GetMinimumValue() const override { return false; }
  bool GetMaximumValue() const override { return true; }
  bool ConstrainRealValue(bool value) const override { return value; }
  bool NormalizedToReal(double normalizedValue) const override { return normalizedValue > 0.0; }
  double RealToNormalized(bool realValue) const override { return realValue ? 1.0 : 0.0; }
};
