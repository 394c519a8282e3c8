#pragma once

#include <cstdint>
#include <set>
#include <string>
#include <utility>
#include <vector>

#include "AAX_CAtomicQueue.h"
#include "AAX_CEffectParameters.h"

struct AAX_SIPlugContext;
class AAX_IParameter;
class AAX_IParameterValue;

// A parameter's identifier and a copy of its value, handed from the parameter thread to a render
// call. The pair owns its value copy.
using TParamValPair = std::pair<std::string, AAX_IParameterValue*>;

// The effect-parameters object of an iplug instance, with the machinery that hands
// synchronised parameter values from the host's parameter thread to its render thread:
//
// - Coefficient generation (parameter thread) numbers each state, packs the synchronised values
//   changed since the last one into a numbered state list, queues it and posts the state
//   number to the render context (field 25).
// - The render-side delivery (audio thread) takes every queued list whose number the host has
//   reached, hands their values to RenderAudio and gives the emptied lists and the pairs back.
// - Timer wake-up (host timer thread) frees what the render side gave back, so the audio thread
//   never frees memory.
//
// One writer and one reader per queue; writers serialise on the queue's writer lock.
class AAX_CIPlugParameters : public AAX_CEffectParameters
{
public:
  // At most this many identifiers may be registered as synchronised.
  static constexpr size_t kSynchronizedParameterQueueSize = 32;
  // Values one render call can take; more are dropped (and reported).
  static constexpr int32_t kMaxValuesPerRender = 128;

  AAX_CIPlugParameters();
  ~AAX_CIPlugParameters() override;

  // Parameter thread. The base update, then a synchronised parameter is remembered for the
  // next coefficient generation.
  AAX_Result UpdateParameterNormalizedValue(AAX_CParamID paramID, double normalizedValue,
                                            AAX_EUpdateSource source) override;
  // Parameter thread. Packet dispatch, then the next state number: its changed synchronised
  // values are queued for the render side and the number is posted to field 25.
  AAX_Result GenerateCoefficients() override;
  // Host thread. Clears the block; the private-data field gets this object's pointer.
  AAX_Result ResetFieldData(AAX_CFieldIndex field, void* data, uint32_t dataSize) const override;
  // Host timer thread. Frees the state lists and value pairs the render side gave back.
  AAX_Result TimerWakeup() override;

  // Audio thread; never allocates once the calling thread has taken a writer lock once. Delivers
  // the values of every state the host has reached and calls RenderAudio for the context.
  void RenderContext(AAX_SIPlugContext* context);

  // Audio thread. One block of one context with the values delivered for it; the base does
  // nothing.
  virtual void RenderAudio(AAX_SIPlugContext* context, const TParamValPair* const syncValues[],
                           int32_t numSyncValues);

protected:
  // Host thread, during initialisation. Marks a parameter as synchronised with the render thread.
  void RegisterSyncParameter(const AAX_IParameter* parameter);

  std::set<std::string> mSynchronizedParameters;
  std::set<const AAX_IParameter*> mChangedSyncParameters;

private:
  struct NumberedStateList
  {
    int64_t number = 0;
    std::vector<TParamValPair*> pairs;
  };

  static void FreePair(TParamValPair* pair);
  static void FreeList(NumberedStateList* list);

  int64_t mNextStateNumber = 0;
  AAX_CAtomicQueue<NumberedStateList, 256> mPendingStateLists;
  AAX_CAtomicQueue<NumberedStateList, 256> mSpentStateLists;
  AAX_CAtomicQueue<TParamValPair, 512> mSpentValuePairs;
  // The render side's own queue of the lists taken in one call. It is used by the audio thread
  // only and is empty between calls; it lives as long as the object, so that no render call has
  // to make a system mutex of its own.
  AAX_CAtomicQueue<NumberedStateList, 256> mRenderLists;
};
