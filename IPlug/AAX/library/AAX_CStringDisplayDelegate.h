#pragma once

#include <cstdint>
#include <map>

#include "AAX_IDisplayDelegate.h"

// A fixed text for each integer value, such as "Off" and "On".
class AAX_CStringDisplayDelegate final : public AAX_IDisplayDelegate<int32_t>
{
public:
  explicit AAX_CStringDisplayDelegate(const std::map<int32_t, AAX_CString>& texts) : mTexts(texts) {}

  AAX_CStringDisplayDelegate* Clone() const override { return new AAX_CStringDisplayDelegate(*this); }

  bool ValueToString(int32_t value, AAX_CString* outText) const override
  {
    if (!outText)
      return false;
    const auto found = mTexts.find(value);
    if (found == mTexts.end())
    {
      outText->Set("String Not Found");
      return false;
    }
    *outText = found->second;
    return true;
  }

  bool ValueToString(int32_t value, int32_t maxNumChars, AAX_CString* outText) const override
  {
    (void) maxNumChars;
    return ValueToString(value, outText);
  }

  bool StringToValue(const AAX_CString& text, int32_t* outValue) const override
  {
    if (!outValue)
      return false;
    for (const auto& [value, valueText] : mTexts)
    {
      if (valueText.StdString() == text.StdString())
      {
        *outValue = value;
        return true;
      }
    }
    *outValue = 0;
    return false;
  }

private:
  std::map<int32_t, AAX_CString> mTexts;
};
