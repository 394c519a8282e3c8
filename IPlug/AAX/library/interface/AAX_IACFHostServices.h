#pragma once

#include "AAX.h"
#include "ACFBase.h"

inline constexpr acfIID IID_IAAXHostServicesV1 = ACFUIDFromText("121CCAF2-B8CF-44B0-8213-85D8CC9485D9");

// The host's reporting services: assertion reports and trace lines from the module.
// Any thread.
class AAX_IACFHostServices : public IACFUnknown
{
public:
  virtual AAX_Result HandleAssertFailure(const char* file, int32_t line, const char* note,
                                         int32_t flags) = 0;
  virtual AAX_Result Trace(int32_t priority, const char* message) = 0;

protected:
  ~AAX_IACFHostServices() = default;
};
