#pragma once

#include <atomic>

#include "CorvaneParameters.h"
#include "CreatePlugin.h"
#include "PluginAdapter.h"
#include "PreampEngine.h"
#include "PreampState.h"

// The Corvane preamp: drive into an asymmetric saturating curve (optionally at twice the
// sample rate), low and high tone controls, output level and a fixed make-up gain, on two
// channels. One object is one instance of the effect.
//
// Threads: parameter changes (OnParamValueChange) arrive on the host's parameter thread or the
// UI thread; RenderBlock and ResetProcessing run on the audio thread. They share only the
// derived values below, each a single atomic word, and parameter 5 through its atomic value.
// Not final: the validator's tests build modules around subclasses that plant one fault each.
class Corvane : public iplug::PluginAdapter
{
public:
  explicit Corvane(const InstanceInfo& info);
  ~Corvane() override;

  void OnParamValueChange(int paramIdx) override;  // any thread

  // The saved state: the editor-size record, then the six parameter values (60 bytes).
  bool WriteState(iplug::ByteChunk& chunk) const override;
  int ReadState(const iplug::ByteChunk& chunk, int startPos) override;

  // audio thread; never allocates unless the latency changes
  void RenderBlock(iplug::sample** inputs, iplug::sample** outputs, int nFrames) override;
  void ResetProcessing() override;  // audio thread (or initialisation)

  static constexpr int kOversamplingLatency = 64;
  // The editor's redraw rate; its size is the product's identity (CorvaneIdentity.h).
  static constexpr int kEditorFps = 60;

  // The instance handle of the module this code was loaded from (null when it cannot be told).
  static void* ModuleInstance();

  // The derived values, for inspection.
  double DriveFactor() const { return mDriveFactor.load(std::memory_order_relaxed); }
  double LowTarget() const { return mLowTarget.load(std::memory_order_relaxed); }
  double HighTarget() const { return mHighTarget.load(std::memory_order_relaxed); }
  double OutputFactor() const { return mOutputFactor.load(std::memory_order_relaxed); }
  int OversamplingPasses() const { return mPasses.load(std::memory_order_relaxed); }
  int LatencyFactor() const { return mLatencyFactor.load(std::memory_order_relaxed); }
  double BypassMultiplier() const { return mBypassMultiplier.load(std::memory_order_relaxed); }

private:
  static iplug::ConfigRecord MakeConfig();
  void DefineParameters();
  // Installs the editor the adapter this build is for can show (none where it has no editor).
  void AttachEditor();
  void UpdateLatency();

  // Derived values: written by OnParamValueChange, read by the block routine.
  std::atomic<double> mDriveFactor{1.0};
  std::atomic<double> mLowTarget{0.0};
  std::atomic<double> mHighTarget{0.0};
  std::atomic<double> mOutputFactor{1.0};
  std::atomic<int> mPasses{0};
  std::atomic<int> mLatencyFactor{0};
  std::atomic<double> mBypassMultiplier{1.0};

  // Processing state, audio thread only: set up here, advanced by the engine, which runs the
  // processed path by stages over each block.
  PreampState mChain;
  PreampEngine mEngine{mChain};
  // The sample rate the smoothers' coefficients were last set for (0: not yet).
  double mSmootherRate = 0.0;
};
