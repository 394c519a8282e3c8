#pragma once

#include <atomic>
#include <mutex>

#include "AAX_IACFTransport.h"
#include "AAX_ITransport.h"
#include "HostObject.h"

namespace aaxhost {

// The host's transport: a settable state that answers the component framework's queries and
// the transport node's. Tick positions count 960000 per quarter note. Any thread.
class HostTransport final : public HostObject<AAX_IACFTransport>, public AAX_ITransport
{
public:
  struct State
  {
    double tempo = 120.0;
    int32_t numerator = 4;
    int32_t denominator = 4;
    bool playing = false;
    int64_t tickPosition = 0;
    bool looping = false;
    int64_t loopStartTick = 0;
    int64_t loopEndTick = 0;
    int64_t sampleLocation = 0;
  };

  ACFRESULT QueryInterface(const acfIID& iid, void** outInterface) override;
  AAX_Result GetCurrentTempo(double* outTempo) const override;
  AAX_Result GetCurrentMeter(int32_t* outNumerator, int32_t* outDenominator) const override;
  AAX_Result IsTransportPlaying(bool* outIsPlaying) const override;
  AAX_Result GetCurrentTickPosition(int64_t* outTickPosition) const override;
  AAX_Result GetCurrentLoopPosition(bool* outLooping, int64_t* outLoopStartTick, int64_t* outLoopEndTick) const override;
  AAX_Result GetCurrentNativeSampleLocation(int64_t* outSampleLocation) const override;

  HostTransport() { StoreLocked(State{}); }

  void SetState(const State& state);
  State GetState() const;

  // Moves the play position on by a block: the sample location always, the tick position while
  // playing, wrapping inside the loop while looping. Audio thread, after each block.
  void Advance(int64_t samples, double sampleRate);

  // Ticks that `samples` take at `tempo` and `sampleRate`, rounded to the nearest tick; 0 for a
  // tempo or rate that is not a positive number.
  static int64_t TicksForSamples(int64_t samples, double tempo, double sampleRate);

private:
  // The plug-in asks several questions on the audio thread in every block. A lock there would
  // count the host's own cost against the plug-in's in every benchmark of small blocks, so readers
  // take a consistent copy under a sequence count instead, and only writers lock among
  // themselves.
  struct Fields
  {
    std::atomic<double> tempo;
    std::atomic<int32_t> numerator, denominator;
    std::atomic<bool> playing, looping;
    std::atomic<int64_t> tickPosition, loopStartTick, loopEndTick, sampleLocation;
  };
  State Snapshot() const;
  void StoreLocked(const State& state);

  std::mutex mWriteLock;
  std::atomic<uint32_t> mSequence{0};  // odd while a write is under way
  Fields mFields;
};

} // namespace aaxhost
