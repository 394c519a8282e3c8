#pragma once

#include "AAX.h"
#include "AAX_IString.h"

// A parameter's identity and value, copyable away from the parameter (e.g. to hand a value to
// the audio thread). Typed reads succeed only for the holder's own type; every other read
// answers false and writes nothing.
class AAX_IParameterValue
{
public:
  virtual ~AAX_IParameterValue() = default;

  virtual AAX_IParameterValue* Clone() const = 0;
  virtual AAX_CParamID Identifier() const = 0;

  virtual bool GetValueAsBool(bool* outValue) const = 0;
  virtual bool GetValueAsInt32(int32_t* outValue) const = 0;
  virtual bool GetValueAsFloat(float* outValue) const = 0;
  virtual bool GetValueAsDouble(double* outValue) const = 0;
  virtual bool GetValueAsString(AAX_IString* outValue) const = 0;
};
