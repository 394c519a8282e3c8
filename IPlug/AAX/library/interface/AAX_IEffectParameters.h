#pragma once

#include "AAX_IACFEffectParameters.h"

// The effect-parameters object as the module's own classes know it: the newest interface
// version, which carries all earlier ones.
class AAX_IEffectParameters : public AAX_IACFEffectParameters_V4
{
protected:
  ~AAX_IEffectParameters() = default;
};
