#pragma once

#include <atomic>

#include "AAX_IACFTransport.h"
#include "AAX_ITransport.h"
#include "HostObject.h"

namespace aaxhost {

// The host's transport: a settable state that answers the component framework's queries and
// the transport node's. Tick positions count 960000 per quarter note.
//
// Queries: any thread, lock-free. Advance: the audio thread, never blocks. SetState: any other
// thread; it may wait for a write under way, never for a reader.
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

  HostTransport() { Store(State{}); }

  void SetState(const State& state);
  State GetState() const;

  // Moves the play position on by a block: the sample location always, the tick position while
  // playing, wrapping inside the loop while looping. Audio thread, after each block. When another
  // thread is writing the state at that moment, the block's samples are carried to the next call
  // instead of waiting: the position then follows the new state.
  void Advance(int64_t samples, double sampleRate);

  // Ticks that `samples` take at `tempo` and `sampleRate`, rounded to the nearest tick; 0 for a
  // tempo or rate that is not a positive number.
  static int64_t TicksForSamples(int64_t samples, double tempo, double sampleRate);

private:
  // The plug-in asks several questions on the audio thread in every block, and the host moves the
  // transport on there after every block: neither may wait for another thread. The sequence count
  // is a seqlock and its own writer lock at once: a writer owns the fields while the count is
  // odd, taking it by a compare-exchange from even to odd; readers retry when the count was odd
  // or changed under them.
  struct Fields
  {
    std::atomic<double> tempo;
    std::atomic<int32_t> numerator, denominator;
    std::atomic<bool> playing, looping;
    std::atomic<int64_t> tickPosition, loopStartTick, loopEndTick, sampleLocation;
  };

  // Calls `read` until it ran while no write was under way.
  template <typename Read>
  void ReadConsistent(Read&& read) const;
  State Snapshot() const;
  // Takes the writer's side: the odd count, or false when a write is under way (try) / waits
  // for it to end.
  bool TryBeginWrite(uint32_t& sequence);
  uint32_t BeginWrite();
  void EndWrite(uint32_t sequence);
  State LoadOwned() const;
  void Store(const State& state);

  std::atomic<uint32_t> mSequence{0};  // odd while a write is under way
  Fields mFields;
  int64_t mOwedSamples = 0;            // audio thread only: samples of blocks not yet advanced
};

} // namespace aaxhost
