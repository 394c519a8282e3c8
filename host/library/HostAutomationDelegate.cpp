#include "HostAutomationDelegate.h"

#include <algorithm>

#include "AAX_IACFEffectParameters.h"

namespace aaxhost {

ACFRESULT HostAutomationDelegate::QueryInterface(const acfIID& iid, void** outInterface)
{
  if (iid == IID_IAAXAutomationDelegateV1 || iid == IID_IACFUnknown)
    return Answer(static_cast<AAX_IACFAutomationDelegate*>(this), outInterface);
  return Answer(nullptr, outInterface);
}

bool HostAutomationDelegate::IsRegistered(const std::string& paramID) const
{
  return std::find(mRegistered.begin(), mRegistered.end(), paramID) != mRegistered.end();
}

AAX_Result HostAutomationDelegate::Record(const char* operation, const char* kind, AAX_CParamID paramID, double value,
                                          bool mustBeRegistered) const
{
  if (const auto fault = mFaults->Trip(operation))
    return *fault;
  if (!paramID)
    return AAX_ERROR_NULL_ARGUMENT;
  std::lock_guard lock(mLock);
  if (mustBeRegistered && !IsRegistered(paramID))
    return AAX_ERROR_INVALID_PARAMETER_ID;
  mEvents.push_back({kind, paramID, value});
  return AAX_SUCCESS;
}

AAX_Result HostAutomationDelegate::RegisterParameter(AAX_CParamID paramID)
{
  if (const auto fault = mFaults->Trip("register-parameter"))
    return *fault;
  if (!paramID)
    return AAX_ERROR_NULL_ARGUMENT;
  std::lock_guard lock(mLock);
  if (!IsRegistered(paramID))
    mRegistered.emplace_back(paramID);
  mEvents.push_back({"register", paramID, 0.0});
  return AAX_SUCCESS;
}

AAX_Result HostAutomationDelegate::UnregisterParameter(AAX_CParamID paramID)
{
  if (const auto fault = mFaults->Trip("unregister-parameter"))
    return *fault;
  if (!paramID)
    return AAX_ERROR_NULL_ARGUMENT;
  std::lock_guard lock(mLock);
  const auto found = std::find(mRegistered.begin(), mRegistered.end(), std::string(paramID));
  if (found == mRegistered.end())
    return AAX_ERROR_INVALID_PARAMETER_ID;
  mRegistered.erase(found);
  mEvents.push_back({"unregister", paramID, 0.0});
  return AAX_SUCCESS;
}

AAX_Result HostAutomationDelegate::PostSetValueRequest(AAX_CParamID paramID, double normalizedValue) const
{
  const AAX_Result result = Record("post-set-value-request", "set", paramID, normalizedValue, true);
  if (result == AAX_SUCCESS)
  {
    std::function<void()> listener;
    {
      std::lock_guard lock(mLock);
      mPendingSetValues.emplace_back(paramID, normalizedValue);
      listener = mRequestListener;
    }
    if (listener)
      listener();
  }
  return result;
}

AAX_Result HostAutomationDelegate::PostCurrentValue(AAX_CParamID paramID, double normalizedValue) const
{
  return Record("post-current-value", "current", paramID, normalizedValue, true);
}

AAX_Result HostAutomationDelegate::PostTouchRequest(AAX_CParamID paramID)
{
  return Record("post-touch-request", "touch", paramID, 0.0, true);
}

AAX_Result HostAutomationDelegate::PostReleaseRequest(AAX_CParamID paramID)
{
  return Record("post-release-request", "release", paramID, 0.0, true);
}

void HostAutomationDelegate::SetRequestListener(std::function<void()> listener)
{
  std::lock_guard lock(mLock);
  mRequestListener = std::move(listener);
}

size_t HostAutomationDelegate::PendingSetValueRequests() const
{
  std::lock_guard lock(mLock);
  return mPendingSetValues.size();
}

int HostAutomationDelegate::DeliverSetValueRequests(AAX_IACFEffectParameters* effect,
                                                    const std::function<void()>& afterEach)
{
  int delivered = 0;
  while (true)
  {
    std::pair<std::string, double> request;
    {
      std::lock_guard lock(mLock);
      if (mPendingSetValues.empty())
        break;
      request = std::move(mPendingSetValues.front());
      mPendingSetValues.pop_front();
    }
    // Outside the lock: the plug-in answers with a current-value post.
    if (effect)
      effect->UpdateParameterNormalizedValue(request.first.c_str(), request.second, AAX_eUpdateSource_Parameter);
    if (afterEach)
      afterEach();
    ++delivered;
  }
  return delivered;
}

std::vector<std::string> HostAutomationDelegate::Registered() const
{
  std::lock_guard lock(mLock);
  return mRegistered;
}

std::vector<HostAutomationDelegate::Event> HostAutomationDelegate::Events() const
{
  std::lock_guard lock(mLock);
  return mEvents;
}

void HostAutomationDelegate::ClearEvents()
{
  std::lock_guard lock(mLock);
  mEvents.clear();
}

} // namespace aaxhost
