#pragma once

#include <charconv>
#include <string_view>
#include <limits>
#include <type_traits>

#include "AAX_IDisplayDelegate.h"
#include "AAX_NumberText.h"

// Fixed-point text with `Precision` decimals ("-3.50" for 2); integers in plain decimal.
// Reading takes the leading number of the text (integers truncate toward zero).
template <typename T, int32_t Precision = 2>
class AAX_CNumberDisplayDelegate final : public AAX_IDisplayDelegate<T>
{
  static_assert(std::is_same_v<T, int32_t> || std::is_same_v<T, double>, "numbers are int32_t or double");

public:
  AAX_CNumberDisplayDelegate* Clone() const override { return new AAX_CNumberDisplayDelegate(*this); }

  bool ValueToString(T value, AAX_CString* outText) const override
  {
    if (!outText)
      return false;
    // Written in the C locale's form whatever locale the host has set, so that it reads back.
    char text[400];  // the widest double in fixed notation needs about 320
    std::to_chars_result written;
    if constexpr (std::is_same_v<T, int32_t>)
      written = std::to_chars(text, text + sizeof(text), value);
    else
      written = std::to_chars(text, text + sizeof(text), value, std::chars_format::fixed, Precision);
    if (written.ec != std::errc())
      return false;
    *outText = AAX_CString(std::string_view(text, static_cast<size_t>(written.ptr - text)));
    return true;
  }

  bool ValueToString(T value, int32_t maxNumChars, AAX_CString* outText) const override
  {
    AAX_CString full;
    if (!outText || !ValueToString(value, &full))
      return false;
    std::string text = full.StdString();
    AAX_CutNumberText(text, maxNumChars);
    *outText = AAX_CString(std::string_view(text));
    return true;
  }

  bool StringToValue(const AAX_CString& text, T* outValue) const override
  {
    if (!outValue)
      return false;
    double value = 0.0;
    const bool ok = AAX_ParseLeadingNumber(text.StdString(), &value);
    if constexpr (std::is_same_v<T, int32_t>)
    {
      constexpr double lo = std::numeric_limits<int32_t>::min();
      constexpr double hi = std::numeric_limits<int32_t>::max();
      value = value < lo ? lo : (value > hi ? hi : value);
    }
    *outValue = static_cast<T>(value);
    return ok;
  }
};
