#pragma once

#include "AAX.h"
#include "ACFBase.h"

inline constexpr acfIID IID_IAAXPropertyMapV1 = ACFUIDFromText("5FE9288F-6AC7-42CF-AC68-32A69A9CBE3E");

// Numbered 32-bit properties of a processing procedure. Registration thread.
class AAX_IACFPropertyMap : public IACFUnknown
{
public:
  virtual AAX_Result AddProperty(AAX_EProperty property, AAX_CPropertyValue value) = 0;
  // True with the value when the property was added; false and 0 otherwise.
  virtual AAX_CBoolean GetProperty(AAX_EProperty property, AAX_CPropertyValue* outValue) const = 0;

protected:
  ~AAX_IACFPropertyMap() = default;
};
