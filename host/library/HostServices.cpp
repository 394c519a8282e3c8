#include "HostServices.h"

namespace aaxhost {

ACFRESULT HostServices::QueryInterface(const acfIID& iid, void** outInterface)
{
  if (iid == IID_IAAXHostServicesV1 || iid == IID_IACFUnknown)
    return Answer(static_cast<AAX_IACFHostServices*>(this), outInterface);
  return Answer(nullptr, outInterface);
}

AAX_Result HostServices::HandleAssertFailure(const char* file, int32_t line, const char* note, int32_t flags)
{
  std::lock_guard lock(mLock);
  mAsserts.push_back({file ? file : "", line, note ? note : "", flags});
  return AAX_SUCCESS;
}

AAX_Result HostServices::Trace(int32_t priority, const char* message)
{
  std::lock_guard lock(mLock);
  mTraces.push_back({priority, message ? message : ""});
  return AAX_SUCCESS;
}

std::vector<HostServices::TraceLine> HostServices::Traces() const
{
  std::lock_guard lock(mLock);
  return mTraces;
}

std::vector<HostServices::AssertReport> HostServices::Asserts() const
{
  std::lock_guard lock(mLock);
  return mAsserts;
}

void HostServices::Clear()
{
  std::lock_guard lock(mLock);
  mTraces.clear();
  mAsserts.clear();
}

} // namespace aaxhost
