#pragma once

#include "AAX.h"
#include "ACFBase.h"

inline constexpr acfIID IID_IAAXAutomationDelegateV1 =
  ACFUIDFromText("FD1198B1-B21F-4683-BB45-4EE427194FA2");

// The host's automation of an instance's parameters. A set-value request comes back to the
// plug-in as a parameter update from the host. Parameter and UI threads.
class AAX_IACFAutomationDelegate : public IACFUnknown
{
public:
  virtual AAX_Result RegisterParameter(AAX_CParamID paramID) = 0;
  virtual AAX_Result UnregisterParameter(AAX_CParamID paramID) = 0;
  virtual AAX_Result PostSetValueRequest(AAX_CParamID paramID, double normalizedValue) const = 0;
  virtual AAX_Result PostCurrentValue(AAX_CParamID paramID, double normalizedValue) const = 0;
  virtual AAX_Result PostTouchRequest(AAX_CParamID paramID) = 0;
  virtual AAX_Result PostReleaseRequest(AAX_CParamID paramID) = 0;

protected:
  ~AAX_IACFAutomationDelegate() = default;
};
