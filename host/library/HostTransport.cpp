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
  *outTempo = Snapshot().tempo;
  return AAX_SUCCESS;
}

AAX_Result HostTransport::GetCurrentMeter(int32_t* outNumerator, int32_t* outDenominator) const
{
  if (!outNumerator || !outDenominator)
    return AAX_ERROR_NULL_ARGUMENT;
  const State state = Snapshot();
  *outNumerator = state.numerator;
  *outDenominator = state.denominator;
  return AAX_SUCCESS;
}

AAX_Result HostTransport::IsTransportPlaying(bool* outIsPlaying) const
{
  if (!outIsPlaying)
    return AAX_ERROR_NULL_ARGUMENT;
  *outIsPlaying = Snapshot().playing;
  return AAX_SUCCESS;
}

AAX_Result HostTransport::GetCurrentTickPosition(int64_t* outTickPosition) const
{
  if (!outTickPosition)
    return AAX_ERROR_NULL_ARGUMENT;
  *outTickPosition = Snapshot().tickPosition;
  return AAX_SUCCESS;
}

AAX_Result HostTransport::GetCurrentLoopPosition(bool* outLooping, int64_t* outLoopStartTick,
                                                 int64_t* outLoopEndTick) const
{
  if (!outLooping || !outLoopStartTick || !outLoopEndTick)
    return AAX_ERROR_NULL_ARGUMENT;
  const State state = Snapshot();
  *outLooping = state.looping;
  *outLoopStartTick = state.loopStartTick;
  *outLoopEndTick = state.loopEndTick;
  return AAX_SUCCESS;
}

AAX_Result HostTransport::GetCurrentNativeSampleLocation(int64_t* outSampleLocation) const
{
  if (!outSampleLocation)
    return AAX_ERROR_NULL_ARGUMENT;
  *outSampleLocation = Snapshot().sampleLocation;
  return AAX_SUCCESS;
}

void HostTransport::SetState(const State& state)
{
  std::lock_guard lock(mWriteLock);
  StoreLocked(state);
}

void HostTransport::StoreLocked(const State& state)
{
  const uint32_t sequence = mSequence.load(std::memory_order_relaxed);
  mSequence.store(sequence + 1, std::memory_order_relaxed);
  std::atomic_thread_fence(std::memory_order_release);
  mFields.tempo.store(state.tempo, std::memory_order_relaxed);
  mFields.numerator.store(state.numerator, std::memory_order_relaxed);
  mFields.denominator.store(state.denominator, std::memory_order_relaxed);
  mFields.playing.store(state.playing, std::memory_order_relaxed);
  mFields.looping.store(state.looping, std::memory_order_relaxed);
  mFields.tickPosition.store(state.tickPosition, std::memory_order_relaxed);
  mFields.loopStartTick.store(state.loopStartTick, std::memory_order_relaxed);
  mFields.loopEndTick.store(state.loopEndTick, std::memory_order_relaxed);
  mFields.sampleLocation.store(state.sampleLocation, std::memory_order_relaxed);
  mSequence.store(sequence + 2, std::memory_order_release);
}

HostTransport::State HostTransport::Snapshot() const
{
  for (;;)
  {
    const uint32_t before = mSequence.load(std::memory_order_acquire);
    if (before & 1u)
      continue;
    State state;
    state.tempo = mFields.tempo.load(std::memory_order_relaxed);
    state.numerator = mFields.numerator.load(std::memory_order_relaxed);
    state.denominator = mFields.denominator.load(std::memory_order_relaxed);
    state.playing = mFields.playing.load(std::memory_order_relaxed);
    state.looping = mFields.looping.load(std::memory_order_relaxed);
    state.tickPosition = mFields.tickPosition.load(std::memory_order_relaxed);
    state.loopStartTick = mFields.loopStartTick.load(std::memory_order_relaxed);
    state.loopEndTick = mFields.loopEndTick.load(std::memory_order_relaxed);
    state.sampleLocation = mFields.sampleLocation.load(std::memory_order_relaxed);
    std::atomic_thread_fence(std::memory_order_acquire);
    if (mSequence.load(std::memory_order_relaxed) == before)
      return state;
  }
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
  std::lock_guard lock(mWriteLock);
  State state = Snapshot();
  state.sampleLocation += samples;
  if (state.playing)
  {
    state.tickPosition += TicksForSamples(samples, state.tempo, sampleRate);
    const int64_t loopLength = state.loopEndTick - state.loopStartTick;
    if (state.looping && loopLength > 0 && state.tickPosition >= state.loopEndTick)
      state.tickPosition = state.loopStartTick + (state.tickPosition - state.loopStartTick) % loopLength;
  }
  StoreLocked(state);
}

HostTransport::State HostTransport::GetState() const
{
  return Snapshot();
}

} // namespace aaxhost
