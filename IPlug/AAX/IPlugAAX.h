#pragma once

#include <atomic>
#include <cstdint>
#include <mutex>
#include <string>
#include <vector>

#include "AAX_CIPlugParameters.h"
#include "AAX_CParameter.h"
#include "IPlugAPIBase.h"
#include "IPlugProcessor.h"

class AAX_ITransport;

namespace iplug {

// The AAX adapter: one object that is the plug-in's host bridge, its processing frame and the
// effect-parameters object the host holds. The host reaches it through the effect-parameters
// interface (parameter, chunk and notification calls on its non-real-time threads) and through
// the render procedure (RenderInstances, audio thread); the product derives from it.
//
// Lifecycle: built by the module's factory on the host's UI thread (which must pump messages for
// the idle timer), initialised with the host's controller (parameters registered, sample rate
// read, processing reset), used, uninitialised and released on the UI thread.
class IPlugAAX : public IPlugAPIBase, public IPlugProcessor, public AAX_CIPlugParameters
{
public:
  // Messages the output MIDI array holds before it first grows.
  static constexpr int kMidiOutChunk = 512;

  // UI thread. maxLatency is the largest latency the product will ever report: the bypass delay
  // line reserves room for it, so that latency changes on the audio thread never allocate.
  explicit IPlugAAX(const ConfigRecord& config, int maxLatency = 0);
  ~IPlugAAX() override;

  // ---- Effect-parameters operations (host threads) -------------------------------------------

  // Host thread. Forgets the master bypass before the base deletes every parameter.
  AAX_Result Uninitialize() override;

  // Parameter thread. The AAX parameter takes the value; a framework parameter ("1", "2", …)
  // follows it, queues it for the editor and runs its change handling.
  AAX_Result UpdateParameterNormalizedValue(AAX_CParamID paramID, double normalizedValue,
                                            AAX_EUpdateSource source) override;

  // Non-real-time threads. One chunk, the plug-in's unique identifier, holding WriteState's bytes.
  AAX_Result GetChunkIDFromIndex(int32_t index, AAX_CTypeID* outChunkID) const override;
  AAX_Result GetChunkSize(AAX_CTypeID chunkID, uint32_t* outSize) const override;
  AAX_Result GetChunk(AAX_CTypeID chunkID, AAX_SPlugInChunk* outChunk) const override;
  // Restores the state, sends every restored value to the host and refreshes the editor.
  AAX_Result SetChunk(AAX_CTypeID chunkID, const AAX_SPlugInChunk* chunk) override;
  // Equal when the parameter values stored in the chunk (after the editor record) match the
  // current ones; a record too short to hold them is not equal.
  AAX_Result CompareActiveChunk(const AAX_SPlugInChunk* chunk, AAX_CBoolean* outIsEqual) const override;
  // Offline rendering on/off and the track name, then the base's notifications.
  AAX_Result NotificationReceived(AAX_CTypeID type, const void* data, uint32_t size) override;

  // Audio thread; allocates nothing once the latency is settled (and no output MIDI array growth
  // is needed), whatever the host's frame count: a block longer than the prepared block size
  // runs in pieces of that size. One block of one render context.
  void RenderAudio(AAX_SIPlugContext* context, const TParamValPair* const syncValues[],
                   int32_t numSyncValues) override;

  // ---- Host bridge hooks ----------------------------------------------------------------------

  void HostBeginParamGesture(int paramIdx) override;                      // UI thread
  void HostEndParamGesture(int paramIdx) override;                        // UI thread
  void HostSetParamNormalized(int paramIdx, double normalizedValue) override;  // UI thread
  void GetTrackName(std::string& name) const override;                    // any thread
  // UI thread, from the editor. Asks the host's view container for the new size (physical
  // pixels) when it differs from the one the host knows, then keeps it as the editor size.
  // Always true: the editor resizes its own window whatever the host answers.
  bool ResizeEditorInHost(int width, int height) override;
  // The idle tick runs on the platform's thread timers.
  std::unique_ptr<Timer> MakeIdleTimer(Timer::ITimerFunction callback, uint32_t intervalMs) override;

  // ---- Processing frame ----------------------------------------------------------------------

  // Audio thread (from the block routine) or initialisation: tells the host, then the frame.
  void ReportLatency(int samples) override;
  // Audio thread. Queues one message for the output MIDI node, in offset order.
  bool SendMidiMsg(const MidiMessage& msg) override;

  bool IsRenderingOffline() const { return mRenderingOffline.load(std::memory_order_relaxed); }
  // The transport of the last rendered block; null before the first.
  AAX_ITransport* HostTransport() const { return mHostTransport; }
  // The identifier under which framework parameter i is registered ("" when none).
  const char* ParamIDText(int paramIdx) const;
  int MainInputChannels() const { return mMainInputChannels; }

protected:
  // Host thread, once per instance: identifies the host, registers the master bypass and one
  // AAX parameter per framework parameter ("1", "2", …), then reads the sample rate and resets
  // processing.
  AAX_Result EffectInit() override;

  // Owned by the parameter manager; null before EffectInit and after Uninitialize. Read by the
  // audio thread.
  std::atomic<AAX_CParameter<bool>*> mMasterBypass{nullptr};
  AAX_ITransport* mHostTransport = nullptr;       // set at each render
  std::vector<std::string> mParamIdTexts;         // identifier of framework parameter i
  // Messages waiting for the output MIDI node: [mMidiOutFront, size()) in offset order.
  std::vector<MidiMessage> mMidiOutPending;
  size_t mMidiOutFront = 0;
  int mMainInputChannels = 0;
  std::string mHostTrackName;

private:
  // The host transport's position at the start of this block.
  TimeInfo HostTimeInfo() const;
  // Frames [offset, offset + frames) of the host's block, at most the prepared block size.
  void RenderPiece(AAX_SIPlugContext* context, int nIn, int nOut, int offset, int frames, bool bypass,
                   const TimeInfo& blockTime);
  // The first `count` host channel pointers moved on by `offset` frames, in `piece`'s storage
  // (the host's own array when the offset is 0).
  static float** PieceOf(float** hostPointers, int count, int offset, std::vector<float*>& piece);
  void PostPendingMidi(AAX_SIPlugContext* context, int nFrames);
  bool IsStateChunk(AAX_CTypeID chunkID) const;

  std::vector<float*> mPieceInputs, mPieceOutputs, mPieceSideChain;
  int mPieceOffset = 0;  // of the piece being rendered, within the host's block
  // The channel counts the last piece connected, and ConnectionCalls() after it did (-1: none yet).
  int mConnectedIn = -1;
  int mConnectedOut = -1;
  uint64_t mConnectionCallsLeft = 0;
  bool mHasSideChain = false;  // more than one input bus: the side chain may come and go
  std::atomic<bool> mRenderingOffline{false};
  mutable std::mutex mTrackNameLock;  // the track name arrives on a host thread, is read on others
};

} // namespace iplug
