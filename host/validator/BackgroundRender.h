#pragma once

#include <atomic>
#include <condition_variable>
#include <mutex>
#include <string>
#include <thread>

#include "ValidateRig.h"

namespace aaxhost::cases {

// The audio thread renders noise at about the pace of an audio device while the case works on the
// editor, as a DAW plays while its user opens and closes plug-in windows.
class BackgroundRender
{
public:
  explicit BackgroundRender(ValidateRig& rig) : mRig(rig), mInput(rig.Noise(kBlock * kBlocksPerPass, 0.5f))
  {
    mThread = std::thread([this] { Loop(); });
  }
  ~BackgroundRender() { Stop(); }
  BackgroundRender(const BackgroundRender&) = delete;
  BackgroundRender& operator=(const BackgroundRender&) = delete;

  // Stops the rendering; the first failure it met, or the empty text.
  std::string Stop()
  {
    {
      std::lock_guard lock(mLock);
      mStopping = true;
    }
    mWake.notify_all();
    if (mThread.joinable())
      mThread.join();
    return mFailure;
  }

  long Blocks() const { return mBlocks.load(); }

private:
  static constexpr int kBlock = 256;
  static constexpr int kBlocksPerPass = 8;

  void Loop();

  ValidateRig& mRig;
  const Signal mInput;
  std::mutex mLock;
  std::condition_variable mWake;
  bool mStopping = false;
  std::string mFailure;
  std::atomic<long> mBlocks{0};
  std::thread mThread;
};

} // namespace aaxhost::cases
