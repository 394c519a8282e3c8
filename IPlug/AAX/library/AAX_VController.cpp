#include "AAX_VController.h"

#include "AAX_Errors.h"
#include "AAX_IACFController.h"

AAX_VController::AAX_VController(IACFUnknown* host)
{
  if (host && host->QueryInterface(IID_IAAXControllerV1, reinterpret_cast<void**>(&mIController)) != ACF_OK)
    mIController = nullptr;
}

AAX_VController::~AAX_VController()
{
  if (mIController)
    mIController->Release();
}

IACFUnknown* AAX_VController::GetIUnknown() const
{
  return mIController;
}

AAX_Result AAX_VController::GetSampleRate(AAX_CSampleRate* outSampleRate) const
{
  return mIController ? mIController->GetSampleRate(outSampleRate) : AAX_ERROR_NULL_OBJECT;
}

AAX_Result AAX_VController::GetInputStemFormat(uint32_t* outStemFormat) const
{
  return mIController ? mIController->GetInputStemFormat(outStemFormat) : AAX_ERROR_NULL_OBJECT;
}

AAX_Result AAX_VController::GetOutputStemFormat(uint32_t* outStemFormat) const
{
  return mIController ? mIController->GetOutputStemFormat(outStemFormat) : AAX_ERROR_NULL_OBJECT;
}

AAX_Result AAX_VController::SetSignalLatency(int32_t samples)
{
  return mIController ? mIController->SetSignalLatency(samples) : AAX_ERROR_NULL_OBJECT;
}

AAX_Result AAX_VController::GetSignalLatency(int32_t* outSamples) const
{
  return mIController ? mIController->GetSignalLatency(outSamples) : AAX_ERROR_NULL_OBJECT;
}

AAX_Result AAX_VController::PostPacket(AAX_CFieldIndex field, const void* payload, uint32_t size)
{
  return mIController ? mIController->PostPacket(field, payload, size) : AAX_ERROR_NULL_OBJECT;
}
