#pragma once

#include <cstdint>

#include "AAX_CString.h"

// Turns a parameter's real value into its display text and back. The form with a maximum
// number of characters makes the text fit a host's narrow display; a negative maximum counts
// as 0. Pure functions of the delegate's settings; any thread.
template <typename T>
class AAX_IDisplayDelegate
{
public:
  virtual ~AAX_IDisplayDelegate() = default;

  virtual AAX_IDisplayDelegate* Clone() const = 0;
  virtual bool ValueToString(T value, AAX_CString* outText) const = 0;
  virtual bool ValueToString(T value, int32_t maxNumChars, AAX_CString* outText) const = 0;
  virtual bool StringToValue(const AAX_CString& text, T* outValue) const = 0;
};
