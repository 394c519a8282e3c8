#pragma once

#include "AAX.h"

class IACFUnknown;
class AAX_IACFHostServices;

// The module's handle on the host's reporting services. Holds one reference to the host's
// interface while it lives; answers AAX_ERROR_NULL_OBJECT when the host gave none.
class AAX_VHostServices
{
public:
  explicit AAX_VHostServices(IACFUnknown* host);
  ~AAX_VHostServices();
  AAX_VHostServices(const AAX_VHostServices&) = delete;
  AAX_VHostServices& operator=(const AAX_VHostServices&) = delete;

  AAX_Result HandleAssertFailure(const char* file, int32_t line, const char* note, int32_t flags) const;
  AAX_Result Trace(int32_t priority, const char* message) const;

private:
  AAX_IACFHostServices* mIHostServices = nullptr;
};
