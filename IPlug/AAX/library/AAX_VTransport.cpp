#include "AAX_VTransport.h"

#include "AAX_Errors.h"
#include "AAX_IACFTransport.h"

AAX_VTransport::AAX_VTransport(IACFUnknown* controller)
{
  if (controller && controller->QueryInterface(IID_IAAXTransportV1, reinterpret_cast<void**>(&mITransport)) != ACF_OK)
    mITransport = nullptr;
}

AAX_VTransport::~AAX_VTransport()
{
  if (mITransport)
    mITransport->Release();
}

AAX_Result AAX_VTransport::GetCurrentTempo(double* outTempo) const
{
  return mITransport ? mITransport->GetCurrentTempo(outTempo) : AAX_ERROR_NULL_OBJECT;
}

AAX_Result AAX_VTransport::GetCurrentMeter(int32_t* outNumerator, int32_t* outDenominator) const
{
  return mITransport ? mITransport->GetCurrentMeter(outNumerator, outDenominator) : AAX_ERROR_NULL_OBJECT;
}

AAX_Result AAX_VTransport::IsTransportPlaying(bool* outIsPlaying) const
{
  return mITransport ? mITransport->IsTransportPlaying(outIsPlaying) : AAX_ERROR_NULL_OBJECT;
}

AAX_Result AAX_VTransport::GetCurrentTickPosition(int64_t* outTickPosition) const
{
  return mITransport ? mITransport->GetCurrentTickPosition(outTickPosition) : AAX_ERROR_NULL_OBJECT;
}

AAX_Result AAX_VTransport::GetCurrentLoopPosition(bool* outLooping, int64_t* outLoopStartTick,
                                                  int64_t* outLoopEndTick) const
{
  return mITransport ? mITransport->GetCurrentLoopPosition(outLooping, outLoopStartTick, outLoopEndTick)
                     : AAX_ERROR_NULL_OBJECT;
}

AAX_Result AAX_VTransport::GetCurrentNativeSampleLocation(int64_t* outSampleLocation) const
{
  return mITransport ? mITransport->GetCurrentNativeSampleLocation(outSampleLocation) : AAX_ERROR_NULL_OBJECT;
}
