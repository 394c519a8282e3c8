#include "HostTransport.h"

#include <cmath>
#include <thread>

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
  ReadConsistent([&] { *outTempo = mFields.tempo.load(std::memory_order_relaxed); });
  return AAX_SUCCESS;
}

AAX_Result HostTransport::GetCurrentMeter(int32_t* outNumerator, int32_t* outDenominator) const
{
  if (!outNumerator || !outDenominator)
    return AAX_ERROR_NULL_ARGUMENT;
  ReadConsistent([&] {
    *outNumerator = mFields.numerator.load(std::memory_order_relaxed);
    *outDenominator = mFields.denominator.load(std::memory_order_relaxed);
  });
  return AAX_SUCCESS;
}

AAX_Result HostTransport::IsTransportPlaying(bool* outIsPlaying) const
{
  if (!outIsPlaying)
    return AAX_ERROR_NULL_ARGUMENT;
  ReadConsistent([&] { *outIsPlaying = mFields.playing.load(std::memory_order_relaxed); });
  return AAX_SUCCESS;
}

AAX_Result HostTransport::GetCurrentTickPosition(int64_t* outTickPosition) const
{
  if (!outTickPosition)
    return AAX_ERROR_NULL_ARGUMENT;
  ReadConsistent([&] { *outTickPosition = mFields.tickPosition.load(std::memory_order_relaxed); });
  return AAX_SUCCESS;
}

AAX_Result HostTransport::GetCurrentLoopPosition(bool* outLooping, int64_t* outLoopStartTick,
                                                 int64_t* outLoopEndTick) const
{
  if (!outLooping || !outLoopStartTick || !outLoopEndTick)
    return AAX_ERROR_NULL_ARGUMENT;
  ReadConsistent([&] {
    *outLooping = mFields.looping.load(std::memory_order_relaxed);
    *outLoopStartTick = mFields.loopStartTick.load(std::memory_order_relaxed);
    *outLoopEndTick = mFields.loopEndTick.load(std::memory_order_relaxed);
  });
  return AAX_SUCCESS;
}

AAX_Result HostTransport::GetCurrentNativeSampleLocation(int64_t* outSampleLocation) const
{
  if (!outSampleLocation)
    return AAX_ERROR_NULL_ARGUMENT;
  ReadConsistent([&] { *outSampleLocation = mFields.sampleLocation.load(std::memory_order_relaxed); });
  return AAX_SUCCESS;
}

template <typename Read>
void HostTransport::ReadConsistent(Read&& read) const
{
  for (;;)
  {
    const uint32_t before = mSequence.load(std::memory_order_acquire);
    if (before & 1u)
      continue;
    read();
    std::atomic_thread_fence(std::memory_order_acquire);
    if (mSequence.load(std::memory_order_relaxed) == before)
      return;
  }
}

HostTransport::State HostTransport::Snapshot() const
{
  State state;
  ReadConsistent([&] { state = LoadOwned(); });
  return state;
}

bool HostTransport::TryBeginWrite(uint32_t& sequence)
{
  sequence = mSequence.load(std::memory_order_relaxed);
  if ((sequence & 1u) ||
      !mSequence.compare_exchange_strong(sequence, sequence + 1, std::memory_order_acquire, std::memory_order_relaxed))
    return false;
  // The odd count must be seen before any field changes.
  std::atomic_thread_fence(std::memory_order_release);
  sequence += 1;
  return true;
}

uint32_t HostTransport::BeginWrite()
{
  uint32_t sequence = 0;
  while (!TryBeginWrite(sequence))
    std::this_thread::yield();
  return sequence;
}

void HostTransport::EndWrite(uint32_t sequence)
{
  mSequence.store(sequence + 1, std::memory_order_release);
}

HostTransport::State HostTransport::LoadOwned() const
{
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
  return state;
}

void HostTransport::Store(const State& state)
{
  mFields.tempo.store(state.tempo, std::memory_order_relaxed);
  mFields.numerator.store(state.numerator, std::memory_order_relaxed);
  mFields.denominator.store(state.denominator, std::memory_order_relaxed);
  mFields.playing.store(state.playing, std::memory_order_relaxed);
  mFields.looping.store(state.looping, std::memory_order_relaxed);
  mFields.tickPosition.store(state.tickPosition, std::memory_order_relaxed);
  mFields.loopStartTick.store(state.loopStartTick, std::memory_order_relaxed);
  mFields.loopEndTick.store(state.loopEndTick, std::memory_order_relaxed);
  mFields.sampleLocation.store(state.sampleLocation, std::memory_order_relaxed);
}

void HostTransport::SetState(const State& state)
{
  const uint32_t sequence = BeginWrite();
  Store(state);
  EndWrite(sequence);
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
  mOwedSamples += samples;
  uint32_t sequence = 0;
  if (!TryBeginWrite(sequence))
    return;
  State state = LoadOwned();
  state.sampleLocation += mOwedSamples;
  if (state.playing)
  {
    state.tickPosition += TicksForSamples(mOwedSamples, state.tempo, sampleRate);
    const int64_t loopLength = state.loopEndTick - state.loopStartTick;
    if (state.looping && loopLength > 0 && state.tickPosition >= state.loopEndTick)
      state.tickPosition = state.loopStartTick + (state.tickPosition - state.loopStartTick) % loopLength;
  }
  mOwedSamples = 0;
  Store(state);
  EndWrite(sequence);
}

HostTransport::State HostTransport::GetState() const
{
  return Snapshot();
}

} // namespace aaxhost
