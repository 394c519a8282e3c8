#pragma once

#include "AAX_ITaperDelegate.h"
#include "IParam.h"

// The taper of a framework parameter: the host's normalised values map through the parameter's
// own shape and are confined to its range and step grid. Refers to the parameter, which outlives
// every AAX parameter built on it (both belong to the same plug-in object).
class AAX_CIPlugTaperDelegate final : public AAX_ITaperDelegate<double>
{
public:
  explicit AAX_CIPlugTaperDelegate(const iplug::IParam& param) : mParam(&param) {}

  AAX_CIPlugTaperDelegate* Clone() const override { return new AAX_CIPlugTaperDelegate(*this); }
  double GetMinimumValue() const override { return mParam->Min(); }
  double GetMaximumValue() const override { return mParam->Max(); }
  double ConstrainRealValue(double value) const override { return mParam->Confine(value); }
  double NormalizedToReal(double normalizedValue) const override { return mParam->FromNormalized(normalizedValue); }
  double RealToNormalized(double realValue) const override { return mParam->ToNormalized(realValue); }

private:
  const iplug::IParam* mParam;
};
