#pragma once

#include "AAX.h"
#include "ACFBase.h"

inline constexpr acfIID IID_IAAXTransportV1 = ACFUIDFromText("D3900849-04FB-423D-991F-D4D2A6174ED1");

// Ticks per quarter note in every tick position below.
constexpr int64_t AAX_kTicksPerQuarter = 960000;

// The host's transport as the component framework hands it out. Any thread.
class AAX_IACFTransport : public IACFUnknown
{
public:
  virtual AAX_Result GetCurrentTempo(double* outTempo) const = 0;
  virtual AAX_Result GetCurrentMeter(int32_t* outNumerator, int32_t* outDenominator) const = 0;
  virtual AAX_Result IsTransportPlaying(bool* outIsPlaying) const = 0;
  virtual AAX_Result GetCurrentTickPosition(int64_t* outTickPosition) const = 0;
  virtual AAX_Result GetCurrentLoopPosition(bool* outLooping, int64_t* outLoopStartTick,
                                            int64_t* outLoopEndTick) const = 0;
  virtual AAX_Result GetCurrentNativeSampleLocation(int64_t* outSampleLocation) const = 0;

protected:
  ~AAX_IACFTransport() = default;
};
