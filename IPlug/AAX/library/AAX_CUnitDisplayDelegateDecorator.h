#pragma once

#include <memory>

#include "AAX_IDisplayDelegate.h"

// Another display with a unit written straight after its text ("-3.50dB"). In a narrow
// display the number keeps priority: the unit is added only when it fits whole.
template <typename T>
class AAX_CUnitDisplayDelegateDecorator final : public AAX_IDisplayDelegate<T>
{
public:
  AAX_CUnitDisplayDelegateDecorator(const AAX_IDisplayDelegate<T>& inner, const AAX_CString& unit)
    : mInner(inner.Clone()), mUnit(unit)
  {
  }

  AAX_CUnitDisplayDelegateDecorator(const AAX_CUnitDisplayDelegateDecorator& other)
    : AAX_IDisplayDelegate<T>(), mInner(other.mInner->Clone()), mUnit(other.mUnit)
  {
  }

  AAX_CUnitDisplayDelegateDecorator* Clone() const override { return new AAX_CUnitDisplayDelegateDecorator(*this); }

  bool ValueToString(T value, AAX_CString* outText) const override
  {
    if (!outText)
      return false;
    const bool ok = mInner->ValueToString(value, outText);
    *outText = AAX_CString(std::string_view(outText->StdString() + mUnit.StdString()));
    return ok;
  }

  bool ValueToString(T value, int32_t maxNumChars, AAX_CString* outText) const override
  {
    if (!outText)
      return false;
    const bool ok = mInner->ValueToString(value, maxNumChars, outText);
    const int64_t room = static_cast<int64_t>(maxNumChars) - outText->Length();
    if (room >= static_cast<int64_t>(mUnit.Length()))
      *outText = AAX_CString(std::string_view(outText->StdString() + mUnit.StdString()));
    return ok;
  }

  bool StringToValue(const AAX_CString& text, T* outValue) const override
  {
    const std::string& s = text.StdString();
    const std::string& unit = mUnit.StdString();
    if (s.size() >= unit.size() && s.compare(s.size() - unit.size(), unit.size(), unit) == 0)
      return mInner->StringToValue(AAX_CString(std::string_view(s).substr(0, s.size() - unit.size())), outValue);
    return mInner->StringToValue(text, outValue);
  }

private:
  std::unique_ptr<AAX_IDisplayDelegate<T>> mInner;
  AAX_CString mUnit;
};
