#include "AAX_VAutomationDelegate.h"

#include "AAX_Errors.h"
#include "AAX_IACFAutomationDelegate.h"

AAX_VAutomationDelegate::AAX_VAutomationDelegate(IACFUnknown* controller)
{
  if (controller &&
      controller->QueryInterface(IID_IAAXAutomationDelegateV1, reinterpret_cast<void**>(&mIAutomationDelegate)) != ACF_OK)
    mIAutomationDelegate = nullptr;
}

AAX_VAutomationDelegate::~AAX_VAutomationDelegate()
{
  if (mIAutomationDelegate)
    mIAutomationDelegate->Release();
}

AAX_Result AAX_VAutomationDelegate::RegisterParameter(AAX_CParamID paramID)
{
  return mIAutomationDelegate ? mIAutomationDelegate->RegisterParameter(paramID) : AAX_ERROR_NULL_OBJECT;
}

AAX_Result AAX_VAutomationDelegate::UnregisterParameter(AAX_CParamID paramID)
{
  return mIAutomationDelegate ? mIAutomationDelegate->UnregisterParameter(paramID) : AAX_ERROR_NULL_OBJECT;
}

AAX_Result AAX_VAutomationDelegate::PostSetValueRequest(AAX_CParamID paramID, double normalizedValue) const
{
  return mIAutomationDelegate ? mIAutomationDelegate->PostSetValueRequest(paramID, normalizedValue)
                              : AAX_ERROR_NULL_OBJECT;
}

AAX_Result AAX_VAutomationDelegate::PostCurrentValue(AAX_CParamID paramID, double normalizedValue) const
{
  return mIAutomationDelegate ? mIAutomationDelegate->PostCurrentValue(paramID, normalizedValue)
                              : AAX_ERROR_NULL_OBJECT;
}

AAX_Result AAX_VAutomationDelegate::PostTouchRequest(AAX_CParamID paramID)
{
  return mIAutomationDelegate ? mIAutomationDelegate->PostTouchRequest(paramID) : AAX_ERROR_NULL_OBJECT;
}

AAX_Result AAX_VAutomationDelegate::PostReleaseRequest(AAX_CParamID paramID)
{
  return mIAutomationDelegate ? mIAutomationDelegate->PostReleaseRequest(paramID) : AAX_ERROR_NULL_OBJECT;
}
