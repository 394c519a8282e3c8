#pragma once

#include "AAX_IAutomationDelegate.h"

class IACFUnknown;
class AAX_IACFAutomationDelegate;

// Forwards automation to the host's automation delegate, found by a query on the host's
// controller; AAX_ERROR_NULL_OBJECT when the host answers none. Holds one reference.
class AAX_VAutomationDelegate final : public AAX_IAutomationDelegate
{
public:
  explicit AAX_VAutomationDelegate(IACFUnknown* controller);
  ~AAX_VAutomationDelegate() override;
  AAX_VAutomationDelegate(const AAX_VAutomationDelegate&) = delete;
  AAX_VAutomationDelegate& operator=(const AAX_VAutomationDelegate&) = delete;

  bool IsValid() const { return mIAutomationDelegate != nullptr; }

  AAX_Result RegisterParameter(AAX_CParamID paramID) override;
  AAX_Result UnregisterParameter(AAX_CParamID paramID) override;
  AAX_Result PostSetValueRequest(AAX_CParamID paramID, double normalizedValue) const override;
  AAX_Result PostCurrentValue(AAX_CParamID paramID, double normalizedValue) const override;
  AAX_Result PostTouchRequest(AAX_CParamID paramID) override;
  AAX_Result PostReleaseRequest(AAX_CParamID paramID) override;

private:
  AAX_IACFAutomationDelegate* mIAutomationDelegate = nullptr;
};
