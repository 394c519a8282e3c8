#pragma once

#include <cstdint>
#include <memory>
#include <span>
#include <string>
#include <vector>

#include "BypassDelayLine.h"
#include "ChannelData.h"
#include "ConfigRecord.h"
#include "IOConfig.h"
#include "IPlugConstants.h"
#include "MidiMessage.h"
#include "SysexMessage.h"
#include "TimeInfo.h"

namespace iplug {

// The frame between the host adapter's render call and the product's block routine.
//
// The block routine always receives one input and one output pointer per channel of the widest
// accepted layout, each pointing at a `sample` buffer the frame owns; channels the host does not
// feed stand on their scratch buffers, so the block routine never tests for missing channels.
// The frame converts host inputs into those buffers before the block and the buffers back into
// the host's outputs after it.
//
// Lifecycle: constructed on the UI thread with the plug-in object; the adapter sets the sample
// rate, prepares the block size and resets processing before the first block. Everything else
// runs on the host's audio thread and takes no lock; once the block size is prepared (and the
// latency stays within the bypass delay line's reserve) nothing on that path allocates.
//
// Not copyable: each channel record points into this object's own pointer arrays.
class IPlugProcessor
{
public:
  // UI thread; parses the channel text and sizes the channel lists.
  explicit IPlugProcessor(const ConfigRecord& config);
  IPlugProcessor(const IPlugProcessor&) = delete;
  IPlugProcessor& operator=(const IPlugProcessor&) = delete;

  virtual ~IPlugProcessor();

  // Audio thread. The block routine; the base copies input i to output i where both exist and
  // silences the other outputs.
  virtual void RenderBlock(sample** inputs, sample** outputs, int nFrames);

  // Audio thread. An incoming MIDI message; the base passes it straight on to SendMidiMsg.
  virtual void ProcessMidiMsg(const MidiMessage& msg);

  // Audio thread. Incoming system-exclusive data; the base ignores it.
  virtual void ProcessSysEx(const SysexMessage& msg);

  // Called before the first block and after every change of block size or sample rate; the
  // product clears its processing state here.
  virtual void ResetProcessing();

  // Told when the host switches processing on or off; the base does nothing.
  virtual void OnActivate(bool active);

  // Audio thread. Sends one MIDI message to the host; the base has no host and answers false.
  virtual bool SendMidiMsg(const MidiMessage& msg);

  // Audio thread. Sends every message through SendMidiMsg; true only if all of them went out.
  virtual bool SendMidiMsgs(std::span<const MidiMessage> msgs);

  // Audio thread. Sends system-exclusive data to the host; the base answers false.
  virtual bool SendSysEx(const SysexMessage& msg);

  // Any thread; allocates. The default name of a bus ("Input", "Main"/"Aux", "Input 0", ...).
  virtual void BusName(ERoute direction, int busIdx, int nBuses, std::string& out) const;

  // Audio or UI thread. Stores the latency (negative counts as 0) and re-sizes and silences the
  // bypass delay line; allocation-free while the latency fits the line's reserve.
  virtual void ReportLatency(int samples);

  // ---- Channel configuration ------------------------------------------------------------------

  // Parses a channel text such as "1-1 2-2" and appends one IOConfig per configuration to
  // `configs`. The four results are the maxima over the parsed configurations (0 when none).
  // Returns the number of configurations parsed. A null text reads as empty.
  static int ParseChannelIO(const char* text, std::vector<IOConfig>& configs, int& maxNInputs,
                            int& maxNOutputs, int& maxNInBuses, int& maxNOutBuses);

  // True when some configuration has exactly these totals; a negative count matches any total.
  bool LegalIO(int nInputs, int nOutputs) const;

  // The largest bus count of a direction, and the last configuration that has it.
  int MaxBusCount(ERoute direction, int* configIdx = nullptr) const;

  // The widest channel count of one bus over all configurations; -1 when the first configuration
  // has a bus of any channel count in that direction; 0 for a bus index no configuration has.
  int MaxBusChannels(ERoute direction, int busIdx) const;

  // The first configuration whose buses have exactly these channel counts, or -1.
  int FindIOConfig(std::span<const int> inputBusChans, std::span<const int> outputBusChans) const;

  const std::vector<IOConfig>& IOConfigs() const { return mIOConfigs; }
  int NIOConfigs() const { return static_cast<int>(mIOConfigs.size()); }

  // ---- Block processing (audio thread; none of these allocates or locks) ---------------------

  // Not real-time when the size changes: re-sizes and silences every scratch buffer, and points
  // every channel at its own scratch. The same size again changes nothing.
  void PrepareBlockSize(int nFrames);

