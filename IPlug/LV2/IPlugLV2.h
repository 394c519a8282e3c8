#pragma once

#include <array>
#include <atomic>
#include <cstdint>
#include <vector>

#include <lv2/core/lv2.h>
#include <lv2/state/state.h>
#include <lv2/urid/urid.h>

#include "IPlugAPIBase.h"
#include "IPlugProcessor.h"
#include "LV2EditorSizeMessages.h"
#include "LV2PortLayout.h"

namespace iplug {

// The LV2 adapter: one object that is the plug-in's host bridge, its processing frame and one
// LV2 instance. The module's descriptor functions (LV2Entry.cpp) forward to it in a line each.
//
// Ports: one control input per framework parameter, whose value takes the same way into the
// parameter as an AAX host's automation (normalised, then the change handling), so derived
// values and smoothing match the AAX build sample for sample; the host's enable switch, which
// when off passes the input through untouched, delayed by the latency; the latency report; the
// audio ports; a message port pair on which the editor (which has no access to the instance)
// sets and asks for the editor-size record. The saved state is the product's state chunk, as the
// AAX build saves it, with that record in front, so a size saved by either build opens the other's
// editor at it.
//
// Lifecycle: built by the module's factory, then Instantiate (instantiation thread), ports
// connected, Activate, Run any number of times, Deactivate, destroyed. Run is the audio thread;
// once instantiated it neither allocates nor locks, whatever block length the host passes.
class IPlugLV2 : public IPlugAPIBase, public IPlugProcessor
{
public:
  // Block length prepared when the host announces none; longer runs are rendered in pieces.
  static constexpr int kDefaultBlockSize = 512;
  // The most a host's announcement makes the frame prepare; again, longer runs go in pieces.
  static constexpr int kMaxPreparedBlockSize = 8192;
  // No state of this framework comes near it; a record that claims more is not read at all.
  static constexpr uint32_t kMaxStateBytes = 1u << 24;

  // maxLatency is the largest latency the product will ever report: the bypass delay line
  // reserves room for it, so that latency changes in Run never allocate.
  explicit IPlugLV2(const ConfigRecord& config, int maxLatency = 0);
  ~IPlugLV2() override;

  // Instantiation thread. channels is 1 (mono) or 2 (stereo); features may be null. Reads the
  // URID map and the block-length options when the host offers them, prepares the frame and
  // resets processing. False for a channel count or sample rate the plug-in cannot run at.
  bool Instantiate(int channels, double sampleRate, const LV2_Feature* const* features);

  // Audio thread (or instantiation). A null location disconnects the port: an audio input
  // reads as silence, an audio output is skipped, a control input keeps its last value.
  void ConnectPort(uint32_t port, void* location);
  void Activate();      // instantiation thread: clears the processing state
  void Deactivate() {}  // instantiation thread
  // Audio thread. Applies changed control inputs, renders in pieces of the prepared block
  // length and writes the latency in force to the latency port.
  void Run(uint32_t nFrames);

  // State thread. The state chunk under the product's state key, as an atom:Chunk.
  LV2_State_Status SaveState(LV2_State_Store_Function store, LV2_State_Handle handle);
  // Refuses a missing property, another type, a null or short record (nothing changes then).
  // The editor hears of the restored size at the next run.
  LV2_State_Status RestoreState(LV2_State_Retrieve_Function retrieve, LV2_State_Handle handle);

  // The plug-in shows no editor of its own: the record is the one the LV2 editor last set (or a
  // state restored), kept as one atomic word so the run call, the state thread and restores
  // meet without a lock. A record the editor could not show is stored as no size.
  bool SerializeEditorSize(ByteChunk& chunk) const override;
  int UnserializeEditorSize(const ByteChunk& chunk, int startPos) override;
  LV2EditorSize EditorSize() const;

  const LV2PortLayout& Ports() const { return mPorts; }
  int MaxLatency() const { return mMaxLatency; }
  bool HostBypassed() const { return mHostBypassed; }

private:
  void ApplyControlPorts();
  // Remembers the control inputs as they stand, so only later changes reach the parameters.
  void TakeControlPortSnapshot();
  // Audio thread: takes the editor's messages, then answers on the output (an empty sequence
  // when there is nothing to say).
  void ExchangeMessages();
  void SetEditorSize(const LV2EditorSize& size);

  LV2PortLayout mPorts;
  int mMaxLatency = 0;
  LV2_URID_Map* mMap = nullptr;
  LV2_URID mChunkType = 0;
  LV2_URID mStateKey = 0;

  std::vector<const float*> mControlPorts;  // one per parameter
  std::vector<float> mLastControlValues;    // NaN: not yet applied
  LV2EditorSizeMessages mMessages;
  const LV2_Atom_Sequence* mMessagesIn = nullptr;
  LV2_Atom_Sequence* mMessagesOut = nullptr;
  // The editor-size record: width and height (16 bits each) and the scale's bits.
  std::atomic<uint64_t> mEditorSize{0};
  static_assert(std::atomic<uint64_t>::is_always_lock_free);
  // Set by a restore: the editor is told the new size at the next run.
  std::atomic<bool> mEditorSizeRestored{false};
  const float* mEnabledPort = nullptr;
  float* mLatencyPort = nullptr;
  std::array<const float*, 2> mAudioIn{};
  std::array<float*, 2> mAudioOut{};
  bool mHostBypassed = false;
};

} // namespace iplug
