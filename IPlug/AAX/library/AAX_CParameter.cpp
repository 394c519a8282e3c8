#include "AAX_CParameter.h"

#include <cmath>
#include <iterator>
#include <type_traits>

#include "AAX_IAutomationDelegate.h"

namespace {
constexpr const char* kParameterFile = "Dependencies/IPlug/AAX_SDK/Interfaces/AAX_CParameter";
} // namespace

template <typename T>
AAX_CParameter<T>::AAX_CParameter(AAX_CParamID identifier, const AAX_CString& name, T defaultValue,
                                  const AAX_ITaperDelegate<T>& taper, const AAX_IDisplayDelegate<T>& display,
                                  bool automatable)
  : mName(name)
  , mAutomatable(automatable)
  , mTaper(taper.Clone())
  , mDisplay(display.Clone())
  , mValue(identifier, defaultValue)
  , mDefaultValue(defaultValue)
{
  // A parameter that was never told its steps takes the usual count for its type.
  if (mNumSteps == 0)
  {
    if (mType == AAX_eParameterType_Discrete)
      mNumSteps = 2;
    else if (mType == AAX_eParameterType_Continuous)
      mNumSteps = 128;
    else
      AAX_CHostServices::HandleAssertFailure(kParameterFile, 699, "0");
  }
  SetValue(defaultValue);
}

template <typename T>
AAX_CParameter<T>::~AAX_CParameter()
{
  if (mAutomationDelegate)
    mAutomationDelegate->UnregisterParameter(Identifier());
}

template <typename T>
void AAX_CParameter<T>::AddShortenedName(const AAX_CString& name)
{
  mShortenedNames[name.Length()] = name;
}

template <typename T>
const AAX_CString& AAX_CParameter<T>::ShortenedName(int32_t length) const
{
  if (length < 0 || mShortenedNames.empty() || static_cast<uint32_t>(length) >= mName.Length())
    return mName;
  // The map is ordered by length: the last one that fits, else the shortest of all.
  auto fit = mShortenedNames.upper_bound(static_cast<uint32_t>(length));
  if (fit == mShortenedNames.begin())
    return fit->second;
  return std::prev(fit)->second;
}

template <typename T>
void AAX_CParameter<T>::SetAutomationDelegate(AAX_IAutomationDelegate* automationDelegate)
{
  if (mAutomationDelegate)
    mAutomationDelegate->UnregisterParameter(Identifier());
  mAutomationDelegate = automationDelegate;
  if (mAutomationDelegate)
    mAutomationDelegate->RegisterParameter(Identifier());
}

template <typename T>
void AAX_CParameter<T>::Touch()
{
  if (mAutomationDelegate)
    mAutomationDelegate->PostTouchRequest(Identifier());
}

template <typename T>
void AAX_CParameter<T>::Release()
{
  if (mAutomationDelegate)
    mAutomationDelegate->PostReleaseRequest(Identifier());
}

template <typename T>
void AAX_CParameter<T>::SetValue(T value)
{
  if constexpr (std::is_floating_point_v<T>)
    if (!std::isfinite(value))
      return;
  const double normalized = mTaper->RealToNormalized(value);
  if (mAutomationDelegate)
  {
    // The host owns automation: the value changes when it answers the request.
    Touch();
    mAutomationDelegate->PostSetValueRequest(Identifier(), normalized);
    Release();
  }
  else
  {
    mNeedNotify = true;
    UpdateNormalizedValue(normalized);
  }
}

template <typename T>
void AAX_CParameter<T>::SetNormalizedValue(double normalizedValue)
{
  if (!std::isfinite(normalizedValue))
    return;
  SetValue(mTaper->NormalizedToReal(normalizedValue));
}

template <typename T>
double AAX_CParameter<T>::GetNormalizedValue() const
{
  return mTaper->RealToNormalized(mValue.Get());
}

template <typename T>
void AAX_CParameter<T>::SetNormalizedDefaultValue(double normalizedDefault)
{
  if (!std::isfinite(normalizedDefault))
    return;
  mDefaultValue = mTaper->ConstrainRealValue(mTaper->NormalizedToReal(normalizedDefault));
}

