#pragma once

#include <map>
#include <mutex>
#include <optional>
#include <string>

#include "AAX.h"

namespace aaxhost {

// Fault injection: which host operations fail, from which call on and with which result.
// Operations are named in kebab case after the host call ("new-component-descriptor",
// "add-property", "add-effect", "get-sample-rate" …). An operation that hands out an object
// answers null when it fails; the others answer the rule's result. Every call is counted, failing
// or not. Any thread.
class HostFaults
{
public:
  // From the (passCount + 1)-th call of `operation` on, the call fails with `result`.
  void Fail(const std::string& operation, AAX_Result result, int passCount = 0);
  void Clear();

  // Counts the call; the injected result when this call fails.
  std::optional<AAX_Result> Trip(const std::string& operation);

  int CallCount(const std::string& operation) const;

private:
  struct Rule
  {
    AAX_Result result;
    int passCount;
  };

  mutable std::mutex mLock;
  std::map<std::string, Rule> mRules;
  std::map<std::string, int> mCalls;
};

} // namespace aaxhost
