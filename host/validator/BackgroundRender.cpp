#include "BackgroundRender.h"

#include <chrono>
#include <exception>

namespace aaxhost::cases {

using Clock = std::chrono::steady_clock;

void BackgroundRender::Loop()
{
  const auto pass = std::chrono::duration_cast<Clock::duration>(
    std::chrono::duration<double>(kBlock * kBlocksPerPass / mRig.SampleRate()));
  auto next = Clock::now();
  std::unique_lock lock(mLock);
  while (!mStopping)
  {
    lock.unlock();
    try
    {
      const Signal out = mRig.Render(mInput, kBlock);
      CheckOutput(mRig.Context(), out, "rendering while the editor opened and closed");
      mBlocks += kBlocksPerPass;
    }
    catch (const std::exception& e)
    {
      mFailure = e.what();
      lock.lock();
      break;
    }
    next += pass;
    lock.lock();
    mWake.wait_until(lock, next, [this] { return mStopping; });
  }
}

} // namespace aaxhost::cases
