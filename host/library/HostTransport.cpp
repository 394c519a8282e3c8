#include "HostTransport.h"

#include <cmath>

namespace aaxhost {

ACFRESULT HostTransport::QueryInterface(const acfIID& iid, void** outInterface)
{
  if (iid == IID_IAAXTransportV1 || iid == IID_IACFUnknown)
    return Answer(static_cast<AAX_IACFTransport*>(this), outInterface);
  return Answer(nullptr, outInterface);
}

AAX_Result HostTransport::GetCurrentTempo(double* outTempo) const
{
  if (!outTempo)
    return AAX_ERROR_NULL_ARGUMENT;
  std::lock_guard lock(mLock);
  *outTempo = mState.tempo;
  return AAX_SUCCESS;
}

AAX_Result HostTransport::GetCurrentMeter(int32_t* outNumerator, int32_t* outDenominator) const
{
  if (!outNumerator || !outDenominator)
    return AAX_ERROR_NULL_ARGUMENT;
  std::lock_guard lock(mLock);
  *outNumerator = mState.numerator;
  *outDenominator = mState.denominator;
  return AAX_SUCCESS;
}

AAX_Result HostTransport::IsTransportPlaying(bool* outIsPlaying) const
{
  if (!outIsPlaying)
    return AAX_ERROR_NULL_ARGUMENT;
  std::lock_guard lock(mLock);
  *outIsPlaying = mState.playing;
  return AAX_SUCCESS;
}

AAX_Result HostTransport::GetCurrentTickPosition(int64_t* outTickPosition) const
{
  if (!outTickPosition)
    return AAX_ERROR_NULL_ARGUMENT;
  std::lock_guard lock(mLock);
  *outTickPosition = mState.tickPosition;
  return AAX_SUCCESS;
}

AAX_Result HostTransport::GetCurrentLoopPosition(bool* outLooping, int64_t* outLoopStartTick,
                                                 int64_t* outLoopEndTick) const
{
  if (!outLooping || !outLoopStartTick || !outLoopEndTick)
    return AAX_ERROR_NULL_ARGUMENT;
  std::lock_guard lock(mLock);
  *outLooping = mState.looping;
  *outLoopStartTick = mState.loopStartTick;
  *outLoopEndTick = mState.loopEndTick;
  return AAX_SUCCESS;
}

AAX_Result HostTransport::GetCurrentNativeSampleLocation(int64_t* outSampleLocation) const
{
  if (!outSampleLocation)
    return AAX_ERROR_NULL_ARGUMENT;
  std::lock_guard lock(mLock);
  *outSampleLocation = mState.sampleLocation;
  return AAX_SUCCESS;
}

void HostTransport::SetState(const State& state)
{
  std::lock_guard lock(mLock);
  mState = state;
}

int64_t HostTransport::TicksForSamples(int64_t samples, double tempo, double sampleRate)
{
  if (!(tempo > 0.0) || !(sampleRate > 0.0) || !std::isfinite(tempo) || !std::isfinite(sampleRate))
    return 0;
  const double beats = static_cast<double>(samples) / sampleRate * tempo / 60.0;
  return static_cast<int64_t>(std::llround(beats * static_cast<double>(AAX_kTicksPerQuarter)));
}

void HostTransport::Advance(int64_t samples, double sampleRate)
{
  std::lock_guard lock(mLock);
  mState.sampleLocation += samples;
  if (!mState.playing)
    return;
  mState.tickPosition += TicksForSamples(samples, mState.tempo, sampleRate);
  const int64_t loopLength = mState.loopEndTick - mState.loopStartTick;
  if (mState.looping && loopLength > 0 && mState.tickPosition >= mState.loopEndTick)
    mState.tickPosition = mState.loopStartTick + (mState.tickPosition - mState.loopStartTick) % loopLength;
}

HostTransport::State HostTransport::GetState() const
{
  std::lock_guard lock(mLock);
  return mState;
}

} // namespace aaxhost