  // Sets the connected flag of channels [first, first + count), clipped to existing channels. A
  // disconnected channel is pointed back at its scratch buffer, silenced if it was connected.
  void ConnectChannels(ERoute direction, int first, int count, bool connected);
  // How often ConnectChannels has been called: an adapter that finds it where it left it knows
  // the connections are still the ones it made.
  uint64_t ConnectionCalls() const { return mConnectionCalls; }

  // Hands host buffers to the connected channels of [first, first + count), one host pointer per
  // connected channel in order. Inputs are converted into scratch (a null host buffer reads as
  // silence); outputs remember their host buffer (a null one is skipped when converting back).
  // A null pointer array counts as all-null. Frames beyond the prepared block size are ignored.
  void AttachHostBuffers(ERoute direction, int first, int count, float** hostPointers,
                         int nFrames);

  // Runs the block routine and converts the connected outputs to the host.
  void RunBlock(int nFrames);

  // The host's bypass: inputs go to the outputs untouched, delayed by the latency when a bypass
  // delay line exists, and are converted to the host.
  void PassThrough(int nFrames);

  // ---- Channels ------------------------------------------------------------------------------

  int ChannelCount(ERoute direction) const;
  int ConnectedChannelCount(ERoute direction) const;

  // The channel's record, or null when there is no such channel.
  const ChannelData* GetChannelData(ERoute direction, int ch) const;

  // Disconnects inputs from index 2 upward and marks outputs from index 2 upward connected.
  void LimitToStereo();

  // Silences every scratch buffer.
  void ClearScratch();

  // Formats a channel's label from a printf format taking one integer (the channel index, or the
  // index plus 1 when zero-based is false), cut to 32 characters. A format that does not take
  // exactly one plain integer is used as literal text. Ignored for a channel that does not exist.
  void LabelChannel(ERoute direction, int ch, const char* format, bool zeroBased);

  // ---- Bypass delay line ---------------------------------------------------------------------

  // Not real-time. Creates the bypass delay line for the widest input and output counts at the
  // current latency, with room reserved for latencies up to reserveLatency; only when there is at
  // least one input channel. Replaces an existing line.
  void CreateBypassDelayLine(int reserveLatency = 0);
  BypassDelayLine* GetBypassDelayLine() { return mBypassDelay.get(); }
  const BypassDelayLine* GetBypassDelayLine() const { return mBypassDelay.get(); }

  // ---- Settings ------------------------------------------------------------------------------

  double GetSampleRate() const { return mSampleRate; }
  // Ignores a rate that is not a positive finite number, keeping the one in force.
  void SetSampleRate(double sampleRate);
  int GetBlockSize() const { return mBlockSize; }
  int GetLatency() const { return mLatency; }
  const TimeInfo& GetTimeInfo() const { return mTimeInfo; }
  void SetTimeInfo(const TimeInfo& timeInfo) { mTimeInfo = timeInfo; }

  // Samples per beat at the transport's tempo; 0 when the tempo is not positive.
  double SamplesPerBeat() const;

  int GetPlugType() const { return mPlugType; }
  bool DoesMidiIn() const { return mDoesMidiIn; }
  bool DoesMidiOut() const { return mDoesMidiOut; }
  bool DoesMPE() const { return mDoesMPE; }

private:
  std::vector<ChannelData>* Channels(ERoute direction);
  const std::vector<ChannelData>* Channels(ERoute direction) const;
  sample** Pointers(ERoute direction);

  // Clipped channel range [begin, end) of a direction; empty for an unknown direction.
  void ClipRange(ERoute direction, int first, int count, int& begin, int& end) const;

  // Copies input i to output i where both exist and silences the other outputs; the arrays hold
  // one pointer per channel of the widest layout.
  void CopyInputsToOutputs(sample* const* inputs, sample* const* outputs, int nFrames) const;

  // Narrows each connected output's scratch into its host buffer; silences any host frames past
  // the prepared block size so a misjudged block never leaves stale audio behind.
  void ConvertOutputsToHost(int nFrames);

  int mPlugType = 0;
  bool mDoesMidiIn = false;
  bool mDoesMidiOut = false;
  bool mDoesMPE = false;
  int mLatency = 0;
  double mSampleRate = 48000.0;
  int mBlockSize = 0;
  uint64_t mConnectionCalls = 0;
  std::vector<IOConfig> mIOConfigs;
  std::vector<sample*> mInputPointers;
  std::vector<sample*> mOutputPointers;
  std::vector<ChannelData> mInputChannels;
  std::vector<ChannelData> mOutputChannels;
  std::unique_ptr<BypassDelayLine> mBypassDelay;
  TimeInfo mTimeInfo;
};

} // namespace iplug
