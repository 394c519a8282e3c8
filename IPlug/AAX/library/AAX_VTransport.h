#pragma once

#include "AAX_ITransport.h"

class IACFUnknown;
class AAX_IACFTransport;

// Forwards transport queries to the host's transport, found by a query on the host's
// controller; AAX_ERROR_NULL_OBJECT when the host answers none. Holds one reference.
class AAX_VTransport final : public AAX_ITransport
{
public:
  explicit AAX_VTransport(IACFUnknown* controller);
  ~AAX_VTransport() override;
  AAX_VTransport(const AAX_VTransport&) = delete;
  AAX_VTransport& operator=(const AAX_VTransport&) = delete;

  bool IsValid() const { return mITransport != nullptr; }

  AAX_Result GetCurrentTempo(double* outTempo) const override;
  AAX_Result GetCurrentMeter(int32_t* outNumerator, int32_t* outDenominator) const override;
  AAX_Result IsTransportPlaying(bool* outIsPlaying) const override;
  AAX_Result GetCurrentTickPosition(int64_t* outTickPosition) const override;
  AAX_Result GetCurrentLoopPosition(bool* outLooping, int64_t* outLoopStartTick,
                                    int64_t* outLoopEndTick) const override;
  AAX_Result GetCurrentNativeSampleLocation(int64_t* outSampleLocation) const override;

private:
  AAX_IACFTransport* mITransport = nullptr;
};
