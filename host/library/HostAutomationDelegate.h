#pragma once

#include <deque>
#include <functional>
#include <memory>
#include <mutex>
#include <string>
#include <vector>

#include "AAX_IACFAutomationDelegate.h"
#include "HostFaults.h"
#include "HostObject.h"

class AAX_IACFEffectParameters;

namespace aaxhost {

// The host's automation for one instance. Keeps which identifiers are registered and every
// request in order; set-value requests wait until the host answers them with
// DeliverSetValueRequests, the way a host answers on its parameter thread. Requests for an
// identifier that is not registered answer AAX_ERROR_INVALID_PARAMETER_ID. Parameter and UI
// threads.
class HostAutomationDelegate final : public HostObject<AAX_IACFAutomationDelegate>
{
public:
  struct Event
  {
    std::string kind;   // "register", "unregister", "touch", "release", "set", "current"
    std::string paramID;
    double value = 0.0;
  };

  explicit HostAutomationDelegate(std::shared_ptr<HostFaults> faults) : mFaults(std::move(faults)) {}

  ACFRESULT QueryInterface(const acfIID& iid, void** outInterface) override;
  AAX_Result RegisterParameter(AAX_CParamID paramID) override;
  AAX_Result UnregisterParameter(AAX_CParamID paramID) override;
  AAX_Result PostSetValueRequest(AAX_CParamID paramID, double normalizedValue) const override;
  AAX_Result PostCurrentValue(AAX_CParamID paramID, double normalizedValue) const override;
  AAX_Result PostTouchRequest(AAX_CParamID paramID) override;
  AAX_Result PostReleaseRequest(AAX_CParamID paramID) override;

  // Answers every waiting set-value request with an update of that value; returns how many.
  // With `afterEach`, calls it after each answer (a host generates coefficients there).
  int DeliverSetValueRequests(AAX_IACFEffectParameters* effect, const std::function<void()>& afterEach = {});
  // Called (outside the delegate's lock) each time a set-value request arrives; a host wakes its
  // parameter thread there. Set before requests may arrive.
  void SetRequestListener(std::function<void()> listener);
  size_t PendingSetValueRequests() const;

  std::vector<std::string> Registered() const;
  std::vector<Event> Events() const;
  void ClearEvents();

private:
  bool IsRegistered(const std::string& paramID) const;
  AAX_Result Record(const char* operation, const char* kind, AAX_CParamID paramID, double value, bool mustBeRegistered) const;

  std::shared_ptr<HostFaults> mFaults;
  mutable std::mutex mLock;
  std::vector<std::string> mRegistered;
  mutable std::vector<Event> mEvents;
  mutable std::deque<std::pair<std::string, double>> mPendingSetValues;
  std::function<void()> mRequestListener;
};

} // namespace aaxhost
