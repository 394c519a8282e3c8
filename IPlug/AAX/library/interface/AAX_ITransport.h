#pragma once

#include "AAX.h"

// The transport as the plug-in uses it, whether it comes from the controller (through
// AAX_VTransport) or from the transport node of a render context. Any thread.
class AAX_ITransport
{
public:
  virtual ~AAX_ITransport() = default;

  virtual AAX_Result GetCurrentTempo(double* outTempo) const = 0;
  virtual AAX_Result GetCurrentMeter(int32_t* outNumerator, int32_t* outDenominator) const = 0;
  virtual AAX_Result IsTransportPlaying(bool* outIsPlaying) const = 0;
  virtual AAX_Result GetCurrentTickPosition(int64_t* outTickPosition) const = 0;
  virtual AAX_Result GetCurrentLoopPosition(bool* outLooping, int64_t* outLoopStartTick,
                                            int64_t* outLoopEndTick) const = 0;
  virtual AAX_Result GetCurrentNativeSampleLocation(int64_t* outSampleLocation) const = 0;
};
