#pragma once

#include <mutex>
#include <string>
#include <vector>

#include "AAX_IACFHostServices.h"
#include "HostObject.h"

namespace aaxhost {

// The host's reporting services: keeps every trace line and assertion report the module sends.
// Handed to the module's startup as the host interface. Any thread.
class HostServices final : public HostObject<AAX_IACFHostServices>
{
public:
  struct TraceLine
  {
    int32_t priority;
    std::string text;
  };

  struct AssertReport
  {
    std::string file;
    int32_t line;
    std::string note;
    int32_t flags;
  };

  static HostRef<HostServices> Create() { return HostRef<HostServices>(new HostServices()); }

  ACFRESULT QueryInterface(const acfIID& iid, void** outInterface) override;
  AAX_Result HandleAssertFailure(const char* file, int32_t line, const char* note, int32_t flags) override;
  AAX_Result Trace(int32_t priority, const char* message) override;

  std::vector<TraceLine> Traces() const;
  std::vector<AssertReport> Asserts() const;
  void Clear();

private:
  HostServices() = default;

  mutable std::mutex mLock;
  std::vector<TraceLine> mTraces;
  std::vector<AssertReport> mAsserts;
};

} // namespace aaxhost