template <typename T>
double AAX_CParameter<T>::GetNormalizedDefaultValue() const
{
  return mTaper->RealToNormalized(mDefaultValue);
}

template <typename T>
void AAX_CParameter<T>::UpdateNormalizedValue(double normalizedValue)
{
  if (!std::isfinite(normalizedValue))
    return;
  const T value = mTaper->NormalizedToReal(normalizedValue);
  if (!mNeedNotify && value == mValue.Get())
    return;
  mValue.Set(value);
  if (mAutomationDelegate)
    mAutomationDelegate->PostCurrentValue(Identifier(), normalizedValue);
  mNeedNotify = false;
}

template <typename T>
void AAX_CParameter<T>::SetNumberOfSteps(uint32_t numSteps)
{
  if (!AAX_AssertReport(0 < numSteps, kParameterFile, 834, "0 < numSteps"))
    return;
  mNumSteps = numSteps;
}

template <typename T>
double AAX_CParameter<T>::GetNormalizedValueFromStep(uint32_t step) const
{
  if (mNumSteps < 2)
    return 0.0;
  const double normalized = static_cast<double>(step) / (static_cast<double>(mNumSteps) - 1.0);
  return normalized > 1.0 ? 1.0 : normalized;
}

template <typename T>
uint32_t AAX_CParameter<T>::GetStepValueFromNormalizedValue(double normalizedValue) const
{
  if (mNumSteps < 2)
    return 0;
  const double last = static_cast<double>(mNumSteps) - 1.0;
  const double step = normalizedValue * last + 0.5;
  if (!(step >= 0.0))
    return 0;
  return static_cast<uint32_t>(step > last ? last : step);
}

template <typename T>
void AAX_CParameter<T>::SetStepValue(uint32_t step)
{
  if (mNumSteps < 2)
    return;
  SetNormalizedValue(GetNormalizedValueFromStep(step));
}

template <typename T>
bool AAX_CParameter<T>::GetValueString(AAX_CString* outText) const
{
  return mDisplay->ValueToString(mValue.Get(), outText);
}

template <typename T>
bool AAX_CParameter<T>::GetValueString(int32_t maxNumChars, AAX_CString* outText) const
{
  return mDisplay->ValueToString(mValue.Get(), maxNumChars, outText);
}

template <typename T>
bool AAX_CParameter<T>::GetStringFromNormalizedValue(double normalizedValue, int32_t maxNumChars,
                                                     AAX_CString& outText) const
{
  const T real = mTaper->NormalizedToReal(normalizedValue);
  const bool shown = mDisplay->ValueToString(real, maxNumChars, &outText);
  // The taper confines whatever it is given, so a value outside 0..1 (or not a number) is
  // caught here rather than shown as the nearest end of the range.
  const bool inRange = normalizedValue >= 0.0 && normalizedValue <= 1.0 &&
                       mTaper->GetMinimumValue() <= real && real <= mTaper->GetMaximumValue();
  return shown && inRange;
}

template <typename T>
bool AAX_CParameter<T>::GetNormalizedValueFromString(const AAX_CString& text, double* outNormalizedValue) const
{
  T value{};
  if (!outNormalizedValue || !mDisplay->StringToValue(text, &value))
    return false;
  *outNormalizedValue = mTaper->RealToNormalized(value);
  return true;
}

template <typename T>
bool AAX_CParameter<T>::SetValueFromString(const AAX_CString& text)
{
  T value{};
  if (!mDisplay->StringToValue(text, &value))
    return false;
  SetValue(value);
  return true;
}

template <typename T>
void AAX_CParameter<T>::SetTaperDelegate(const AAX_ITaperDelegate<T>& taper, bool preserveValue)
{
  const double normalized = GetNormalizedValue();
  mTaper.reset(taper.Clone());
  if (!preserveValue)
  {
    mNeedNotify = true;
    UpdateNormalizedValue(normalized);
  }
}

template <typename T>
void AAX_CParameter<T>::SetDisplayDelegate(const AAX_IDisplayDelegate<T>& display)
{
  mDisplay.reset(display.Clone());
}

template class AAX_CParameter<bool>;
template class AAX_CParameter<int32_t>;
template class AAX_CParameter<double>;
