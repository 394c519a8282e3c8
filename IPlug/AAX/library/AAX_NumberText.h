#pragma once

#include <charconv>
#include <cmath>
#include <cstddef>
#include <string>

// Number ↔ text helpers of the display delegates.

// Reads the decimal number at the start of `text` the way a stream reader does: leading
// blanks skipped, an optional sign, digits with an optional point and exponent; the rest of the
// text is ignored. False and 0 when there is no finite number there (words such as "nan" or
// "inf" are not numbers to a parameter).
inline bool AAX_ParseLeadingNumber(const std::string& text, double* outValue)
{
  *outValue = 0.0;
  const char* p = text.data();
  const char* const end = p + text.size();
  while (p != end && (*p == ' ' || *p == '\t' || *p == '\n' || *p == '\r' || *p == '\f' || *p == '\v'))
    ++p;
  bool negative = false;
  if (p != end && (*p == '+' || *p == '-'))
  {
    negative = *p == '-';
    ++p;
  }
  if (p == end || !((*p >= '0' && *p <= '9') || *p == '.'))
    return false;
  double value = 0.0;
  const auto [stop, error] = std::from_chars(p, end, value, std::chars_format::general);
  (void) stop;
  if (error != std::errc() || !std::isfinite(value))
    return false;
  *outValue = negative ? -value : value;
  return true;
}

// Cuts `text` to `maxNumChars` characters (a negative maximum counts as 0) and drops a decimal
// point the cut left at the end.
inline void AAX_CutNumberText(std::string& text, int32_t maxNumChars)
{
  const size_t limit = maxNumChars > 0 ? static_cast<size_t>(maxNumChars) : 0;
  if (text.size() > limit)
  {
    text.resize(limit);
    if (!text.empty() && text.back() == '.')
      text.pop_back();
  }
}
