#pragma once

#include "AAX_IDisplayDelegate.h"

// One text for off and one for on (the master bypass shows "bypass" and "on").
class AAX_CBinaryDisplayDelegate final : public AAX_IDisplayDelegate<bool>
{
public:
  AAX_CBinaryDisplayDelegate(const char* falseText, const char* trueText) : mFalseText(falseText), mTrueText(trueText) {}

  AAX_CBinaryDisplayDelegate* Clone() const override { return new AAX_CBinaryDisplayDelegate(*this); }

  bool ValueToString(bool value, AAX_CString* outText) const override
  {
    if (!outText)
      return false;
    *outText = value ? mTrueText : mFalseText;
    return true;
  }

  bool ValueToString(bool value, int32_t maxNumChars, AAX_CString* outText) const override
  {
    (void) maxNumChars;
    return ValueToString(value, outText);
  }

  bool StringToValue(const AAX_CString& text, bool* outValue) const override
  {
    if (!outValue)
      return false;
    *outValue = false;
    if (text.StdString() == mTrueText.StdString())
    {
      *outValue = true;
      return true;
    }
    return text.StdString() == mFalseText.StdString();
  }

private:
  AAX_CString mFalseText;
  AAX_CString mTrueText;
};
