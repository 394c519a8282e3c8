#pragma once

#include <cmath>
#include <cstdlib>
#include <memory>

#include "Corvane.h"

// One product instance shared by every input of a fuzz run, and the check that whatever a
// reader made of the input, every parameter still holds a finite value inside its range.
inline Corvane& FuzzProduct()
{
  static std::unique_ptr<Corvane> plug(static_cast<Corvane*>(CreatePlugin(InstanceInfo{})));
  return *plug;
}

inline void CheckParameters(Corvane& plug)
{
  for (int i = 0; i < plug.NParams(); ++i)
  {
    const iplug::IParam* param = plug.GetParam(i);
    const double value = param->Value();
    if (!std::isfinite(value) || value < param->Min() || value > param->Max())
      std::abort();
  }
}
