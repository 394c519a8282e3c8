#pragma once

#include "AAX_IACFEffectGUI.h"

// The editor object as the module's own classes know it.
class AAX_IEffectGUI : public AAX_IACFEffectGUI
{
protected:
  ~AAX_IEffectGUI() = default;
};
