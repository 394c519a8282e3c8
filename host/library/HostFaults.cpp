#include "HostFaults.h"

namespace aaxhost {

void HostFaults::Fail(const std::string& operation, AAX_Result result, int passCount)
{
  std::lock_guard lock(mLock);
  mRules[operation] = Rule{result, passCount};
}

void HostFaults::Clear()
{
  std::lock_guard lock(mLock);
  mRules.clear();
  mCalls.clear();
}

std::optional<AAX_Result> HostFaults::Trip(const std::string& operation)
{
  std::lock_guard lock(mLock);
  const int call = ++mCalls[operation];
  const auto rule = mRules.find(operation);
  if (rule == mRules.end() || call <= rule->second.passCount)
    return std::nullopt;
  return rule->second.result;
}

int HostFaults::CallCount(const std::string& operation) const
{
  std::lock_guard lock(mLock);
  const auto found = mCalls.find(operation);
  return found == mCalls.end() ? 0 : found->second;
}

} // namespace aaxhost
