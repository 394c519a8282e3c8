#include "AAX_VHostServices.h"

#include "AAX_Errors.h"
#include "AAX_IACFHostServices.h"

AAX_VHostServices::AAX_VHostServices(IACFUnknown* host)
{
  if (host && host->QueryInterface(IID_IAAXHostServicesV1, reinterpret_cast<void**>(&mIHostServices)) != ACF_OK)
    mIHostServices = nullptr;
}

AAX_VHostServices::~AAX_VHostServices()
{
  if (mIHostServices)
    mIHostServices->Release();
}

AAX_Result AAX_VHostServices::HandleAssertFailure(const char* file, int32_t line, const char* note,
                                                  int32_t flags) const
{
  if (!mIHostServices)
    return AAX_ERROR_NULL_OBJECT;
  return mIHostServices->HandleAssertFailure(file, line, note, flags);
}

AAX_Result AAX_VHostServices::Trace(int32_t priority, const char* message) const
{
  if (!mIHostServices)
    return AAX_ERROR_NULL_OBJECT;
  return mIHostServices->Trace(priority, message);
}
