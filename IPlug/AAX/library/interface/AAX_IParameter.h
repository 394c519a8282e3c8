#pragma once

#include "AAX.h"
#include "AAX_CString.h"
#include "AAX_IString.h"

class AAX_IAutomationDelegate;
class AAX_IParameterValue;

// One AAX parameter as the host and the adapter see it: a text identifier, a name, a
// normalised value in 0..1, a step count, a type and display texts.
//
// Values change through the host: with an automation delegate, setting a value asks the host
// (touch, set-value request, release) and the value changes when the host answers with
// UpdateNormalizedValue. Parameter and UI threads; the value may be read on the audio thread.
class AAX_IParameter
{
public:
  virtual ~AAX_IParameter() = default;

  virtual AAX_IParameterValue* CloneValue() const = 0;
  virtual AAX_CParamID Identifier() const = 0;

  // Names.
  virtual void SetName(const AAX_CString& name) = 0;
  virtual const AAX_CString& Name() const = 0;
  virtual void AddShortenedName(const AAX_CString& name) = 0;
  // The longest shortened name that fits `length`, the shortest one when none fits, or the
  // full name when it fits, the length is negative or there is no shortened name.
  virtual const AAX_CString& ShortenedName(int32_t length) const = 0;
  virtual void ClearShortenedNames() = 0;

  // Automation.
  virtual bool Automatable() const = 0;
  virtual void SetAutomationDelegate(AAX_IAutomationDelegate* automationDelegate) = 0;
  virtual void Touch() = 0;
  virtual void Release() = 0;

  // Normalised values. Values that are not finite numbers are ignored.
  virtual void SetNormalizedValue(double normalizedValue) = 0;
  virtual double GetNormalizedValue() const = 0;
  virtual void SetNormalizedDefaultValue(double normalizedDefault) = 0;
  virtual double GetNormalizedDefaultValue() const = 0;
  virtual void SetToDefaultValue() = 0;
  // The host's answer to a request: the value takes `normalizedValue` and the host hears back.
  virtual void UpdateNormalizedValue(double normalizedValue) = 0;

  // Steps.
  virtual void SetNumberOfSteps(uint32_t numSteps) = 0;
  virtual uint32_t GetNumberOfSteps() const = 0;
  virtual uint32_t GetStepValue() const = 0;
  virtual double GetNormalizedValueFromStep(uint32_t step) const = 0;
  virtual uint32_t GetStepValueFromNormalizedValue(double normalizedValue) const = 0;
  virtual void SetStepValue(uint32_t step) = 0;

  // Type and orientation.
  virtual void SetType(AAX_EParameterType type) = 0;
  virtual AAX_EParameterType GetType() const = 0;
  virtual void SetOrientation(AAX_EParameterOrientation orientation) = 0;
  virtual AAX_EParameterOrientation GetOrientation() const = 0;

  // Texts.
  virtual bool GetValueString(AAX_CString* outText) const = 0;
  virtual bool GetValueString(int32_t maxNumChars, AAX_CString* outText) const = 0;
  // True only when the display has a text for it and the value lies in the parameter's range.
  virtual bool GetStringFromNormalizedValue(double normalizedValue, int32_t maxNumChars,
                                            AAX_CString& outText) const = 0;
  virtual bool GetNormalizedValueFromString(const AAX_CString& text, double* outNormalizedValue) const = 0;
  virtual bool SetValueFromString(const AAX_CString& text) = 0;

  // Typed access: only the parameter's own type answers true.
  virtual bool GetValueAsBool(bool* outValue) const = 0;
  virtual bool GetValueAsInt32(int32_t* outValue) const = 0;
  virtual bool GetValueAsFloat(float* outValue) const = 0;
  virtual bool GetValueAsDouble(double* outValue) const = 0;
  virtual bool GetValueAsString(AAX_IString* outValue) const = 0;
  virtual bool SetValueWithBool(bool value) = 0;
  virtual bool SetValueWithInt32(int32_t value) = 0;
  virtual bool SetValueWithFloat(float value) = 0;
  virtual bool SetValueWithDouble(double value) = 0;
  virtual bool SetValueWithString(const AAX_IString& value) = 0;
};
