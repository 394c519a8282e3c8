#pragma once

#include <cmath>
#include <cstdint>

#include "AAX_ITaperDelegate.h"

// An integer range mapped linearly onto 0..1, rounding to the nearest integer.
class AAX_CLinearTaperDelegate final : public AAX_ITaperDelegate<int32_t>
{
public:
  AAX_CLinearTaperDelegate(int32_t minValue, int32_t maxValue) : mMin(minValue), mMax(maxValue) {}

  AAX_CLinearTaperDelegate* Clone() const override { return new AAX_CLinearTaperDelegate(*this); }
  int32_t GetMinimumValue() const override { return mMin; }
  int32_t GetMaximumValue() const override { return mMax; }

  int32_t ConstrainRealValue(int32_t value) const override
  {
    if (value < mMin)
      return mMin;
    if (value > mMax)
      return mMax;
    return value;
  }

  int32_t NormalizedToReal(double normalizedValue) const override
  {
    const double real = std::floor((static_cast<double>(mMax) - mMin) * normalizedValue + mMin + 0.5);
    // Clamped as a double: converting a value outside the integer range (or not a number) to
    // int32_t is undefined.
    if (!(real >= mMin))
      return mMin;
    if (real > mMax)
      return mMax;
    return static_cast<int32_t>(real);
  }

  double RealToNormalized(int32_t realValue) const override
  {
    if (mMax == mMin)
      return 0.5;
    return (static_cast<double>(ConstrainRealValue(realValue)) - mMin) / (static_cast<double>(mMax) - mMin);
  }

private:
  int32_t mMin;
  int32_t mMax;
};
