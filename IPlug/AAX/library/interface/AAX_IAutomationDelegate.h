#pragma once

#include "AAX.h"

// The host's automation as parameters use it (AAX_VAutomationDelegate forwards it to the
// host). Parameter and UI threads.
class AAX_IAutomationDelegate
{
public:
  virtual ~AAX_IAutomationDelegate() = default;

  virtual AAX_Result RegisterParameter(AAX_CParamID paramID) = 0;
  virtual AAX_Result UnregisterParameter(AAX_CParamID paramID) = 0;
  virtual AAX_Result PostSetValueRequest(AAX_CParamID paramID, double normalizedValue) const = 0;
  virtual AAX_Result PostCurrentValue(AAX_CParamID paramID, double normalizedValue) const = 0;
  virtual AAX_Result PostTouchRequest(AAX_CParamID paramID) = 0;
  virtual AAX_Result PostReleaseRequest(AAX_CParamID paramID) = 0;
};
