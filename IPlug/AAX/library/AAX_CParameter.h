#pragma once

#include <map>
#include <memory>

#include "AAX_CParameterValue.h"
#include "AAX_IDisplayDelegate.h"
#include "AAX_IParameter.h"
#include "AAX_ITaperDelegate.h"

// An AAX parameter holding a bool, a 32-bit integer or a double. It owns copies of its taper
// (real ↔ normalised) and display (value ↔ text) delegates and knows the host's automation
// delegate, which its parameter manager sets. At construction it has no delegate, so the
// default value is taken directly. See AAX_IParameter for the threading rules.
template <typename T>
class AAX_CParameter final : public AAX_IParameter
{
public:
  AAX_CParameter(AAX_CParamID identifier, const AAX_CString& name, T defaultValue,
                 const AAX_ITaperDelegate<T>& taper, const AAX_IDisplayDelegate<T>& display,
                 bool automatable);
  // Unregisters the identifier from the automation delegate.
  ~AAX_CParameter() override;
  AAX_CParameter(const AAX_CParameter&) = delete;
  AAX_CParameter& operator=(const AAX_CParameter&) = delete;

  AAX_IParameterValue* CloneValue() const override { return mValue.Clone(); }
  AAX_CParamID Identifier() const override { return mValue.Identifier(); }

  void SetName(const AAX_CString& name) override { mName = name; }
  const AAX_CString& Name() const override { return mName; }
  void AddShortenedName(const AAX_CString& name) override;
  const AAX_CString& ShortenedName(int32_t length) const override;
  void ClearShortenedNames() override { mShortenedNames.clear(); }

  bool Automatable() const override { return mAutomatable; }
  void SetAutomationDelegate(AAX_IAutomationDelegate* automationDelegate) override;
  void Touch() override;
  void Release() override;

  void SetNormalizedValue(double normalizedValue) override;
  double GetNormalizedValue() const override;
  void SetNormalizedDefaultValue(double normalizedDefault) override;
  double GetNormalizedDefaultValue() const override;
  void SetToDefaultValue() override { SetValue(mDefaultValue); }
  void UpdateNormalizedValue(double normalizedValue) override;

  void SetNumberOfSteps(uint32_t numSteps) override;
  uint32_t GetNumberOfSteps() const override { return mNumSteps; }
  uint32_t GetStepValue() const override { return GetStepValueFromNormalizedValue(GetNormalizedValue()); }
  double GetNormalizedValueFromStep(uint32_t step) const override;
  uint32_t GetStepValueFromNormalizedValue(double normalizedValue) const override;
  void SetStepValue(uint32_t step) override;

  void SetType(AAX_EParameterType type) override { mType = type; }
  AAX_EParameterType GetType() const override { return mType; }
  void SetOrientation(AAX_EParameterOrientation orientation) override { mOrientation = orientation; }
  AAX_EParameterOrientation GetOrientation() const override { return mOrientation; }

  bool GetValueString(AAX_CString* outText) const override;
  bool GetValueString(int32_t maxNumChars, AAX_CString* outText) const override;
  bool GetStringFromNormalizedValue(double normalizedValue, int32_t maxNumChars,
                                    AAX_CString& outText) const override;
  bool GetNormalizedValueFromString(const AAX_CString& text, double* outNormalizedValue) const override;
  bool SetValueFromString(const AAX_CString& text) override;

  bool GetValueAsBool(bool* outValue) const override { return mValue.GetValueAsBool(outValue); }
  bool GetValueAsInt32(int32_t* outValue) const override { return mValue.GetValueAsInt32(outValue); }
  bool GetValueAsFloat(float* outValue) const override { return mValue.GetValueAsFloat(outValue); }
  bool GetValueAsDouble(double* outValue) const override { return mValue.GetValueAsDouble(outValue); }
  bool GetValueAsString(AAX_IString* outValue) const override { return mValue.GetValueAsString(outValue); }
  bool SetValueWithBool(bool value) override { return SetTyped(value); }
  bool SetValueWithInt32(int32_t value) override { return SetTyped(value); }
  bool SetValueWithFloat(float value) override { return SetTyped(value); }
  bool SetValueWithDouble(double value) override { return SetTyped(value); }
  bool SetValueWithString(const AAX_IString& value) override { (void) value; return false; }

  // Asks for the real value `value`: through the host when there is an automation delegate,
  // else directly.
  void SetValue(T value);
  T GetValue() const { return mValue.Get(); }
  T GetDefaultValue() const { return mDefaultValue; }

  // Replaces the taper; unless `preserveValue`, the normalised value is kept and the real
  // value follows the new taper.
  void SetTaperDelegate(const AAX_ITaperDelegate<T>& taper, bool preserveValue);
  void SetDisplayDelegate(const AAX_IDisplayDelegate<T>& display);
  const AAX_ITaperDelegate<T>& TaperDelegate() const { return *mTaper; }
  const AAX_IDisplayDelegate<T>& DisplayDelegate() const { return *mDisplay; }

private:
  template <typename U>
  bool SetTyped(U value)
  {
    if constexpr (std::is_same_v<T, U>)
    {
      SetValue(value);
      return true;
    }
    else
    {
      (void) value;
      return false;
    }
  }

  AAX_CString mName;
  std::map<uint32_t, AAX_CString> mShortenedNames;  // by length
  bool mAutomatable;
  uint32_t mNumSteps = 0;
  AAX_EParameterType mType = AAX_eParameterType_Continuous;
  AAX_EParameterOrientation mOrientation = AAX_eParameterOrientation_Default;
  std::unique_ptr<AAX_ITaperDelegate<T>> mTaper;
  std::unique_ptr<AAX_IDisplayDelegate<T>> mDisplay;
  AAX_IAutomationDelegate* mAutomationDelegate = nullptr;
  bool mNeedNotify = false;
  AAX_CParameterValue<T> mValue;
  T mDefaultValue;
};

extern template class AAX_CParameter<bool>;
extern template class AAX_CParameter<int32_t>;
extern template class AAX_CParameter<double>;
