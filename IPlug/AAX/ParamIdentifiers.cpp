#include "ParamIdentifiers.h"

namespace iplug {

int ParamIndexFromID(const char* paramID)
{
  long long number = 0;
  for (const char* p = paramID; p && *p >= '0' && *p <= '9'; ++p)
  {
    number = number * 10 + (*p - '0');
    if (number > 0x7FFFFFFF)
      return -1;
  }
  return static_cast<int>(number) - 1;
}

} // namespace iplug
