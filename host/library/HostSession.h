#pragma once

#include <chrono>
#include <condition_variable>
#include <cstdint>
#include <memory>
#include <mutex>
#include <string>
#include <thread>
#include <vector>

#include "HostInstance.h"
#include "HostRenderContext.h"
#include "HostUIThread.h"
#include "HostWorkerThread.h"
#include "StandInHost.h"

namespace aaxhost {

// One effect instance driven with the threads of a DAW:
//
// - the UI thread (a Win32 message loop) loads and registers the module, creates, initialises
//   and releases the instance and makes its chunk and parameter calls; the module's idle timer
//   ticks there;
// - the parameter thread answers each set-value request the module posts with an update of the
//   normalised value and then generates coefficients; host automation plays back there too;
// - the audio thread carries posted packets into the render context, renders and moves the
//   transport on;
// - the timer thread calls timer wake-up at a fixed interval.
//
// Construction throws std::runtime_error with a clear message when the module cannot be loaded,
// registered, instantiated or initialised. Public operations may be called from any thread
// except the session's own; each runs its work on the thread named.
class HostSession
{
public:
  struct Options
  {
    std::string modulePath;
    size_t effect = 0;
    size_t component = 1;                          // 0 mono, 1 stereo for this product
    double sampleRate = 48000.0;
    std::chrono::milliseconds timerInterval{10};
  };

  explicit HostSession(const Options& options);
  // Stops the timer, parameter and audio threads after their work, then releases the instance
  // and the module on the UI thread.
  ~HostSession();
  HostSession(const HostSession&) = delete;
  HostSession& operator=(const HostSession&) = delete;

  StandInHost& Host() const { return *mHost; }
  HostInstance& Instance() const { return *mInstance; }
  HostController& Controller() const { return mInstance->Controller(); }
  HostRenderContext& Context() const { return *mContext; }
  HostUIThread& UIThread() { return mUI; }
  HostWorkerThread& ParameterThread() { return *mParameterThread; }
  HostWorkerThread& AudioThread() { return *mAudioThread; }
  double SampleRate() const { return mSampleRate; }
  const HostComponentDescriptor& Component() const { return *mComponent; }

  // UI thread: asks the module to set a parameter (the editor's path). The module posts a
  // set-value request, which the parameter thread answers. The module's result.
  AAX_Result RequestParameter(const std::string& paramID, double normalizedValue);
  // Parameter thread, asynchronously: host automation updates the value and generates
  // coefficients.
  void Automate(const std::string& paramID, double normalizedValue);
  // Until the parameter thread has answered every request and automation posted before.
  void SettleParameters();

  // Audio thread only: one block of the render loop (posted packets into the context, the
  // render procedure, the transport moved on). The host's own part of it neither allocates nor
  // waits for another thread.
  void RenderBlock(float* const* inputs, float* const* outputs, int32_t frames);
  // Audio thread only: the first step of a block, the packets posted since the last one carried
  // into the context.
  void DeliverPackets();

  // Chunk calls run on a worker thread of their own, as a DAW saves and loads sessions off its UI
  // thread. The state chunk of the plug-in's first chunk identifier; throws on failure.
  std::vector<uint8_t> GetChunk();
  // Sets the chunk (chunk thread) and settles the values the module reports back; the module's
  // result.
  AAX_Result SetChunk(const std::vector<uint8_t>& data);
  // The chunk identifier at index 0 (chunk thread).
  AAX_CTypeID ChunkID();
  HostWorkerThread& ChunkThread() { return *mChunkThread; }

  // UI thread. Every parameter as the host sees it.
  std::vector<HostInstance::ParameterInfo> Parameters();
  // The latency the plug-in reported last (0 when none).
  int32_t Latency() const;

private:
  void AnswerRequests();
  void TimerLoop();

  HostUIThread mUI;
  std::unique_ptr<HostWorkerThread> mParameterThread = std::make_unique<HostWorkerThread>();
  std::unique_ptr<HostWorkerThread> mAudioThread = std::make_unique<HostWorkerThread>();
  std::unique_ptr<HostWorkerThread> mChunkThread = std::make_unique<HostWorkerThread>();
  std::unique_ptr<StandInHost> mHost;
  std::unique_ptr<HostInstance> mInstance;
  std::unique_ptr<HostRenderContext> mContext;
  const HostComponentDescriptor* mComponent = nullptr;
  double mSampleRate = 48000.0;

  std::chrono::milliseconds mTimerInterval;
  std::mutex mTimerLock;
  std::condition_variable mTimerWake;
  bool mTimerStopping = false;
  std::thread mTimerThread;
};

} // namespace aaxhost
